// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionValues.h"

#include <cmath>

namespace OptionValues {

std::optional<int> wholeNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

QString refusal(const QString &option, const QString &what, const QString &text)
{
    return QStringLiteral("%1 takes %2, not \"%3\"").arg(option, what, text);
}

} // namespace OptionValues
