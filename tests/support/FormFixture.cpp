// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FormFixture.h"

#include <QDialog>

void FormFixture::SetUp()
{
    Messages::SetShowHandler([this](const Messages::Message& m) { messages.push_back(m); });
    Messages::SetAskHandler([this](const QString& q) {
        questions.push_back(q);
        return askAnswer;
    });
    auto pop = [](auto& queue) {
        using T = typename std::decay_t<decltype(queue)>::value_type;
        if (queue.empty())
            return T{};
        T answer = queue.front();
        queue.pop_front();
        return answer;
    };
    Dialogs::Handlers handlers;
    handlers.open = [this, pop](const Dialogs::OpenRequest& r) {
        openRequests.push_back(r);
        return pop(openAnswers);
    };
    handlers.save = [this, pop](const Dialogs::SaveRequest& r) {
        saveRequests.push_back(r);
        return pop(saveAnswers);
    };
    handlers.color = [this, pop](const Dialogs::ColorRequest& r) {
        colorRequests.push_back(r);
        return pop(colorAnswers);
    };
    handlers.exec = [this](QDialog& dialog) {
        if (onModal)
            return onModal(dialog);
        dialog.reject();
        return int(QDialog::Rejected);
    };
    Dialogs::SetHandlers(handlers);
    form = std::make_unique<FrmGif>();
    form->show();
}

void FormFixture::TearDown()
{
    form.reset();
    Dialogs::SetHandlers({});
    Messages::SetShowHandler({});
    Messages::SetAskHandler({});
}
