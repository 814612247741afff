// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/Animation.h"

#include "imaging/ImagingLimits.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureReader.h"
#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/GifCodec.h"
#include "imaging/codecs/PngCodec.h"
#include "imaging/codecs/WebpCodec.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QtEndian>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace imaging {

class AnimationReader::Source {
public:
    virtual ~Source() = default;
    // The next canvas and how long it shows; false at the end (`error` empty) or on failure.
    virtual bool Next(QImage* canvas, qint64* lengthMs, QString* error) = 0;
};

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("AnimationReader", text); }

// Counts GIF images by walking the blocks, up to `enough`. An image whose data
// is cut short counts: reading the animation then says where it ends.
int GifImageCount(const uchar* d, qint64 n, int enough)
{
    if (n < 13 || (std::memcmp(d, "GIF87a", 6) != 0 && std::memcmp(d, "GIF89a", 6) != 0))
        return 0;
    qint64 at = 13;
    if (d[10] & 0x80)
        at += 3 * (qint64(1) << ((d[10] & 7) + 1));
    auto skipBlocks = [&]() {
        while (at < n && d[at] != 0)
            at += 1 + d[at];
        ++at;
    };
    int images = 0;
    while (at < n && images < enough) {
        const uchar kind = d[at];
        if (kind == 0x21) {
            at += 2;
            skipBlocks();
        } else if (kind == 0x2C) {
            if (at + 10 > n)
                break;
            ++images;
            const uchar flags = d[at + 9];
            at += 10;
            if (flags & 0x80)
                at += 3 * (qint64(1) << ((flags & 7) + 1));
            at += 1; // LZW minimum code size
            skipBlocks();
        } else {
            break; // trailer or damage
        }
    }
    return images;
}

// ---- GIF: record by record through giflib, one frame's lines at a time.

class GifSource final : public AnimationReader::Source {
public:
    explicit GifSource(QByteArray bytes)
        : bytes_(std::move(bytes))
        , reader_{reinterpret_cast<const uchar*>(bytes_.constData()), bytes_.size(), 0}
    {
    }
    ~GifSource() override
    {
        if (gif_) {
            int ignored = 0;
            DGifCloseFile(gif_, &ignored);
        }
    }

    bool Open(QString* error)
    {
        int code = 0;
        gif_ = DGifOpen(&reader_, ReadMemory, &code);
        if (!gif_) {
            *error = Tr("unreadable GIF");
            return false;
        }
        const int w = gif_->SWidth, h = gif_->SHeight;
        if (const QString reason = CheckPictureSize(w, h); !reason.isEmpty()) {
            *error = reason;
            return false;
        }
        canvas_ = QImage(w, h, QImage::Format_RGBA8888);
        if (canvas_.isNull()) {
            *error = Tr("not enough memory for the animation");
            return false;
        }
        canvas_.fill(Qt::transparent);
        return true;
    }

    bool Next(QImage* out, qint64* lengthMs, QString* error) override
    {
        Dispose();
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_, &type) == GIF_ERROR)
                return Fail(error);
            if (type == TERMINATE_RECORD_TYPE)
                return false;
            if (type == EXTENSION_RECORD_TYPE) {
                int label = 0;
                GifByteType* block = nullptr;
                if (DGifGetExtension(gif_, &label, &block) == GIF_ERROR)
                    return Fail(error);
                if (label == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                    DGifExtensionToGCB(block[0], block + 1, &control);
                while (block) {
                    if (DGifGetExtensionNext(gif_, &block) == GIF_ERROR)
                        return Fail(error);
                }
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE)
                continue;
            if (DGifGetImageDesc(gif_) == GIF_ERROR)
                return Fail(error);
            if (!DrawImage(control, error))
                return false;
            *out = canvas_;
            *lengthMs = qint64(control.DelayTime) * 10;
            disposal_ = control.DisposalMode;
            return true;
        }
    }

