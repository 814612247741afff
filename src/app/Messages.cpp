// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Messages.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace Messages {
namespace {
ShowHandler& showHandler()
{
    static ShowHandler handler;
    return handler;
}
AskHandler& askHandler()
{
    static AskHandler handler;
    return handler;
}
} // namespace

void Show(QWidget* owner, const QString& text, Icon icon)
{
    if (showHandler()) {
        showHandler()({text, icon});
        return;
    }
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    QCoreApplication::translate("Messages", kTitle), text, QMessageBox::Ok, owner);
    box.exec();
}

bool Ask(QWidget* owner, const QString& text)
{
    if (askHandler())
        return askHandler()(text);
    return QMessageBox::question(owner, QCoreApplication::translate("Messages", kTitle), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void SetShowHandler(ShowHandler handler) { showHandler() = std::move(handler); }
void SetAskHandler(AskHandler handler) { askHandler() = std::move(handler); }

} // namespace Messages
