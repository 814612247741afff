// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SizeText.h"

#include "production/CreationRules.h"

QString SizeText(QSize size) { return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()); }

QSize ParseSizeText(const QString& text)
{
    const std::optional<CreationRules::SizeTexts> halves = CreationRules::SplitSizeText(text);
    if (!halves)
        return {text.trimmed().toInt(), 0};
    return {halves->width.toInt(), halves->height.toInt()};
}
