// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QSize>
#include <QString>

#include <vector>

// Writes a lossless video (FFV1 in Matroska) through libavcodec: one solid
// picture per entry, shown from startMs for lengthMs. Empty on success, else why not.
struct TestVideoPicture {
    QColor colour;
    qint64 startMs = 0;
    qint64 lengthMs = 0;
};
QString WriteTestVideo(const QString& path, QSize size, const std::vector<TestVideoPicture>& pictures);
