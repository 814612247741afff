// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FrameOptions.h"

#include "production/CreationRules.h"
#include "production/ShortDelays.h"

#include <QColor>
#include <QCoreApplication>

namespace FrameOptions {
namespace {
const QString kEvery = QStringLiteral("every");
const QString kFit = QStringLiteral("fit");
const QString kBackground = QStringLiteral("background");
} // namespace

std::optional<Values> Read(const QCommandLineParser& parser, QString* refusal)
{
    Values values;
    if (parser.isSet(kEvery)) {
        bool ok = false;
        values.everyMs = parser.value(kEvery).toInt(&ok);
        if (!ok || values.everyMs < 1 || values.everyMs > CreationRules::kMaximumPlayTime) {
            *refusal = QCoreApplication::translate(
                           "FrameOptions", "the interval \"%1\" is not a whole number of milliseconds from 1 to %2")
                           .arg(parser.value(kEvery))
                           .arg(CreationRules::kMaximumPlayTime);
            return std::nullopt;
        }
    }
    if (parser.isSet(kFit)) {
        const QString mode = parser.value(kFit);
        if (mode == QLatin1String("stretch"))
            values.fit.mode = PictureFit::Mode::Stretch;
        else if (mode == QLatin1String("contain"))
            values.fit.mode = PictureFit::Mode::Contain;
        else if (mode == QLatin1String("cover"))
            values.fit.mode = PictureFit::Mode::Cover;
        else {
            *refusal = QCoreApplication::translate("FrameOptions", "the fit \"%1\" is none of stretch, contain, cover")
                           .arg(mode);
            return std::nullopt;
        }
    }
    if (parser.isSet(kBackground)) {
        const QColor colour = QColor::fromString(parser.value(kBackground));
        if (!colour.isValid()) {
            *refusal = QCoreApplication::translate(
                           "FrameOptions", "the background \"%1\" is not a colour (#RRGGBB or a name such as white)")
                           .arg(parser.value(kBackground));
            return std::nullopt;
        }
        values.fit.background = colour.rgba();
    }
    return values;
}

QStringList ShortDelayWarnings(const QVector<CreationFrame>& frames)
{
    int count = 0;
    int first = 0;
    for (int i = 0; i < frames.size(); ++i) {
        if (ShortDelays::SlowedByBrowsers(frames[i].playTime) && count++ == 0)
            first = i;
    }
    if (count == 0)
        return {};
    const qint32 ms = frames[first].playTime;
    const QString which = count == 1
        ? QCoreApplication::translate("FrameOptions", "frame %1 plays %2 ms").arg(first + 1).arg(ms)
        : QCoreApplication::translate("FrameOptions", "%n frames play under 15 ms (the first: frame %1, %2 ms)",
                                      nullptr, count)
              .arg(first + 1)
              .arg(ms);
    return {QCoreApplication::translate("FrameOptions",
                                        "%1, which the file stores as 0 or 1 hundredth of a second; "
                                        "browsers play such frames as 10 hundredths (100 ms)")
                .arg(which)};
}

} // namespace FrameOptions
