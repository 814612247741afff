// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/ImageEngine.h"
