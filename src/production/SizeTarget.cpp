// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/SizeTarget.h"

#include "common/ReplacingFile.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "imaging/Quantizer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int kMaxEncodes = 3;
// How fast the size falls with the quality before anything is measured: on
// the benchmark animations it halves about 35 steps below the default.
const double kPriorSlope = std::log(2.0) / 35.0;
// Guesses aim this far under the target, as sizes do not follow the guess exactly.
constexpr double kAim = 0.95;

QString EncodeFile(const QString& folder) { return QDir(folder).filePath(QStringLiteral("__size__.gif")); }

// The quality at which the size would be `target`, on the line through
// (q0, log b0) with `slope` (log bytes per quality step), within [low, high].
int Guess(int q0, qint64 b0, double slope, qint64 target, int low, int high)
{
    const double q = double(q0) + std::log(double(target) / double(b0)) / slope;
    if (!std::isfinite(q))
        return low;
    return std::clamp(int(std::floor(q)), low, high);
}

// The measured slope between two encodes, or the prior one when the sizes do
// not fall with the quality there.
double Slope(int qa, qint64 ba, int qb, qint64 bb)
{
    if (qa == qb || ba <= 0 || bb <= 0)
        return kPriorSlope;
    const double s = (std::log(double(bb)) - std::log(double(ba))) / double(qb - qa);
    return s > 1e-4 ? s : kPriorSlope;
}

bool CopyFile(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *error = in.errorString();
        return false;
    }
    ReplacingFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace

qint64 ByteSizeFromText(const QString& text)
{
    QString t = text.trimmed().toUpper();
    if (t.endsWith(QLatin1Char('B')))
        t.chop(1);
    qint64 unit = 1;
    if (!t.isEmpty()) {
        const QChar last = t.back();
        const qint64 units[] = {qint64(1) << 10, qint64(1) << 20, qint64(1) << 30};
        const int k = QStringLiteral("KMG").indexOf(last);
        if (k >= 0) {
            unit = units[k];
            t.chop(1);
        }
    }
    bool ok = false;
    const double value = t.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0 || value * double(unit) > 9e15)
        return 0;
    const qint64 bytes = qint64(std::floor(value * double(unit)));
    return bytes >= 1 ? bytes : 0;
}

SizeTargetResult CreateWithinSize(const CreationSettings& settings, qint16 loopCount, qint64 maxBytes,
                                  const CreationProgress& progress)
{
    SizeTargetResult out;
    const QString scratch = EncodeFile(settings.tempFolder);
    std::map<int, qint64> sizes; // quality -> bytes of its encode
    int keptQuality = 0;         // the encode whose file is kept, 0: none
    const QString kept = scratch + QStringLiteral(".kept");
    auto cleanUp = [&] {
        (void)QFile::remove(scratch);
        (void)QFile::remove(kept);
    };

    // One encode at `q`; false when the run failed or was stopped.
    auto encode = [&](int q) {
        CreationSettings s = settings;
        s.quality = q;
        s.outputPath = scratch;
        ImageEngine engine;
        GifAssembler assembler;
        const int done = out.encodes++;
        CreationRun run(engine, assembler, std::move(s));
        out.result = run.Run(loopCount, [&](double percent) {
            return !progress || progress((double(done) + percent / 100.0) * 100.0 / kMaxEncodes);
        });
        if (!out.result.Ok())
            return false;
        const qint64 bytes = QFileInfo(scratch).size();
        sizes[q] = bytes;
        // The best fitting encode so far is kept aside.
        if (bytes <= maxBytes && q > keptQuality) {
            (void)QFile::remove(kept);
            if (!QFile::rename(scratch, kept)) {
                out.result =
                    CreationResult::Failure(QCoreApplication::translate("SizeTarget", "Cannot keep the file \"%1\".")
                                                .arg(QDir::toNativeSeparators(scratch)));
                return false;
            }
            keptQuality = q;
        }
        return true;
    };
    auto fits = [&](int q) { return sizes.at(q) <= maxBytes; };
    const qint64 aim = std::max<qint64>(1, qint64(double(maxBytes) * kAim));

    const int q0 = imaging::kDefaultQuality;
    if (!encode(q0)) {
        cleanUp();
        return out;
    }
    const qint64 b0 = sizes[q0];
    bool ok = true;
    if (fits(q0)) {
        // Better ones may fit too.
        ok = encode(100);
        if (ok && !fits(100) && 100 - q0 > 1)
            ok = encode(Guess(q0, b0, Slope(q0, b0, 100, sizes[100]), aim, q0 + 1, 99));
    } else {
        const int q1 = Guess(q0, b0, kPriorSlope, aim, 1, q0 - 1);
        ok = encode(q1);
        if (ok && fits(q1) && sizes[q1] < qint64(double(maxBytes) * 0.9) && q0 - q1 > 1)
            ok = encode(Guess(q1, sizes[q1], Slope(q1, sizes[q1], q0, b0), aim, q1 + 1, q0 - 1));
        else if (ok && !fits(q1) && q1 > 1)
            // Sizes fall ever slower towards the lowest qualities: the line
            // through the two encodes would stop short, so half its slope.
            ok = encode(Guess(q1, sizes[q1], Slope(q1, sizes[q1], q0, b0) / 2, aim, 1, q1 - 1));
    }
    if (!ok) {
        cleanUp();
        return out;
    }
    if (keptQuality == 0) {
        out.bytes = std::min_element(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
                        return a.second < b.second;
                    })->second;
        cleanUp();
        return out;
    }
    QString error;
    if (!CopyFile(kept, settings.outputPath, &error)) {
        out.result =
            CreationResult::Failure(QCoreApplication::translate("SizeTarget", "Cannot write the GIF file \"%1\": %2.")
                                        .arg(QDir::toNativeSeparators(settings.outputPath), error));
        cleanUp();
        return out;
    }
    cleanUp();
    out.fits = true;
    out.quality = keptQuality;
    out.bytes = sizes[keptQuality];
    return out;
}
