// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Messages.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace Messages {
namespace {
ShowHandler& showHandler()
{
    static ShowHandler handler;
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

void SetShowHandler(ShowHandler handler) { showHandler() = std::move(handler); }

} // namespace Messages
