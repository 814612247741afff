// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// A window whose long operations let its events run (adding pictures, loading
// the preview, creating a GIF). Each holds a Scope while it runs; closing the
// window meanwhile only makes IsClosing() true: the operation checks it after
// each processEvents(), stops and cleans up, and the window closes once the
// last scope has ended. Pages see the window only through this.
class BusyWindow {
public:
    class Scope {
    public:
        explicit Scope(BusyWindow& window)
            : window_(window)
        {
            window_.BusyBegan();
        }
        ~Scope() { window_.BusyEnded(); }
        Q_DISABLE_COPY_MOVE(Scope)

    private:
        BusyWindow& window_;
    };

    virtual ~BusyWindow() = default;
    virtual bool IsClosing() const = 0;

protected:
    BusyWindow() = default;
    Q_DISABLE_COPY_MOVE(BusyWindow)
    virtual void BusyBegan() = 0;
    virtual void BusyEnded() = 0;
};
