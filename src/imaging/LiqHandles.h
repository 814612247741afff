// SPDX-License-Identifier: GPL-3.0-or-later
// Owning handles of libimagequant's objects.
#pragma once

#include <libimagequant.h>

#include <memory>

namespace imaging {

struct LiqDeleter {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
    void operator()(liq_image* i) const { liq_image_destroy(i); }
    void operator()(liq_histogram* h) const { liq_histogram_destroy(h); }
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

template <typename T> using LiqHandle = std::unique_ptr<T, LiqDeleter>;

} // namespace imaging
