// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message box of the program goes through here: one OK button, the title
// "Flipreel", an information or error icon. Tests install a handler instead.
namespace Messages {

enum class Icon { Information, Error };

struct Message {
    QString text;
    Icon icon = Icon::Information;
};

void Show(QWidget* owner, const QString& text, Icon icon = Icon::Information);
inline void Info(QWidget* owner, const QString& text) { Show(owner, text, Icon::Information); }
inline void Error(QWidget* owner, const QString& text) { Show(owner, text, Icon::Error); }

using ShowHandler = std::function<void(const Message&)>;
// An empty handler restores the real message boxes.
void SetShowHandler(ShowHandler handler);

inline constexpr const char* kTitle = QT_TRANSLATE_NOOP("Messages", "Flipreel");

} // namespace Messages
