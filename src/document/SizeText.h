// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

// The dimensions text of the lists and the size box: "640 x 480".
QString SizeText(QSize size);

// The size a dimensions text names, split at the letter "x" like the size box
// splits it; a half that is missing or not a number counts 0.
QSize ParseSizeText(const QString& text);
