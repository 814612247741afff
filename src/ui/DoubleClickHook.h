// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QAbstractItemView;

// Calls back on every left double-click in a list, whether or not it lands on
// a row; the list still handles it as usual. The first press of a double-click
// below the rows clears the selection, so such a double-click puts back the
// row that was selected before it and acts on that one, or does nothing when
// none was.
class DoubleClickHook final : public QObject {
public:
    DoubleClickHook(QAbstractItemView* list, std::function<void()> onDoubleClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* list_;
    std::function<void()> onDoubleClick_;
    int rowBeforePress_ = -1;
};
