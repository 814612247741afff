// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The dimensions text of the lists and the size box: "640 x 480".
QString SizeText(QSize size);

// A dimensions text such as "640 x 480" split at the lower-case letter x, as
// the dimensions list splits it: the first and second pieces, trimmed. No
// value without an x.
struct SizeTexts {
    QString width;
    QString height;
};
std::optional<SizeTexts> SplitSizeText(const QString& text);

// The size a dimensions text names, split like the size box splits it; a half
// that is missing or not a number counts 0.
QSize ParseSizeText(const QString& text);
