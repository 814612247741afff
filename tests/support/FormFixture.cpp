// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FormFixture.h"

// GCC 12 falsely reports moved-from std::optional<QString> as uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <QDialog>

namespace {
// The next scripted answer; an empty queue answers cancel.
template <typename T> std::optional<T> Pop(std::deque<std::optional<T>>& queue)
{
    if (queue.empty())
        return std::nullopt;
    std::optional<T> answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}
} // namespace

void FormFixture::SetUp()
{
    Messages::SetShowHandler([this](const Messages::Message& m) { messages.push_back(m); });
    Dialogs::Handlers handlers;
    handlers.open = [this](const Dialogs::OpenRequest& r) {
        openRequests.push_back(r);
        return Pop(openAnswers);
    };
    handlers.save = [this](const Dialogs::SaveRequest& r) {
        saveRequests.push_back(r);
        return Pop(saveAnswers);
    };
    handlers.color = [this](const Dialogs::ColorRequest& r) {
        colorRequests.push_back(r);
        return Pop(colorAnswers);
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
}
