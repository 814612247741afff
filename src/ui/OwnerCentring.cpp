// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/OwnerCentring.h"

#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

QMargins FrameMargins(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

class Centring final : public QObject {
public:
    Centring(QWidget& window, const QWidget& owner)
        : QObject(&window)
        , window_(window)
        , owner_(&owner)
    {
        window.installEventFilter(this);
        Centre();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::UpdateRequest:
        case QEvent::WindowActivate:
            if (!centred_ || FrameMargins(window_) != margins_)
                Centre();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Centre()
    {
        if (!owner_)
            return;
        margins_ = FrameMargins(window_);
        centred_ = true;
        // The outer rectangle, frame included, centred on the owner's.
        QRect outer = QRect(QPoint(), window_.size()).marginsAdded(margins_);
        outer.moveCenter(owner_->frameGeometry().center());
        // move() places a window's frame at the point.
        window_.move(outer.topLeft());
    }

    QWidget& window_;
    QPointer<const QWidget> owner_;
    QMargins margins_;
    bool centred_ = false;
};

} // namespace

void CentreOnOwner(QWidget& window, const QWidget& owner) { new Centring(window, owner); }
