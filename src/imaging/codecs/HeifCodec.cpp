// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/codecs/HeifCodec.h"

#include <QtEndian>

#include <cstring>
#include <vector>

namespace imaging {
namespace {

// An ISO media box: its type and its payload [begin, end).
struct Box {
    char type[4] = {};
    qint64 begin = 0;
    qint64 end = 0;
};

// The boxes in [from, to), in order; stops at the first malformed one.
std::vector<Box> Boxes(const uchar* d, qint64 from, qint64 to)
{
    std::vector<Box> boxes;
    for (qint64 at = from; at + 8 <= to;) {
        qint64 size = qFromBigEndian<quint32>(d + at);
        qint64 header = 8;
        if (size == 1) {
            if (at + 16 > to)
                break;
            size = qint64(qFromBigEndian<quint64>(d + at + 8));
            header = 16;
        } else if (size == 0) {
            size = to - at;
        }
        if (size < header || size > to - at)
            break;
        Box box;
        std::memcpy(box.type, d + at + 4, 4);
        box.begin = at + header;
        box.end = at + size;
        boxes.push_back(box);
        at += size;
    }
    return boxes;
}

const Box* Find(const std::vector<Box>& boxes, const char* type)
{
    for (const Box& b : boxes)
        if (std::memcmp(b.type, type, 4) == 0)
            return &b;
    return nullptr;
}

} // namespace

HeifKind HeifSignature(const uchar* d, qint64 n)
{
    if (n < 16 || std::memcmp(d + 4, "ftyp", 4) != 0)
        return HeifKind::None;
    const qint64 box = qint64(qFromBigEndian<quint32>(d));
    if (box < 16 || box > n)
        return HeifKind::None;
    bool heic = false;
    for (qint64 at = 8; at + 4 <= box; at += 4) {
        if (at == 12)
            continue; // the minor version
        const char* brand = reinterpret_cast<const char*>(d + at);
        const auto is = [brand](const char* name) { return std::memcmp(brand, name, 4) == 0; };
        if (is("avif") || is("avis"))
            return HeifKind::Avif;
        heic = heic || is("heic") || is("heix") || is("heim") || is("heis") || is("hevc") || is("hevx") || is("mif1")
            || is("msf1");
    }
    return heic ? HeifKind::Heic : HeifKind::None;
}

QByteArray HeifIccProfile(const uchar* d, qint64 n)
{
    const Box* meta = nullptr;
    const std::vector<Box> top = Boxes(d, 0, n);
    meta = Find(top, "meta");
    if (!meta || meta->end - meta->begin < 4)
        return {};
    const std::vector<Box> inMeta = Boxes(d, meta->begin + 4, meta->end); // after version and flags
    const Box* pitm = Find(inMeta, "pitm");
    const Box* iprp = Find(inMeta, "iprp");
    if (!pitm || !iprp || pitm->end - pitm->begin < 6)
        return {};
    const quint32 primary = d[pitm->begin] == 0
        ? qFromBigEndian<quint16>(d + pitm->begin + 4)
        : (pitm->end - pitm->begin >= 8 ? qFromBigEndian<quint32>(d + pitm->begin + 4) : 0);
    const std::vector<Box> inIprp = Boxes(d, iprp->begin, iprp->end);
    const Box* ipco = Find(inIprp, "ipco");
    const Box* ipma = Find(inIprp, "ipma");
    if (!ipco || !ipma || ipma->end - ipma->begin < 8)
        return {};
    const std::vector<Box> properties = Boxes(d, ipco->begin, ipco->end);
    // Associations: item, count, then 1-based property indices (7 or 15 bits after an "essential" bit).
    const int version = d[ipma->begin];
    const bool wide = (d[ipma->begin + 3] & 1) != 0;
    qint64 at = ipma->begin + 4;
    const quint32 entries = qFromBigEndian<quint32>(d + at);
    at += 4;
    for (quint32 e = 0; e < entries; ++e) {
        const qint64 idSize = version < 1 ? 2 : 4;
        if (at + idSize + 1 > ipma->end)
            return {};
        const quint32 item = version < 1 ? qFromBigEndian<quint16>(d + at) : qFromBigEndian<quint32>(d + at);
        at += idSize;
        const int count = d[at++];
        for (int k = 0; k < count; ++k) {
            if (at + (wide ? 2 : 1) > ipma->end)
                return {};
            const int index = wide ? (qFromBigEndian<quint16>(d + at) & 0x7FFF) : (d[at] & 0x7F);
            at += wide ? 2 : 1;
            if (item != primary || index < 1 || size_t(index) > properties.size())
                continue;
            const Box& p = properties[size_t(index - 1)];
            if (std::memcmp(p.type, "colr", 4) == 0 && p.end - p.begin > 4
                && (std::memcmp(d + p.begin, "prof", 4) == 0 || std::memcmp(d + p.begin, "rICC", 4) == 0))
                return QByteArray(reinterpret_cast<const char*>(d + p.begin + 4), qsizetype(p.end - p.begin - 4));
        }
    }
    return {};
}

} // namespace imaging
