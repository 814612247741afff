// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KeyActivation.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPainter>
#include <QWidget>

namespace {

// Holds a drawn control's description as a child object of the control, so
// that it lives and dies with it.
class Description final : public QObject {
public:
    Description(QObject* control, KeyActivation::Control description)
        : QObject(control)
        , control(std::move(description))
    {
    }
    KeyActivation::Control control;
};

bool TakesEnter(const QObject* object) { return object->property("flipreelEnterPresses").toBool(); }

bool IsPressKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space; }

// A dotted outline, black and white by turns so that it shows on every
// background, drawn around the focused control and not over it.
class FocusMark final : public QWidget {
public:
    explicit FocusMark(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("focusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect outline(0, 0, width() - 1, height() - 1);
        painter.setPen(Qt::black);
        painter.drawRect(outline);
        QPen dots(Qt::white);
        dots.setDashPattern({1, 1});
        painter.setPen(dots);
        painter.drawRect(outline);
    }
};

// A drawn control as assistive technology sees it: its real role, greyed
// when drawn greyed, a page tab's selected state, and a press action.
class DrawnAccessible final : public QAccessibleWidget {
public:
    DrawnAccessible(QWidget* widget, const KeyActivation::Control& control)
        : QAccessibleWidget(widget, control.role, control.name)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const KeyActivation::Control* control = KeyActivation::Described(object());
        if (t == QAccessible::Name && control)
            return control->name;
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (const KeyActivation::Control* control = KeyActivation::Described(object())) {
            if (control->available && !control->available())
                s.disabled = true;
            if (control->selected) {
                s.selectable = true;
                s.selected = control->selected();
            }
        }
        return s;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            KeyActivation::Press(widget());
        else
            QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* DrawnControlFactory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const KeyActivation::Control* control = KeyActivation::Described(object);
    return control ? new DrawnAccessible(static_cast<QWidget*>(object), *control) : nullptr;
}

} // namespace

KeyActivation::KeyActivation(QWidget* window)
    : QObject(window)
    , window_(window)
    , mark_(new FocusMark(window))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(DrawnControlFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { PlaceMark(); });
}

void KeyActivation::Attach(QWidget* control, Control description)
{
    control->setFocusPolicy(Qt::TabFocus);
    control->setAccessibleName(description.name);
    new Description(control, std::move(description));
    // An interface made before the description (the accessibility bridge
    // asks as soon as a widget exists) would keep the plain label or picture role.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(control);
    if (made && !dynamic_cast<DrawnAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void KeyActivation::AttachEnter(QWidget* button) { button->setProperty("flipreelEnterPresses", true); }

const KeyActivation::Control* KeyActivation::Described(const QObject* control)
{
    if (!control)
        return nullptr;
    for (const QObject* child : control->children())
        if (const auto* description = dynamic_cast<const Description*>(child))
            return &description->control;
    return nullptr;
}

void KeyActivation::Press(QWidget* control)
{
    const Control* description = Described(control);
    if (description && description->action)
        description->action();
    else if (description)
        QMetaObject::invokeMethod(control, "clicked", Qt::DirectConnection);
    else
        QMetaObject::invokeMethod(control, "click", Qt::DirectConnection);
}

bool KeyActivation::MarkShown() const { return mark_->isVisible(); }

void KeyActivation::SetCues(bool on)
{
    if (cues_ == on)
        return;
    cues_ = on;
    PlaceMark();
}

void KeyActivation::PlaceMark()
{
    QWidget* focus = QApplication::focusWidget();
    if (!cues_ || !focus || !Described(focus) || !focus->isVisible() || !window_->isAncestorOf(focus)) {
        mark_->hide();
        return;
    }
    mark_->setGeometry(QRect(focus->mapTo(window_, QPoint(0, 0)), focus->size()).adjusted(-2, -2, 2, 2));
    mark_->show();
    mark_->raise();
}

bool KeyActivation::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != window_ && !window_->isAncestorOf(widget)))
        return false;
    if (type == QEvent::MouseButtonPress) {
        SetCues(false);
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress && !key->isAutoRepeat())
        SetCues(true);
    const bool ours = Described(widget)
        ? IsPressKey(key->key())
        : TakesEnter(widget) && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if (!ours || (key->modifiers() & ~Qt::KeypadModifier))
        return false;
    // Held down, the key repeats: one press is one action.
    if (key->isAutoRepeat())
        return true;
    if (type == QEvent::KeyPress) {
        pressedOn_ = widget;
        pressedKey_ = key->key();
        return true;
    }
    if (pressedOn_ != widget || pressedKey_ != key->key())
        return true;
    pressedOn_ = nullptr;
    pressedKey_ = 0;
    Press(widget);
    return true;
}
