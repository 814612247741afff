// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// What a long operation that lets window events run (adding pictures, loading
// the preview, creating a GIF) needs of its window: to keep it open while the
// operation runs, and to know that the user has closed it meanwhile, so that
// the operation stops after its next processEvents() and cleans up. The
// window closes once the last Scope has ended.
class BusyHost {
public:
    class Scope {
    public:
        explicit Scope(BusyHost& host)
            : host_(host)
        {
            host_.BusyBegun();
        }
        ~Scope() { host_.BusyEnded(); }
        Q_DISABLE_COPY_MOVE(Scope)

    private:
        BusyHost& host_;
    };

    virtual bool IsClosing() const = 0;

protected:
    BusyHost() = default;
    ~BusyHost() = default;
    Q_DISABLE_COPY_MOVE(BusyHost)

    virtual void BusyBegun() = 0;
    virtual void BusyEnded() = 0;
};
