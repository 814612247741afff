// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Makes the window's drawn controls (clickable pictures and labels) keyboard
// and screen-reader controls without changing how they look with the mouse:
// they join the Tab order, Enter, Return or Space acts on them once per press
// (on the release, never on key repeat), a focus mark is drawn around the one
// with focus once the keyboard is in use (a mouse press hides it again, as
// desktop toolkits do), and assistive technology sees each with its real role,
// state and press action.
class KeyActivation final : public QObject {
    Q_OBJECT
public:
    // What a drawn control is to the user.
    struct Control {
        QString name;
        QAccessible::Role role = QAccessible::Button;
        // What a press does; empty emits the control's clicked() signal
        // (ImageControl, ClickLabel).
        std::function<void()> action;
        // Drawn greyed (false) or as available; empty is always available.
        std::function<bool()> available;
        // For a page tab: whether it is the one shown.
        std::function<bool()> selected;
    };

    // Watches the keyboard and the mouse of one window.
    explicit KeyActivation(QWidget* window);
    void Attach(QWidget* control, Control description);
    // Enter and Return press a push button as Space does, on the release.
    void AttachEnter(QWidget* button);

    // The description given to a drawn control; nullptr for other widgets.
    static const Control* Described(const QObject* control);
    // Presses a control as the keyboard does.
    static void Press(QWidget* control);

    // The focus mark shows (keyboard in use and a drawn control focused).
    bool MarkShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetCues(bool on);
    void PlaceMark();

    QWidget* window_;
    QWidget* mark_;
    bool cues_ = false;
    // The control a key went down on, and the key, until its release.
    QPointer<QObject> pressedOn_;
    int pressedKey_ = 0;
};
