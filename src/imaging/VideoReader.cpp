// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/VideoReader.h"

#include "common/FileNames.h"
#include "common/StopRequest.h"
#include "imaging/ImagingLimits.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <mutex>

namespace imaging {
namespace {

struct Module {
    OpenVideoDecoderFunction open = nullptr;
    QString error;
};

// Beside the program in a build, in the library folder when installed.
const Module& LoadModule()
{
    static Module module;
    static std::once_flag once;
    std::call_once(once, [] {
        const QString program = QCoreApplication::applicationDirPath();
        const QStringList places = {
            program,
            QDir::cleanPath(program + QStringLiteral("/" FLIPREEL_MODULES_FROM_PROGRAM)),
        };
        for (const QString& place : places) {
            QLibrary library(place + QStringLiteral("/libflipreel-video"));
            // Kept loaded for the rest of the process: decoders may outlive any one reader.
            library.setLoadHints(QLibrary::PreventUnloadHint);
            if (!library.load()) {
                if (module.error.isEmpty())
                    module.error = library.errorString();
                continue;
            }
            module.open = reinterpret_cast<OpenVideoDecoderFunction>(library.resolve(FLIPREEL_OPEN_VIDEO_DECODER));
            if (module.open)
                return;
            module.error = library.errorString();
        }
    });
    return module;
}

} // namespace

VideoReader::VideoReader(const QString& path)
{
    const QByteArray bytes = FileNames::ToBytes(path);
    // Only a regular file: a FIFO would block the open for good.
    struct stat info { };
    if (::stat(bytes.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        failed_ =
            Result::Failure(ErrorCode::FileError, QCoreApplication::translate("VideoReader", "not a regular file"));
        return;
    }
    const Module& module = LoadModule();
    if (!module.open) {
        failed_ = Result::Failure(
            ErrorCode::NoDecoder,
            QCoreApplication::translate("VideoReader", "video support is not installed: %1").arg(module.error));
        return;
    }
    decoder_.reset(module.open(bytes.constData(), &CheckPictureSize, [] { return StopRequest::Requested(); }));
}

VideoReader::~VideoReader() = default;

bool VideoReader::IsOpen() const { return decoder_ && decoder_->Opened(); }

Result VideoReader::Opened() const { return decoder_ ? decoder_->Opened() : failed_; }

qint64 VideoReader::NominalFrameMs() const { return IsOpen() ? decoder_->NominalFrameMs() : 0; }

qint64 VideoReader::ExpectedPictures() const { return IsOpen() ? decoder_->ExpectedPictures() : 0; }

qint64 VideoReader::DurationMs() const { return IsOpen() ? decoder_->DurationMs() : 0; }

Result VideoReader::Next(Picture* picture)
{
    if (!decoder_) {
        *picture = Picture();
        return failed_;
    }
    return decoder_->Next(picture);
}

} // namespace imaging