private:
    bool Fail(QString* error)
    {
        const char* text = GifErrorString(gif_->Error);
        *error = Tr("corrupt or truncated GIF: %1").arg(QString::fromLatin1(text ? text : "?"));
        return false;
    }

    // What the previous frame asked for before this one is drawn.
    void Dispose()
    {
        if (disposal_ == DISPOSE_BACKGROUND) {
            // Browsers clear to transparent, not to the background colour.
            for (int y = area_.top(); y <= area_.bottom(); ++y)
                std::memset(canvas_.scanLine(y) + 4 * area_.left(), 0, size_t(4 * area_.width()));
        } else if (disposal_ == DISPOSE_PREVIOUS && !saved_.isNull()) {
            canvas_ = saved_;
        }
        disposal_ = DISPOSAL_UNSPECIFIED;
    }

    bool DrawImage(const GraphicsControlBlock& control, QString* error)
    {
        const GifImageDesc& d = gif_->Image;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif_->SColorMap;
        if (!map) {
            *error = Tr("the GIF picture has no colour table");
            return false;
        }
        if (control.DisposalMode == DISPOSE_PREVIOUS)
            saved_ = canvas_.copy();
        area_ = QRect(d.Left, d.Top, d.Width, d.Height).intersected(canvas_.rect());
        std::vector<GifPixelType> line(size_t(std::max(d.Width, 1)));
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        const int passes = d.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            for (int row = d.Interlace ? kStart[pass] : 0; row < d.Height; row += d.Interlace ? kStep[pass] : 1) {
                if (DGifGetLine(gif_, line.data(), d.Width) == GIF_ERROR)
                    return Fail(error);
                const int y = d.Top + row;
                if (y < 0 || y >= canvas_.height())
                    continue;
                uchar* dst = canvas_.scanLine(y);
                for (int i = 0; i < d.Width; ++i) {
                    const int x = d.Left + i;
                    const int index = line[size_t(i)];
                    if (x >= canvas_.width() || index == control.TransparentColor || index >= map->ColorCount)
                        continue;
                    const GifColorType& c = map->Colors[index];
                    uchar* p = dst + 4 * x;
                    p[0] = c.Red;
                    p[1] = c.Green;
                    p[2] = c.Blue;
                    p[3] = 255;
                }
            }
        }
        return true;
    }

    QByteArray bytes_;
    MemoryReader reader_;
    GifFileType* gif_ = nullptr;
    QImage canvas_;
    QImage saved_;
    QRect area_;
    int disposal_ = DISPOSAL_UNSPECIFIED;
};

// ---- APNG: each frame rebuilt as a PNG of its own (the header chunks with the
// frame's size, its data as IDAT), decoded by Qt and laid on the canvas.

