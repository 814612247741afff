// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/CreationRules.h"

#include "common/FileNames.h"
#include "common/Rounding.h"

#include <QCoreApplication>
#include <QDir>

namespace CreationRules {

QString NoFileNameMessage()
{
    return QCoreApplication::translate("CreationRules", "Please enter a GIF file name to create.");
}

bool OutputPathLongEnough(const QString& path) { return path.length() >= kMinimumPathLength; }

QString SuccessMessage(const QString& outputPath)
{
    return QCoreApplication::translate("CreationRules", "Animated File created successfully!") + QStringLiteral("\r\n")
        + outputPath;
}

QString OutputTargetMessage(const QString& outputPath)
{
    const QString reason = FileNames::CheckOutputTarget(outputPath);
    if (reason.isEmpty())
        return {};
    return QCoreApplication::translate("CreationRules", "The GIF file \"%1\" cannot be written: %2.")
        .arg(QDir::toNativeSeparators(outputPath), reason);
}

int FrameDelay(qint32 playTimeMs) { return static_cast<int>(RoundHalfEven(playTimeMs / 10.0)); }

bool PlayTimeUsable(qint32 playTimeMs) { return playTimeMs >= 0 && playTimeMs <= kMaximumPlayTime; }

std::optional<qint32> PlayTimeFromText(const QString& text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    if (!ok || !PlayTimeUsable(value))
        return std::nullopt;
    return value;
}

QString PlayTimeMessage(int frame, const QString& text)
{
    return QCoreApplication::translate("CreationRules",
                                       "Frame %1 has the play time \"%2\", but a play time is a whole number of "
                                       "milliseconds from 0 to %3. Please correct it in the frame properties.")
        .arg(frame)
        .arg(text)
        .arg(kMaximumPlayTime);
}

std::optional<qint16> LoopCountFromText(const QString& trimmedText)
{
    if (trimmedText.isEmpty())
        return qint16(0);
    bool ok = false;
    const int value = trimmedText.toInt(&ok, 10);
    if (!ok || value < 0 || value > kMaximumLoopCount)
        return std::nullopt;
    return static_cast<qint16>(value);
}

QString LoopCountMessage(const QString& text)
{
    return QCoreApplication::translate("CreationRules",
                                       "The loop count \"%1\" is not a whole number from 0 to %2. Please correct it in "
                                       "the overall settings.")
        .arg(text)
        .arg(kMaximumLoopCount);
}

} // namespace CreationRules
