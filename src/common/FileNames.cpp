// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileNames.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QList>

#include <climits>

namespace FileNames {
namespace {

constexpr char16_t kEscapeBase = 0xDC00; // invalid byte b (0x80..0xFF) is U+DC00 + b

// Length of the valid UTF-8 sequence at p (1 to 4), or 0 when the byte at p
// does not start one. Overlong forms, encoded surrogates and code points above
// U+10FFFF are invalid.
int ValidSequence(const unsigned char* p, qsizetype left, char32_t* code)
{
    const unsigned char b = p[0];
    if (b < 0x80) {
        *code = b;
        return 1;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((b & 0xE0) == 0xC0) {
        length = 2, value = b & 0x1F, minimum = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3, value = b & 0x0F, minimum = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        length = 4, value = b & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

} // namespace

QString FromBytes(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype at = 0; at < n;) {
        char32_t code = 0;
        const int length = ValidSequence(p + at, n - at, &code);
        if (length == 0) {
            out.append(QChar(char16_t(kEscapeBase + p[at])));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(code)) {
            out.append(QChar(QChar::highSurrogate(code)));
            out.append(QChar(QChar::lowSurrogate(code)));
        } else {
            out.append(QChar(char16_t(code)));
        }
        at += length;
    }
    return out;
}

QByteArray ToBytes(const QString& name)
{
    QByteArray out;
    out.reserve(name.size());
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = name[i].unicode();
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(name[i + 1].unicode())) {
            code = QChar::surrogateToUcs4(c, name[i + 1].unicode());
            ++i;
        } else if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            out.append(char(c - kEscapeBase));
            continue;
        } else if (QChar::isSurrogate(c)) {
            code = 0xFFFD; // a lone surrogate that no name of ours holds
        }
        if (code < 0x80) {
            out.append(char(code));
        } else if (code < 0x800) {
            out.append(char(0xC0 | (code >> 6)));
            out.append(char(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.append(char(0xE0 | (code >> 12)));
            out.append(char(0x80 | ((code >> 6) & 0x3F)));
            out.append(char(0x80 | (code & 0x3F)));
        } else {
            out.append(char(0xF0 | (code >> 18)));
            out.append(char(0x80 | ((code >> 12) & 0x3F)));
            out.append(char(0x80 | ((code >> 6) & 0x3F)));
            out.append(char(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

namespace {

// The kernel's rule for fs.protected_symlinks.
bool MayFollow(int folder, const struct stat& link)
{
    struct stat info { };
    if (::fstat(folder, &info) != 0)
        return false;
    if ((info.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH))
        return true;
    return link.st_uid == ::geteuid() || link.st_uid == info.st_uid;
}

int OpenFolder(int at, const char* name) { return ::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC); }

} // namespace

Place ResolvePlace(const QString& name)
{
    Place out;
    const QByteArray path = ToBytes(name);
    if (path.isEmpty()) {
        out.error = ENOENT;
        return out;
    }
    QList<QByteArray> parts = path.split('/');
    int folder = OpenFolder(AT_FDCWD, path.startsWith('/') ? "/" : ".");
    auto fail = [&](int error) {
        if (folder >= 0)
            ::close(folder);
        out.error = error;
        return out;
    };
    if (folder < 0)
        return fail(errno);
    for (int links = 0; !parts.isEmpty();) {
        QByteArray part = parts.takeFirst();
        const bool last = parts.isEmpty();
        if (part.isEmpty())
            part = ".";
        if (part == "." || part == "..") {
            if (last) {
                out.name = part; // a folder: the caller refuses it
                break;
            }
            if (part == ".")
                continue;
        }
        struct stat info { };
        if (part != ".." && ::fstatat(folder, part.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (last && errno == ENOENT) {
                out.name = part; // a new file
                break;
            }
            return fail(errno);
        }
        if (part != ".." && S_ISLNK(info.st_mode)) {
            if (++links > 40)
                return fail(ELOOP);
            if (!MayFollow(folder, info)) {
                ::close(folder);
                out.refusal = QCoreApplication::translate(
                    "FileNames", "it is a link that another user made in a shared folder, which is not followed");
                return out;
            }
            QByteArray target(PATH_MAX, '\0');
            const ssize_t n = ::readlinkat(folder, part.constData(), target.data(), target.size());
            if (n <= 0)
                return fail(n < 0 ? errno : ENOENT);
            target.truncate(n);
            QList<QByteArray> spliced = target.split('/');
            spliced += parts;
            parts = spliced;
            if (target.startsWith('/')) {
                ::close(folder);
                folder = OpenFolder(AT_FDCWD, "/");
                if (folder < 0)
                    return fail(errno);
            }
            continue;
        }
        if (last) {
            out.name = part;
            break;
        }
        const int next = OpenFolder(folder, part.constData());
        if (next < 0)
            return fail(errno);
        ::close(folder);
        folder = next;
    }
    out.folder = folder;
    return out;
}

QString CheckOutputTarget(const QString& name)
{
    const Place place = ResolvePlace(name);
    if (place.folder < 0)
        return place.refusal; // a missing folder is the writer's to report
    struct stat info { };
    const bool exists = ::fstatat(place.folder, place.name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    ::close(place.folder);
    if (!exists || S_ISREG(info.st_mode))
        return {};
    return S_ISDIR(info.st_mode) ? QCoreApplication::translate("FileNames", "it is a folder")
                                 : QCoreApplication::translate("FileNames", "it is not a regular file");
}

} // namespace FileNames
