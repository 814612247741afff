// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SizeText.h"

#include <QStringList>

QString SizeText(QSize size) { return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()); }

std::optional<SizeTexts> SplitSizeText(const QString& text)
{
    if (!text.contains(QLatin1Char('x')))
        return std::nullopt;
    const QStringList pieces = text.split(QLatin1Char('x'));
    return SizeTexts{pieces.value(0).trimmed(), pieces.value(1).trimmed()};
}

QSize ParseSizeText(const QString& text)
{
    const std::optional<SizeTexts> halves = SplitSizeText(text);
    if (!halves)
        return {text.trimmed().toInt(), 0};
    return {halves->width.toInt(), halves->height.toInt()};
}
