// SPDX-License-Identifier: GPL-3.0-or-later
#include "production/SizeTarget.h"

#include "common/ReplacingFile.h"
#include "imaging/GifAssembler.h"
#include "imaging/ImageEngine.h"
#include "imaging/Quantizer.h"
#include "imaging/animation/AnimationWriter.h"
#include "production/CreationRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <utility>

namespace {

using Curve = std::map<int, qint64>; // quality -> bytes

// Guesses aim this far under the target, as sizes do not follow a guess exactly.
constexpr double kAim = 0.96;
// A file this close under the target is taken without looking further.
constexpr double kClose = 0.90;
// How much less (or more) steeply than the typical curve the size may be
// taken to fall below the lowest quality measured, from the two lowest.
constexpr double kLeastSteepness = 0.5;
// The last whole encode while none fits is read from below the lowest
// measured, less surely than between two: it aims further under the target.
constexpr double kLastDownAim = 0.93;
// The last whole encode between a fitting and a bigger one risks nothing but
// itself: it aims closer under the target.
constexpr double kLastAim = 0.97;
// How fast the size falls with the quality before anything is measured: on
// the benchmark animations it halves about 35 steps below the default.
const double kPriorSlope = std::log(2.0) / 35.0;
// The sample: a tenth of the frames in four runs of neighbouring frames
// spread over the animation, each run of 2 to kMaxRun frames, or to a
// kLongRunShare-th of the frames when that is more. Sample encodes cost more
// than their share of the frames (on a 300-frame animation 32 frames took
// 1.7 times their share of a whole encode), and below the default a whole
// encode costs more than the default's: with runs of 8 the search of such an
// animation took 3.2 to 3.5 times one default encode. Runs of 5 or 6 frames
// told too little of a 1500-frame animation (a third whole encode, or a
// landing 0.83 of the target where 0.97 fits); runs of 15 cost little there.
// Animations of fewer frames than kMinSampled are searched with whole
// encodes only: a few frames stand for the others too poorly (a
// slideshow's pictures have nothing in common).
constexpr int kSampleRuns = 4;
constexpr int kSampleShare = 10;
constexpr int kMaxRun = 6;
constexpr int kLongRunShare = 100;
constexpr int kMinSampled = 40;
// Sample encodes at most: with two whole encodes, the search stays within
// the time of three.
constexpr int kMaxSamples = 6;
// How far a sample's estimate, corrected by a whole encode, may err.
constexpr double kSampleError = 1.03;
// Whole encodes of a search without a sample.
constexpr int kMaxEncodes = 3;
// A quality between two whole ones holds a share of the frames, growing to
// half of them next to the lower one (SettingsForFineQuality): over the
// step the size falls by about this share of the upper one's (0.40 to 0.46
// on sprites over a sky, a test pattern, a pan and a game of life).
constexpr double kHeldFall = 0.42;
// Encodes between two whole qualities at most, and the frames converted
// (against the frame count) before one may start: with it the search stays
// within about three encodes' time.
constexpr int kMaxBetween = 2;
constexpr double kMostWorkBeforeBetween = 2.0;

// ... aiming in the middle of the landing: a tenth of a quality moves the
// size by about 4 %.
constexpr double kBetweenAim = 0.95;

// The quality `share` (0 to 1) of the way from `upper` down to the whole one
// below, to the nearest tenth strictly between the two.
double FineQuality(int upper, double share)
{
    const int tenths = std::clamp(int(std::lround(share * 10)), 1, 9);
    return double(upper * 10 - tenths) / 10;
}

QString ScratchFile(const QString& folder, const char* name) { return QDir(folder).filePath(QLatin1String(name)); }

// How much smaller holding frames makes the file of the whole quality `q`
// than the curve above it says: 1 but at -Q 1, which holds every other frame.
// The few frames held from -Q 5 to 2 are read as part of the curve (at -Q 2
// 0.12 of them): read apart, a gradient's -Q 3 took the qualities above it
// too small.
double HeldFactor(int q)
{
    if (q != 1)
        return 1.0;
    const double more = imaging::SettingsForQuality(1).holdShare - imaging::SettingsForQuality(2).holdShare;
    return 1.0 - kHeldFall * more / imaging::QuantizeSettings::kMostHeld;
}

// The size at `q` without its held frames. Curves are read between
// qualities through these: -Q 1's held frames are a step of their own (a
// terminal recording: 302799 bytes at -Q 1, 548464 at -Q 2), which read
// along the curve would take the qualities above it far too small.
double Unheld(int q, double bytes) { return bytes / HeldFactor(q); }

// How much the tenths under the whole quality `q` fall over the step, of
// q's size, before one is measured: frames held next to those q holds
// itself save less (a gradient's tenths under -Q 2, which holds 0.12 of
// them, fell by 0.21).
double TenthsFall(int q)
{
    const double held = imaging::SettingsForQuality(q).holdShare / imaging::QuantizeSettings::kMostHeld;
    return kHeldFall * std::max(1.0 - 2.0 * held, 0.25);
}

// How much of `upper`, the size of the whole quality above `lower`'s `q`,
// the tenths between them fall over the step: kHeldFall, or where q holds
// frames itself (-Q 1: half of them, of about -Q 2's colours) the fall to
// its size, the tenths lying between the two (a gradient: 0.15 of -Q 2's
// size, a terminal recording 0.45).
double HeldFall(int q, double lower, double upper)
{
    if (HeldFactor(q) < 1 && lower > 0 && lower < upper)
        return 1.0 - lower / upper;
    return kHeldFall;
}

// The measured slope (log bytes per quality step) between two points, or
// the prior one when the sizes do not rise with the quality there.
double Slope(int qa, qint64 ba, int qb, qint64 bb)
{
    if (qa == qb || ba <= 0 || bb <= 0)
        return kPriorSlope;
    const double s = (std::log(Unheld(qb, double(bb))) - std::log(Unheld(qa, double(ba)))) / double(qb - qa);
    return s > 1e-4 ? s : kPriorSlope;
}

// The best quality on `curve` whose size is at most `limit`; 0 when none is.
int BestFitting(const Curve& curve, double limit)
{
    for (auto it = curve.rbegin(); it != curve.rend(); ++it)
        if (double(it->second) <= limit)
            return it->first;
    return 0;
}

// How the size falls with -Q on the benchmark animations (sprites, screen
// and terminal recordings, a pan, slideshows, test patterns): the median
// share of the default's bytes, read log-straight between the points. The
// lowest qualities lose colours ever faster.
constexpr std::pair<int, double> kTypicalShare[] = {{1, 0.191},  {5, 0.247},  {10, 0.386}, {15, 0.457}, {20, 0.489},
                                                    {25, 0.507}, {30, 0.521}, {45, 0.571}, {60, 0.630}, {75, 0.703},
                                                    {85, 0.797}, {90, 0.872}, {95, 1.000}, {100, 1.238}};

double TypicalShare(int q)
{
    q = std::clamp(q, 1, 100);
    for (std::size_t i = 1; i < std::size(kTypicalShare); ++i) {
        const auto [qb, b] = kTypicalShare[i];
        if (q <= qb) {
            const auto [qa, a] = kTypicalShare[i - 1];
            return std::exp(std::log(a) + (std::log(b) - std::log(a)) * double(q - qa) / double(qb - qa));
        }
    }
    return 1.0;
}

// The size at `q` between two measured points (qa below qb), log bytes read
// along the typical curve stretched to pass through both, and from -Q 25 up
// ever more along the straight line through them, halfway at -Q 60 and
// above. Below -Q 25 the colour ceiling shapes every animation's curve
// alike; above, animations differ (a photo slideshow falls evenly from -Q 95
// to -Q 18, where the typical curve is flat from -Q 60 down to -Q 25).
double Between(int qa, qint64 ba, int qb, qint64 bb, int q)
{
    constexpr int kTypicalTo = 25, kHalfFrom = 60;
    const double la = std::log(Unheld(qa, double(std::max<qint64>(ba, 1))));
    const double lb = std::log(Unheld(qb, double(std::max<qint64>(bb, 1))));
    const double ta = std::log(TypicalShare(qa));
    const double tb = std::log(TypicalShare(qb));
    const double straight = double(q - qa) / double(qb - qa);
    const double typical = tb - ta > 1e-9 ? (std::log(TypicalShare(q)) - ta) / (tb - ta) : straight;
    const double w = 0.5 * std::clamp(double(q - kTypicalTo) / (kHalfFrom - kTypicalTo), 0.0, 1.0);
    return std::exp(la + (lb - la) * ((1 - w) * typical + w * straight)) * HeldFactor(q);
}

// The next quality to measure for the best one within `limit`, aiming at
// `aim`, or at `aimBetween` between a fitting and a bigger one; 0 when the
// points measured decide it: the best fitting one is 100, or next to a
// quality that does not fit, or nothing fits down to 1.
int NextQuality(const Curve& curve, double limit, double aim, double aimBetween)
{
    if (curve.empty())
        return imaging::kDefaultQuality;
    const int lo = BestFitting(curve, limit);
    const auto above = curve.upper_bound(lo);
    const int hi = above == curve.end() ? 101 : above->first;
    if (hi == lo + 1)
        return 0;
    double q = 0;
    if (lo > 0 && hi <= 100) {
        // Between a fitting and a bigger one, read as Between does.
        if (above->second <= curve.at(lo))
            return (lo + hi) / 2;
        for (int k = hi - 1; k > lo; --k)
            if (Between(lo, curve.at(lo), hi, above->second, k) <= aimBetween)
                return k;
        return lo + 1;
    } else if (lo > 0) {
        // Everything measured fits: up from the best, as steep as below it.
        const auto below = std::prev(curve.find(lo));
        const double slope =
            curve.find(lo) == curve.begin() ? kPriorSlope : Slope(below->first, below->second, lo, curve.at(lo));
        q = lo + std::log(aim / Unheld(lo, double(curve.at(lo)))) / slope;
    } else {
        // Nothing fits: down from the lowest along the typical curve, as
        // steep as the two lowest measured say. With two points, their own
        // line weighs as much: an animation's curve bends where it will, the
        // typical one only where most do.
        const auto lowest = curve.begin();
        double steepness = 1.0, line = 0; // line: log bytes per step of the two lowest, 0: none
        // The next point that is bigger: a flat stretch tells nothing of the fall below it.
        auto next = std::next(lowest);
        while (next != curve.end() && next->second <= lowest->second)
            ++next;
        if (next != curve.end() && lowest->second > 0) {
            const double typical = std::log(TypicalShare(lowest->first) / TypicalShare(next->first));
            const double measured = std::log(double(lowest->second) / double(next->second));
            if (typical < 0)
                steepness = std::clamp(measured / typical, kLeastSteepness, 1 / kLeastSteepness);
            if (measured < 0)
                line = -measured / double(next->first - lowest->first);
        }
        const double from = std::log(double(std::max<qint64>(lowest->second, 1)));
        for (int k = lowest->first - 1; k > 1; --k) {
            double at = from + steepness * std::log(TypicalShare(k) / TypicalShare(lowest->first));
            if (line > 0)
                at = 0.5 * at + 0.5 * (from - line * double(lowest->first - k));
            if (std::exp(at) <= aim)
                return k;
        }
        return 1;
    }
    if (!std::isfinite(q))
        q = lo + 1;
    return std::clamp(int(std::floor(q)), lo + 1, hi - 1);
}

// Whether the search on `curve` is over: a fitting size close enough under `limit`.
bool Close(const Curve& curve, double limit)
{
    const int best = BestFitting(curve, limit);
    return best > 0 && double(curve.at(best)) >= kClose * limit;
}

// The size at `q` from the curve's nearest points: between two, as Between
// reads it; beyond them, on their line, log bytes against the quality.
double SizeAt(const Curve& curve, int q)
{
    if (const auto it = curve.find(q); it != curve.end())
        return double(it->second);
    auto above = curve.upper_bound(q);
    if (above == curve.begin())
        ++above;
    if (above == curve.end())
        --above;
    const auto below = std::prev(above == curve.begin() ? std::next(above) : above);
    const auto upper = std::next(below) == curve.end() ? below : std::next(below);
    // Between two points that rise, read as the last guesses are.
    if (below->first < q && q < upper->first && upper->second > below->second)
        return Between(below->first, below->second, upper->first, upper->second, q);
    const double slope = upper == below ? kPriorSlope : Slope(below->first, below->second, upper->first, upper->second);
    return Unheld(below->first, double(below->second)) * std::exp(slope * double(q - below->first)) * HeldFactor(q);
}

// The best quality at which the curve, read as SizeAt does, stays within
// `aim`; 1 when none does.
int Predicted(const Curve& curve, double aim)
{
    for (int q = 100; q > 1; --q)
        if (SizeAt(curve, q) <= aim)
            return q;
    return 1;
}

// The bytes of each picture of a GIF file (its control extension, descriptor,
// tables and data), in order; false when the file is not read to its end.
bool FrameSizes(const QByteArray& gif, std::vector<qint64>* frames)
{
    const auto* d = reinterpret_cast<const uchar*>(gif.constData());
    const qsizetype n = gif.size();
    qsizetype at = 13;
    if (n < at)
        return false;
    if (d[10] & 0x80)
        at += 3 * (qsizetype(1) << ((d[10] & 7) + 1));
    const auto subBlocks = [&](qsizetype i) {
        while (i < n && d[i] != 0)
            i += 1 + d[i];
        return i < n ? i + 1 : qsizetype(-1);
    };
    qsizetype frameStart = -1; // a control extension waiting for its picture
    while (at < n) {
        if (d[at] == 0x3B)
            return true;
        if (d[at] == 0x21 && at + 1 < n) {
            if (d[at + 1] == 0xF9)
                frameStart = at;
            at = subBlocks(at + 2);
        } else if (d[at] == 0x2C && at + 10 < n) {
            const qsizetype start = frameStart >= 0 ? frameStart : at;
            qsizetype i = at + 10;
            if (d[at + 9] & 0x80)
                i += 3 * (qsizetype(1) << ((d[at + 9] & 7) + 1));
            at = subBlocks(i + 1);
            if (at > 0)
                frames->push_back(at - start);
            frameStart = -1;
        } else {
            return false;
        }
        if (at < 0)
            return false;
    }
    return false;
}

// What the whole animation of `count` frames would weigh, from a file of its
// sample made of `runs` runs of `runLength` neighbouring frames: the first
// picture of every run but the first is drawn over an unrelated screen, so
// the pictures that follow another stand for the rest.
qint64 WholeFromSample(const QByteArray& gif, int runs, int runLength, int count)
{
    std::vector<qint64> frames;
    const qint64 bytes = gif.size();
    const int sampled = runs * runLength;
    if (!FrameSizes(gif, &frames) || int(frames.size()) != sampled || sampled == 0)
        return qint64(double(bytes) * count / std::max(sampled, 1));
    qint64 pictures = 0, following = 0;
    for (int j = 0; j < sampled; ++j) {
        pictures += frames[std::size_t(j)];
        if (j % runLength != 0)
            following += frames[std::size_t(j)];
    }
    const qint64 rest = bytes - pictures;
    if (runLength < 2)
        return rest + qint64(double(pictures) * count / sampled);
    return rest + frames.front() + qint64(double(following) * (count - 1) / (sampled - runs));
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
    const int count = int(settings.frames.size());
    // Tenths between two whole qualities hold frames: slides have none to hold.
    const bool mayHold = std::any_of(settings.frames.begin() + std::min(count, 1), settings.frames.end(),
                                     [](const CreationFrame& frame) {
                                         return CreationRules::FrameDelay(frame.playTime) < imaging::kHeldDelayBelow;
                                     });
    const QString scratch = ScratchFile(settings.tempFolder, "__size__.gif");
    const QString kept = ScratchFile(settings.tempFolder, "__size__.gif.kept");
    const QString sampleFile = ScratchFile(settings.tempFolder, "__sample__.gif");
    auto cleanUp = [&] {
        (void)QFile::remove(scratch);
        (void)QFile::remove(kept);
        (void)QFile::remove(sampleFile);
    };
    const double limit = double(maxBytes);
    const double aim = std::max(1.0, limit * kAim);

    // The sample: runs of neighbouring frames from the start to the end.
    int runs = 0, runLength = 0;
    if (count >= kMinSampled) {
        runs = kSampleRuns;
        runLength = std::clamp((count + kSampleShare * runs - 1) / (kSampleShare * runs), 2,
                               std::max(kMaxRun, count / kLongRunShare));
    }
    const int sampled = runs * runLength;
    const int maxSamples = sampled > 0 ? std::min(kMaxSamples, count / sampled) : 0;
    CreationSettings sample = settings;
    if (sampled > 0) {
        sample.frames.clear();
        std::vector<int> whole; // the frame (from 1) of the animation behind each of the sample's
        for (int r = 0; r < runs; ++r) {
            const int first = runs > 1 ? int(qint64(count - runLength) * r / (runs - 1)) : 0;
            for (int j = 0; j < runLength; ++j) {
                sample.frames.push_back(settings.frames.at(first + j));
                whole.push_back(first + j + 1);
            }
        }
        // Short runs tell nothing of frames held now and then: the sample
        // holds none, and its size is lowered as holding them lowers a file's.
        sample.holdsFrames = false;
        sample.outputPath = sampleFile;
        if (settings.skipUnreadable)
            sample.skipUnreadable = [skip = settings.skipUnreadable, whole](int frame, const QString& path,
                                                                            const QString& reason) {
                return skip(whole.at(std::size_t(frame - 1)), path, reason);
            };
    }

    // The bar runs over the frames converted, against the most that may
    // still be converted; each encode takes its share of what is left.
    double shown = 0;
    qint64 converted = 0;
    auto share = [&](qint64 frames, qint64 most) -> CreationProgress {
        const double from = shown;
        const double span = (100.0 - from) * double(frames) / double(std::max(most, frames));
        return [&, from, span](double percent) {
            shown = std::max(shown, from + span * percent / 100.0);
            return !progress || progress(shown);
        };
    };

    double keptQuality = 0;        // the whole encode whose file is kept, 0: none
    Curve whole;                   // quality -> bytes of whole encodes
    std::map<double, qint64> fine; // ... and between two whole qualities
    Curve estimated;               // quality -> the whole's bytes as its sample tells

    // One run of `base`'s frames at `q`, taking its share of the bar; false
    // when it failed or was stopped.
    auto runAt = [&](const CreationSettings& base, double q, int frames, qint64 most) {
        CreationSettings s = base;
        s.quality = q;
        ImageEngine engine;
        GifAssembler assembler;
        CreationRun run(engine, assembler, std::move(s));
        out.result = run.Run(loopCount, share(frames, most));
        converted += frames;
        return out.result.Ok();
    };
    CreationSettings all = settings;
    all.outputPath = scratch;
    // One encode at `q` of every frame.
    auto encode = [&](double q, qint64 most) {
        ++out.encodes;
        if (!runAt(all, q, count, most))
            return false;
        const qint64 bytes = QFileInfo(scratch).size();
        if (q == std::floor(q))
            whole[int(q)] = bytes;
        else
            fine[q] = bytes;
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
    // One encode at `q` of the sample.
    auto probe = [&](int q, qint64 most) {
        ++out.samples;
        if (!runAt(sample, q, sampled, most))
            return false;
        QFile file(sampleFile);
        if (!file.open(QIODevice::ReadOnly)) {
            out.result =
                CreationResult::Failure(QCoreApplication::translate("SizeTarget", "Cannot read the file \"%1\": %2.")
                                            .arg(QDir::toNativeSeparators(sampleFile), file.errorString()));
            return false;
        }
        const double held = imaging::SettingsForFineQuality(q).holdShare;
        estimated[q] = qint64(double(WholeFromSample(file.readAll(), runs, runLength, count))
                              * (1.0 - kHeldFall * held / imaging::QuantizeSettings::kMostHeld));
        return true;
    };

    const bool ok = [&] {
        if (sampled == 0) {
            // Whole encodes only, each guessed from the ones before (the last
            // one aiming as kLastDownAim and kLastAim say).
            for (int q = imaging::kDefaultQuality; q > 0 && out.encodes < kMaxEncodes && !Close(whole, limit);
                 q = NextQuality(whole, limit, out.encodes + 1 == kMaxEncodes ? limit * kLastDownAim : aim,
                                 out.encodes + 1 == kMaxEncodes ? limit * kLastAim : aim)) {
                const bool last = out.encodes + 1 == kMaxEncodes;
                const bool lowestMayFollow = last && keptQuality == 0 && !whole.count(1);
                if (!encode(q, qint64(kMaxEncodes - out.encodes + (lowestMayFollow ? 1 : 0)) * count))
                    return false;
            }
            // Rather the lowest quality than no file while it may fit.
            return keptQuality > 0 || whole.count(1) || encode(1, count);
        }
        // The sample's curve first, two probes kept for after the correction.
        const auto probesLeft = [&] { return qint64(maxSamples - out.samples) * sampled; };
        // The sample holds no frames: once the best quality it says fits
        // holds frames (-Q 1), it tells nothing more of the tenths above.
        const auto fitsHeld = [&](const Curve& curve) {
            const int best = BestFitting(curve, limit);
            return best > 0 && best < 100 && HeldFactor(best) < 1 && SizeAt(curve, best + 1) > limit;
        };
        for (int q = imaging::kDefaultQuality; q > 0 && out.samples < std::max(1, maxSamples - 2);
             q = NextQuality(estimated, limit, aim, aim)) {
            if (!probe(q, probesLeft() + 2 * qint64(count)))
                return false;
            if (Close(estimated, limit) || fitsHeld(estimated))
                break;
        }
        // Where frames may be held and the sample is flat above the target
        // (the same size at the two qualities next over it), the whole's own
        // step may lie a few qualities off the sample's (a pan: the sample's
        // at -Q 21, the whole's at -Q 23): the middle of the flat is encoded
        // first, over the step either way, and the tenths below it come down
        // to the target from its measured size.
        int q1 = Close(estimated, limit) ? BestFitting(estimated, limit) : Predicted(estimated, aim);
        bool flat = false;
        if (mayHold && !Close(estimated, limit)) {
            const auto over = estimated.upper_bound(q1);
            if (over != estimated.end() && std::next(over) != estimated.end() && HeldFactor(over->first) == 1
                && std::next(over)->second == over->second && double(over->second) > limit) {
                q1 = (over->first + std::next(over)->first) / 2;
                flat = true;
            }
        }
        // Measured on the sample too, the correction is exact there.
        if (!flat && !estimated.count(q1) && out.samples < maxSamples && !probe(q1, probesLeft() + 2 * qint64(count)))
            return false;
        if (!encode(q1, probesLeft() + 2 * qint64(count)))
            return false;
        if (Close(whole, limit) || (keptQuality == 100))
            return true;
        // Over the target: the tenth below it that its measured size says
        // lands there, when one may (holding at most nine tenths of the way);
        // still over, once more along the fall that tenth measured, further
        // under, at most to the lowest tenth. The fall is the content's own:
        // over a whole step a pan's tenths fall by 0.47 of the upper size, a
        // test gradient's by 0.07, and unevenly under -Q 2, which holds
        // frames itself (a gradient's: 0.09 from 1.6 up, 0.21 over the step).
        if (mayHold && keptQuality == 0 && q1 > 1) {
            const double upper = double(whole.at(q1));
            double fall = TenthsFall(q1), tenthAim = kAim, below = q1;
            for (int k = 0; k < kMaxBetween && keptQuality == 0; ++k) {
                const double share = (1.0 - tenthAim * limit / upper) / fall;
                if (share > 0.9 && k == 0)
                    break;
                const double q = std::min(FineQuality(q1, share), below - 0.1);
                if (q <= q1 - 1)
                    break;
                if (!encode(q, qint64(kMaxBetween - k) * count))
                    return false;
                fall = std::max((1.0 - double(fine.at(q)) / upper) / (q1 - q), 0.05);
                tenthAim = kLastDownAim;
                below = q;
            }
            if (keptQuality > 0)
                return true;
        }
        // The sample's estimate, corrected by the whole encode; the whole's sizes where known.
        const auto corrected = [&](double factor) {
            Curve c;
            for (const auto& [q, bytes] : estimated)
                c[q] = qint64(double(bytes) * factor);
            for (const auto& [q, bytes] : whole)
                c[q] = bytes;
            return c;
        };
        double factor = double(whole.at(q1)) / SizeAt(estimated, q1);
        Curve c = corrected(factor);
        const qint64 afterProbes = (keptQuality > 0 ? 1 : 2) * qint64(count);
        // With a fitting file kept, the last encode risks nothing but itself:
        // it aims at the target itself (the sample errs by a few percent
        // either way).
        const double lastAim = keptQuality > 0 ? limit : aim;
        for (int q = NextQuality(c, limit, aim, lastAim);
             q > 0 && out.samples < maxSamples && !Close(c, limit) && !fitsHeld(c);
             q = NextQuality(c, limit, aim, lastAim)) {
            if (!probe(q, probesLeft() + afterProbes))
                return false;
            c = corrected(factor);
        }
        // Without a fitting file, the last planned encode aims under the
        // target even where an estimate says a quality fits by less than a
        // sample errs.
        int q2 = Predicted(c, lastAim);
        // The kept encode is well under the target and the quality above it
        // is said to be over by less than a sample errs: measured instead.
        // Said to be over by less than a sample errs but more than aimed at:
        // between the two, as below, as if it were over by that much.
        bool over = false;
        if (whole.count(q2) && keptQuality == q2 && !Close(whole, limit) && q2 < 100 && !whole.count(q2 + 1)
            && SizeAt(c, q2 + 1) <= limit * kSampleError) {
            if (SizeAt(c, q2 + 1) <= aim)
                ++q2;
            else
                over = true;
        }
        // ... and so where the quality next above the kept one is said to fit
        // by less than aimed at: where frames may be held, a tenth below it
        // is surer than it (a fractal zoom: -Q 10 said to fit wrote 1.03
        // times the target).
        const int kept = int(keptQuality);
        if (mayHold && kept > 0 && kept == keptQuality && q2 == kept + 1 && !whole.count(q2) && !Close(whole, limit)
            && SizeAt(c, q2) > aim) {
            q2 = kept;
            over = true;
        }
        // A step between q2 and the quality above it (q2 well under the
        // target, the one above over it): a share of the upper one's frames
        // held instead, falling by about kHeldFall of its size over the step.
        const double lower = whole.count(q2) ? double(whole.at(q2)) : SizeAt(c, q2);
        double upper = q2 < 100 ? (whole.count(q2 + 1) ? double(whole.at(q2 + 1)) : SizeAt(c, q2 + 1)) : 0;
        if (over)
            upper = std::max(upper, limit * kSampleError);
        if (mayHold && lower < kClose * limit && upper > limit && !(keptQuality > q2)) {
            const double q = FineQuality(q2 + 1, (1.0 - kBetweenAim * limit / upper) / HeldFall(q2, lower, upper));
            if (!fine.count(q) && !encode(q, afterProbes + (keptQuality > 0 ? 0 : count)))
                return false;
            // Still over: the whole quality below it, as planned.
            return keptQuality > 0 || whole.count(q2) || encode(q2, count);
        }
        if (!whole.count(q2) && !encode(q2, afterProbes))
            return false;
        if (keptQuality > 0 || q2 == 1)
            return true;
        // Neither fits: once more, corrected by the nearer encode and well
        // under, read between the points (sizes may drop by a step between two
        // qualities, so none measured need fit) and below every whole encode.
        factor = double(whole.at(q2)) / SizeAt(estimated, q2);
        c = corrected(factor);
        const int q3 = std::clamp(Predicted(c, limit * kClose), 1, std::max(1, whole.begin()->first - 1));
        if (!whole.count(q3) && !encode(q3, (q3 > 1 ? 2 : 1) * qint64(count)))
            return false;
        // Rather the lowest quality than no file while it may fit.
        return keptQuality > 0 || whole.count(1) || encode(1, count);
    }();
    // Between the kept whole quality and the bigger one above it, when the
    // kept file is well under the target: a share of the frames held makes
    // the upper one's file as much smaller as wanted.
    const bool between = [&] {
        if (!ok || !mayHold || keptQuality <= 0 || keptQuality >= 100 || !whole.count(int(keptQuality)))
            return true;
        const int lo = int(keptQuality);
        if (double(whole.at(lo)) >= kClose * limit)
            return true;
        qint64 upper = whole.count(lo + 1) ? whole.at(lo + 1) : 0;
        if (upper == 0 && estimated.count(lo + 1) && estimated.count(lo))
            upper = qint64(double(estimated.at(lo + 1)) * double(whole.at(lo)) / double(estimated.at(lo)));
        if (double(upper) <= limit)
            return true;
        // Along a straight line from the upper size, its fall measured once one is.
        double fall = HeldFall(lo, double(whole.at(lo)), double(upper));
        for (int k = 0; k < kMaxBetween; ++k) {
            if (double(converted) > kMostWorkBeforeBetween * count)
                return true;
            const double share = (1.0 - kBetweenAim * limit / double(upper)) / fall;
            const double q = FineQuality(lo + 1, share);
            if (fine.count(q) || q <= keptQuality)
                return true;
            if (!encode(q, qint64(kMaxBetween - k) * count))
                return false;
            const qint64 bytes = fine.at(q);
            if (double(bytes) <= limit && double(bytes) >= kClose * limit)
                return true;
            const double held = double(lo + 1) - q;
            if (bytes < upper)
                fall = std::max((1.0 - double(bytes) / double(upper)) / held, 0.05);
        }
        return true;
    }();
    out.work = double(converted) / double(std::max(count, 1));
    if (!ok || !between) {
        cleanUp();
        return out;
    }
    if (keptQuality == 0) {
        out.bytes = std::min_element(whole.begin(), whole.end(), [](const auto& a, const auto& b) {
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
    out.bytes = fine.count(keptQuality) ? fine.at(keptQuality) : whole.at(int(keptQuality));
    return out;
}
