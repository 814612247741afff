// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "production/CreationRun.h"

#include <QString>
#include <QtGlobal>

#include <functional>

// A size in bytes as a user writes it: "500K", "2M", "1G" (powers of 1024) or
// plain bytes ("350000"); 0 when the text is not a size of at least one byte.
qint64 ByteSizeFromText(const QString& text);

struct SizeTargetResult {
    CreationResult result; // Ok also when nothing fits: `fits` tells
    bool fits = false;
    double quality = 0; // the quality of the file written, in tenths between two whole ones
    qint64 bytes = 0;   // its size; when nothing fits, the smallest size reached
    int encodes = 0;    // animations of every frame made to find it
    int samples = 0;    // animations of a sample of the frames made to find it
    // Frames converted in all, against the animation's frame count: the
    // search's cost in whole encodes.
    double work = 0;
};

// Makes the animation of `settings` at the best quality (1..100, in tenths
// where no whole one lands close under the target: SettingsForFineQuality) whose file
// holds at most `maxBytes` bytes. The curve of size against quality is
// measured on a sample of the frames (a few runs of neighbouring frames),
// whose sizes tell what the whole would weigh; an encode of every frame
// then corrects that estimate, and a second one lands on the quality it
// corrected. Where frames may be held, a first encode over the target is
// followed by the tenth below it that its size says fits, and a sample flat
// above the target (a step it cannot place closely) has the middle of its
// flat encoded first. Small animations are searched with whole encodes only.
// All of it costs about three encodes at most; only when none of them fits
// is quality 1 encoded as well, so "none fits" is said of quality 1 itself.
// `settings.quality` is ignored.
// The output file is written only when one fits (an existing one is
// replaced by a complete new one); the encodes go to `settings.tempFolder`.
// `progress` takes the whole search's share done, 0 to 100, counted in
// frames converted against the most the search may still convert.
SizeTargetResult CreateWithinSize(const CreationSettings& settings, qint16 loopCount, qint64 maxBytes,
                                  const CreationProgress& progress);