quint32 Crc32(const char* data, qsizetype n, quint32 crc = 0)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (qsizetype i = 0; i < n; ++i)
        crc = table[(crc ^ uchar(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void AppendChunk(QByteArray* png, const char* type, const QByteArray& data)
{
    uchar length[4];
    qToBigEndian<quint32>(quint32(data.size()), length);
    png->append(reinterpret_cast<const char*>(length), 4);
    const qsizetype from = png->size();
    png->append(type, 4);
    png->append(data);
    uchar crc[4];
    qToBigEndian<quint32>(Crc32(png->constData() + from, png->size() - from), crc);
    png->append(reinterpret_cast<const char*>(crc), 4);
}

class ApngSource final : public AnimationReader::Source {
public:
    explicit ApngSource(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
    }

    bool Open(QString* error)
    {
        const auto* d = reinterpret_cast<const uchar*>(bytes_.constData());
        if (!PngReadHeader(d, bytes_.size(), &header_) || !header_.complete) {
            *error = Tr("unreadable PNG");
            return false;
        }
        if (const QString reason = CheckPictureSize(header_.stored.width(), header_.stored.height());
            !reason.isEmpty()) {
            *error = reason;
            return false;
        }
        canvas_ = QImage(header_.stored, QImage::Format_RGBA8888);
        if (canvas_.isNull()) {
            *error = Tr("not enough memory for the animation");
            return false;
        }
        canvas_.fill(Qt::transparent);
        at_ = 8;
        return true;
    }

    bool Next(QImage* out, qint64* lengthMs, QString* error) override
    {
        const auto* d = reinterpret_cast<const uchar*>(bytes_.constData());
        const qint64 n = bytes_.size();
        // Disposal of the frame before.
        if (dispose_ == 1)
            Clear(area_);
        else if (dispose_ == 2 && !saved_.isNull())
            canvas_ = saved_;
        dispose_ = 0;
        QByteArray data; // the frame's compressed rows
        bool inFrame = false;
        uchar control[26] = {};
        while (at_ + 12 <= n) {
            const qint64 length = qFromBigEndian<quint32>(d + at_);
            const char* type = reinterpret_cast<const char*>(d + at_ + 4);
            const qint64 next = at_ + 12 + length;
            if (next > n) {
                *error = Tr("the PNG data is truncated");
                return false;
            }
            const char* body = reinterpret_cast<const char*>(d + at_ + 8);
            const bool fctl = std::memcmp(type, "fcTL", 4) == 0;
            if ((fctl || std::memcmp(type, "IEND", 4) == 0) && inFrame)
                return Emit(data, control, out, lengthMs, error); // at_ stays on this chunk
            at_ = next;
            if (fctl && length >= 26) {
                std::memcpy(control, body, 26);
                inFrame = true;
            } else if (std::memcmp(type, "IDAT", 4) == 0) {
                if (inFrame)
                    data.append(body, qsizetype(length));
            } else if (std::memcmp(type, "fdAT", 4) == 0 && length >= 4) {
                if (inFrame)
                    data.append(body + 4, qsizetype(length - 4));
            } else if (!seenData_ && std::memcmp(type, "IHDR", 4) != 0 && std::memcmp(type, "acTL", 4) != 0
                       && std::memcmp(type, "IEND", 4) != 0) {
                // Palette, transparency, colour profile ...: shared by every frame.
                if (std::memcmp(type, "IDAT", 4) != 0)
                    shared_.append(QByteArray(type, 4) + QByteArray(body, qsizetype(length)));
            }
            if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "fdAT", 4) == 0)
                seenData_ = true;
            if (std::memcmp(type, "IEND", 4) == 0)
                return false;
        }
        if (inFrame)
            *error = Tr("the PNG data is truncated");
        return false;
    }

private:
    void Clear(const QRect& r)
    {
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memset(canvas_.scanLine(y) + 4 * r.left(), 0, size_t(4 * r.width()));
    }

    bool Emit(const QByteArray& data, const uchar* c, QImage* out, qint64* lengthMs, QString* error)
    {
        const quint32 w = qFromBigEndian<quint32>(c + 4), h = qFromBigEndian<quint32>(c + 8);
        const quint32 x = qFromBigEndian<quint32>(c + 12), y = qFromBigEndian<quint32>(c + 16);
        const int delayNum = qFromBigEndian<quint16>(c + 20), delayDen = qFromBigEndian<quint16>(c + 22);
        const int dispose = c[24], blend = c[25];
        if (w == 0 || h == 0 || x > quint32(canvas_.width()) || y > quint32(canvas_.height())
            || w > quint32(canvas_.width()) - x || h > quint32(canvas_.height()) - y) {
            *error = Tr("an APNG frame lies outside the picture");
            return false;
        }
        // The frame as a PNG of its own.
        const auto* d = reinterpret_cast<const uchar*>(bytes_.constData());
        QByteArray ihdr(reinterpret_cast<const char*>(d + 16), 13);
        qToBigEndian<quint32>(w, ihdr.data());
        qToBigEndian<quint32>(h, ihdr.data() + 4);
        QByteArray png(kPngSignature, 8);
        AppendChunk(&png, "IHDR", ihdr);
        for (const QByteArray& chunk : std::as_const(shared_))
            AppendChunk(&png, chunk.constData(), chunk.mid(4));
        AppendChunk(&png, "IDAT", data);
        AppendChunk(&png, "IEND", {});
        QBuffer buffer(&png);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        reader.setAutoDetectImageFormat(false);
        reader.setAutoTransform(false);
        QImage frame;
        if (!reader.read(&frame) || frame.size() != QSize(int(w), int(h))) {
            *error = Tr("a damaged APNG frame: %1").arg(reader.errorString());
            return false;
        }
        const QByteArray icc = ProfileOf(frame);
        frame = frame.convertToFormat(QImage::Format_RGBA8888);
        ConvertToSrgb(&frame, icc);
        const QRect area{int(x), int(y), int(w), int(h)};
        if (dispose == 2)
            saved_ = canvas_.copy();
        for (int row = 0; row < area.height(); ++row) {
            const uchar* src = frame.constScanLine(row);
            uchar* dst = canvas_.scanLine(area.top() + row) + 4 * area.left();
            if (blend == 0) {
                std::memcpy(dst, src, size_t(4 * area.width()));
                continue;
            }
            for (int i = 0; i < area.width(); ++i, src += 4, dst += 4) {
                const int a = src[3];
                if (a == 255) {
                    std::memcpy(dst, src, 4);
                } else if (a > 0) {
                    // Straight alpha "over".
                    const int b = dst[3] * (255 - a) / 255;
                    const int outA = a + b;
                    for (int k = 0; k < 3; ++k)
                        dst[k] = uchar((src[k] * a + dst[k] * b + outA / 2) / outA);
                    dst[3] = uchar(outA);
                }
            }
        }
        area_ = area;
        // (A first frame's "previous" is the empty canvas, as its "background" is.)
        dispose_ = dispose;
        *out = ApplyExifOrientation(canvas_, header_.orientation);
        *lengthMs = qint64(delayNum) * 1000 / (delayDen == 0 ? 100 : delayDen);
        return true;
    }

    QByteArray bytes_;
    PngHeader header_;
    QImage canvas_;
    QImage saved_;
    QRect area_;
    int dispose_ = 0;
    qint64 at_ = 8;
    bool seenData_ = false;
    QList<QByteArray> shared_; // type + data of the chunks before the first IDAT
};

class WebpSource final : public AnimationReader::Source {
    static bool Take(const Result& result, QString* error)
    {
        if (!result)
            *error = result.Message();
        return result.Ok();
    }

public:
    explicit WebpSource(QByteArray bytes)
        : bytes_(std::move(bytes))
    {
    }
    bool Open(QString* error) { return Take(frames_.Open(bytes_), error); }
    bool Next(QImage* out, qint64* lengthMs, QString* error) override
    {
        return Take(frames_.Next(out, lengthMs), error) && !out->isNull();
    }

private:
    QByteArray bytes_;
    WebpFrames frames_;
};

enum class Kind { None, Gif, Apng, Webp };

Kind AnimationKind(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 n = bytes.size();
    if (GifImageCount(d, n, 2) >= 2)
        return Kind::Gif;
    PngHeader png;
    if (IsPng(d, n) && PngReadHeader(d, n, &png) && png.frames > 1)
        return Kind::Apng;
    WebpHeader webp;
    if (IsWebp(d, n) && WebpReadHeader(d, n, &webp) && webp.animated)
        return Kind::Webp;
    return Kind::None;
}

} // namespace

