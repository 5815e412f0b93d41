// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// The upper halves of the AVX registers. Qt's AVX2 raster fills (QImage::fill,
// solid spans) return with them in use, and while they are, many Intel CPUs
// run every SSE-encoded instruction several times slower: all of the analysis,
// built for baseline x86-64, and the C library's maths it calls.

// Marks the upper halves unused (vzeroupper) where the CPU has AVX; does
// nothing elsewhere. Called wherever GUI code hands over to the analysis.
void clearUpperVectorState();

// Whether the upper halves are in use; empty where the CPU cannot tell.
std::optional<bool> upperVectorStateInUse();

// Puts the upper halves in use as a drawing does, where the CPU has AVX: for
// the benchmarks and tests that show the analysis is immune.
void dirtyUpperVectorState();
