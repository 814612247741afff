// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliInputs.h"

#include "common/FileNames.h"
#include "common/OutputSize.h"
#include "common/SizeText.h"
#include "production/CreationRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CliInputs {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("CliInputs", text); }

QString SystemError(int number) { return QString::fromLocal8Bit(std::strerror(number)); }

} // namespace

QString AbsolutePath(const QString& name)
{
    if (name.startsWith(u'/'))
        return QDir::cleanPath(name);
    char* here = getcwd(nullptr, 0);
    const QString folder = here ? FileNames::FromBytes(QByteArray(here)) : QDir::currentPath();
    std::free(here);
    return QDir::cleanPath(folder + u'/' + name);
}

bool ReadList(const QString& list, QVector<Input>* inputs, QString* refusal)
{
    QFile file;
    const bool standardInput = list == QLatin1String("-");
    const QString shown = standardInput ? Tr("standard input") : list;
    bool opened = false;
    if (standardInput) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        const int fd = ::open(FileNames::ToBytes(AbsolutePath(list)).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            *refusal = Tr("cannot read the list \"%1\": %2").arg(list, SystemError(errno));
            return false;
        }
        opened = file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    }
    if (!opened) {
        *refusal = Tr("cannot read the list \"%1\": %2").arg(shown, file.errorString());
        return false;
    }
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *refusal = Tr("cannot read the list \"%1\": %2").arg(shown, file.errorString());
        return false;
    }
    int number = 0;
    for (QByteArray line : all.split('\n')) {
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        Input input;
        // Names keep their bytes; the play time follows the last tab.
        const qsizetype tab = line.lastIndexOf('\t');
        if (tab >= 0) {
            const QString time = QString::fromLatin1(line.mid(tab + 1)).trimmed();
            input.playTime = CreationRules::PlayTimeFromText(time);
            if (!input.playTime) {
                *refusal = Tr("%1, line %2: the play time \"%3\" is not a whole number of milliseconds from 0 to %4")
                               .arg(shown)
                               .arg(number)
                               .arg(time)
                               .arg(CreationRules::kMaximumPlayTime);
                return false;
            }
            line.truncate(tab);
        }
        input.named = FileNames::FromBytes(line);
        input.path = AbsolutePath(input.named);
        inputs->push_back(std::move(input));
    }
    return true;
}

QString OpenRefusal(const Input& input)
{
    // Without blocking: a FIFO opens at once and is then skipped like any
    // file that holds no picture.
    const int fd = ::open(FileNames::ToBytes(input.path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Tr("cannot open \"%1\": %2").arg(input.named, SystemError(errno));
    struct stat status { };
    const bool folder = ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    ::close(fd);
    return folder ? Tr("\"%1\" is a folder, not a picture").arg(input.named) : QString();
}

namespace {

std::optional<Size> SizeInLimits(int width, int height, QString* refusal, const QString& outside)
{
    const auto fits = [](int side) { return side >= OutputSize::kMinimum && side <= OutputSize::kMaximum; };
    if (fits(width) && fits(height))
        return Size{width, height};
    *refusal = outside;
    return std::nullopt;
}

} // namespace

std::optional<Size> SizeFromOption(const QString& text, QString* refusal)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,9})\\s*x\\s*(\\d{1,9})\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        *refusal = Tr("the size \"%1\" is not WxH: give the width and height in pixels, as in -s 320x240").arg(text);
        return std::nullopt;
    }
    return SizeInLimits(match.captured(1).toInt(), match.captured(2).toInt(), refusal,
                        Tr("the size \"%1\" is outside the limit: each side must be %2 to %3 pixels")
                            .arg(text)
                            .arg(OutputSize::kMinimum)
                            .arg(OutputSize::kMaximum));
}

std::optional<Size> SizeOfFirstPicture(const QString& dimensions, QString* refusal)
{
    const std::optional<SizeTexts> sides = SplitSizeText(dimensions);
    const int width = sides ? sides->width.toInt() : 0;
    const int height = sides ? sides->height.toInt() : 0;
    return SizeInLimits(width, height, refusal,
                        Tr("the first picture measures %1 pixels, outside the limit of %2 to %3 per side: "
                           "give the output size with -s WxH")
                            .arg(dimensions)
                            .arg(OutputSize::kMinimum)
                            .arg(OutputSize::kMaximum));
}

QString OutputRefusal(bool given, const QString& name)
{
    if (!given)
        return Tr("no output file: give it with -o FILE (-o - writes the GIF to standard output)");
    if (name != QLatin1String("-") && name.size() < CreationRules::kMinimumPathLength)
        return Tr("the output name \"%1\" is too short: it needs at least %2 characters, as in a.gif")
            .arg(name)
            .arg(CreationRules::kMinimumPathLength);
    return {};
}

} // namespace CliInputs
