// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How often a failed reception is started again, from sample 0, before the
// acquisition is given up.
inline constexpr int MaxReceptionRetries = 3;
