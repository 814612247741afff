// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QtGlobal>

// A colour value with red in the low byte, green next, blue in the third byte.
using ColorValue = quint32;

constexpr ColorValue Rgb(int red, int green, int blue)
{
    return static_cast<ColorValue>(red) | (static_cast<ColorValue>(green) << 8) | (static_cast<ColorValue>(blue) << 16);
}

inline QColor ToQColor(ColorValue value)
{
    return QColor(int(value % 256), int((value / 256) % 256), int((value / 65536) % 256));
}

inline ColorValue FromQColor(const QColor& color) { return Rgb(color.red(), color.green(), color.blue()); }