bool IsAnimatedPicture(const QString& path)
{
    QByteArray bytes;
    QByteArray tail;
    // Only the three formats that animate are read whole.
    if (!ReadPictureFileEnds(path, 16, 0, &bytes, &tail))
        return false;
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    if (!IsPng(d, bytes.size()) && !IsWebp(d, bytes.size()) && !bytes.startsWith("GIF8"))
        return false;
    if (!ReadPictureFile(path, &bytes))
        return false;
    return AnimationKind(bytes) != Kind::None;
}

AnimationReader::AnimationReader(const QString& path)
{
    QByteArray bytes;
    if (const Result read = ReadPictureFile(path, &bytes); !read) {
        error_ = read.Message();
        return;
    }
    switch (AnimationKind(bytes)) {
    case Kind::None:
        error_ = Tr("not an animation");
        return;
    case Kind::Gif: {
        auto gif = std::make_unique<GifSource>(std::move(bytes));
        if (gif->Open(&error_)) {
            source_ = std::move(gif);
            opened_ = true;
        }
        return;
    }
    case Kind::Apng: {
        auto apng = std::make_unique<ApngSource>(std::move(bytes));
        if (apng->Open(&error_)) {
            source_ = std::move(apng);
            opened_ = true;
        }
        return;
    }
    case Kind::Webp: {
        auto webp = std::make_unique<WebpSource>(std::move(bytes));
        if (webp->Open(&error_)) {
            source_ = std::move(webp);
            opened_ = true;
        }
        return;
    }
    }
}

AnimationReader::~AnimationReader() = default;

Result AnimationReader::Opened() const { return opened_ ? Result() : Result::Failure(ErrorCode::Undecodable, error_); }

Result AnimationReader::Next(Picture* picture)
{
    *picture = Picture();
    if (!source_)
        return error_.isEmpty() ? Result() : Result::Failure(ErrorCode::Undecodable, error_);
    qint64 length = 0;
    if (!source_->Next(&picture->image, &length, &error_)) {
        source_.reset();
        picture->image = QImage();
        return error_.isEmpty() ? Result() : Result::Failure(ErrorCode::Undecodable, error_);
    }
    picture->startMs = clock_;
    picture->lengthMs = length;
    clock_ += length;
    return {};
}

} // namespace imaging
