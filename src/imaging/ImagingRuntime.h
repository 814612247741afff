// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace imaging {

// Initialises Magick++ (once, thread-safe, on first use) with resource limits
// that match ImagingLimits.h, and raises Qt's image allocation limit.
void EnsureImagingRuntime();

// Raises Qt's image allocation limit (once) so that our own limit of
// ImagingLimits.h is the one that applies to Qt's decoders.
void EnsureQtImageLimit();

// libimagequant and ImageMagick parallelise with OpenMP. On two shared cores
// that runs several times slower than one thread (threads wait for each
// other while another process has the CPU), so the calling thread asks for
// one. Callers that want parallelism run whole pictures on several threads.
void UseOneLibraryThread();

} // namespace imaging
