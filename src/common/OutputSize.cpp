// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OutputSize.h"

#include <QCoreApplication>

namespace OutputSize {

QString EmptyMessage()
{
    return QCoreApplication::translate(
        "OutputSize", "Please enter correct dimenions value including width and height in overall settings window");
}
QString TooSmallMessage()
{
    return QCoreApplication::translate("OutputSize", "The width or height value is too small, please reset it");
}
QString TooBigMessage()
{
    return QCoreApplication::translate("OutputSize", "The width or height value is too big, please reset it");
}

Verdict Check(const QString& widthText, const QString& heightText)
{
    Verdict v;
    bool wOk = false, hOk = false;
    const int w = widthText.trimmed().toInt(&wOk);
    const int h = heightText.trimmed().toInt(&hOk);
    if (widthText.isEmpty() || heightText.isEmpty() || !wOk || !hOk) {
        v.message = EmptyMessage();
        return v;
    }
    if (w < kMinimum || h < kMinimum) {
        v.message = TooSmallMessage();
        return v;
    }
    if (w > kMaximum || h > kMaximum) {
        v.message = TooBigMessage();
        return v;
    }
    v.ok = true;
    v.width = w;
    v.height = h;
    return v;
}

} // namespace OutputSize
