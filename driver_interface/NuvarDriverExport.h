// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#if defined(NUVARDRIVER_LIBRARY)
#define NUVARDRIVER_EXPORT __attribute__((visibility("default")))
#else
#define NUVARDRIVER_EXPORT
#endif
