// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocale>
#include <cstdint>
#include <span>

// How answers are written: numbers with '.' whatever the locale, codes as a
// definite-length block or as text.
namespace ScpiResponse {

// What SCPI sends for a value that is not a number.
inline constexpr const char *NotANumber = "9.91E37";

// The shortest text that reads back as value.
QByteArray number(double value);
// "#<digits><length><bytes>": the IEEE 488.2 definite-length block.
QByteArray definiteBlock(const QByteArray &bytes);
// The codes as little-endian 32-bit two's complement, in a definite-length block.
QByteArray codeBlock(std::span<const std::int32_t> codes);
// The codes in decimal, separated by commas.
QByteArray codeList(std::span<const std::int32_t> codes);

} // namespace ScpiResponse
