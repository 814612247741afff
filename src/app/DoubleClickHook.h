// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

// Calls back on every left double-click that reaches the watched widget (a
// list's viewport), whether or not it lands on a row; the widget still
// handles it as usual.
class DoubleClickHook final : public QObject {
public:
    DoubleClickHook(QObject* parent, std::function<void()> onDoubleClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onDoubleClick_;
};
