// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The checks of option values the commands share: a value out of range is
// refused with the range, never clamped into it.
namespace OptionValues {

// A whole number from low to high written in decimal digits, or nothing.
std::optional<int> wholeNumber(const QString &text, int low, int high);
// A finite number, or nothing.
std::optional<double> number(const QString &text);
// "OPTION takes WHAT, not "TEXT"": the one-line refusal of a value.
QString refusal(const QString &option, const QString &what, const QString &text);

} // namespace OptionValues
