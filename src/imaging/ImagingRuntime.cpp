// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/ImagingRuntime.h"

#include "imaging/ImagingLimits.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QStringLiteral>

#include <Magick++.h>

#include <mutex>

#include <dlfcn.h>
#include <omp.h>

namespace imaging {

QString CheckPictureSize(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return QCoreApplication::translate("ImagingRuntime", "the picture has no pixels (%1 x %2)")
            .arg(width)
            .arg(height);
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return QCoreApplication::translate("ImagingRuntime",
                                           "the picture measures %1 x %2, above the limit of %3 pixels per side")
            .arg(width)
            .arg(height)
            .arg(kMaxPictureSide);
    if (width * height > kMaxPicturePixels)
        return QCoreApplication::translate("ImagingRuntime",
                                           "the picture measures %1 x %2, above the limit of %3 megapixels")
            .arg(width)
            .arg(height)
            .arg(kMaxPicturePixels / 1'000'000);
    return {};
}

void EnsureImagingRuntime()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Without a path Magick finds its configuration in the installed places.
        Magick::InitializeMagick(nullptr);
        // The policy file may only lower these; a limit above the policy is ignored.
        Magick::ResourceLimits::width(kMaxPictureSide);
        Magick::ResourceLimits::height(kMaxPictureSide);
        Magick::ResourceLimits::area(kMaxPicturePixels);
        Magick::ResourceLimits::listLength(256);
        Magick::ResourceLimits::memory(qint64(512) << 20);
        Magick::ResourceLimits::map(qint64(1) << 30);
        Magick::ResourceLimits::disk(qint64(2) << 30);
        Magick::ResourceLimits::thread(1);
    });
    EnsureQtImageLimit();
}

void EnsureQtImageLimit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // 4 bytes per pixel of our largest picture plus headroom (megabytes).
        const int mb = int(kMaxPicturePixels * 4 / (1 << 20)) + 64;
        if (QImageReader::allocationLimit() < mb)
            QImageReader::setAllocationLimit(mb);
    });
}

void UseOneLibraryThread()
{
    // The thread count is a property of the calling thread.
    thread_local bool done = false;
    if (!done) {
        omp_set_num_threads(1);
        done = true;
    }
}

} // namespace imaging

// A parallel region that asks for one thread still costs libgomp a team and a
// futex wake-up at its end; libimagequant opens hundreds per picture, which
// on small frames cost more than the pictures. This program's own definition
// takes the place of libgomp's for the libraries it loads: a region that would
// get one thread runs right here, as code outside any region does (libgomp
// supports that for every construct), and any other goes on to libgomp.
extern "C" void GOMP_parallel(void (*fn)(void*), void* data, unsigned threads, unsigned flags)
{
    using Parallel = void (*)(void (*)(void*), void*, unsigned, unsigned);
    if (threads == 1 || (threads == 0 && omp_get_max_threads() == 1 && omp_get_level() == 0)) {
        fn(data);
        return;
    }
    static const auto next = reinterpret_cast<Parallel>(dlsym(RTLD_NEXT, "GOMP_parallel"));
    next(fn, data, threads, flags);
}
