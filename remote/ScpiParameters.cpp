// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiParameters.h"

#include "ScpiError.h"
#include "ScpiResponse.h"

#include <cmath>
#include <optional>

namespace {

std::optional<double> numberOf(const ScpiParameter &parameter)
{
    if (parameter.quoted)
        return std::nullopt;
    bool ok = false;
    const double value = parameter.text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

ScpiReply outOfRange(double low, double high)
{
    return ScpiReply::failure(ScpiError::DataOutOfRange, QStringLiteral("%1 to %2").arg(
                                                             QString::fromLatin1(ScpiResponse::number(low)),
                                                             QString::fromLatin1(ScpiResponse::number(high))));
}

ScpiReply notANumber()
{
    return ScpiReply::failure(ScpiError::IllegalParameterValue, QStringLiteral("a number"));
}

} // namespace

ScpiReply ScpiParameters::wholeNumber(const ScpiParameter &parameter, int low, int high,
                                      const std::function<void(int)> &take)
{
    const std::optional<double> value = numberOf(parameter);
    if (!value)
        return notANumber();
    const double rounded = std::nearbyint(*value);
    if (rounded < low || rounded > high)
        return outOfRange(low, high);
    take(static_cast<int>(rounded));
    return {};
}

ScpiReply ScpiParameters::number(const ScpiParameter &parameter, double low, double high,
                                 const std::function<void(double)> &take)
{
    const std::optional<double> value = numberOf(parameter);
    if (!value)
        return notANumber();
    if (*value < low || *value > high)
        return outOfRange(low, high);
    take(*value);
    return {};
}

ScpiReply ScpiParameters::boolean(const ScpiParameter &parameter, const std::function<void(bool)> &take)
{
    const QByteArray word = parameter.quoted ? QByteArray() : parameter.text.toUpper();
    if (word == "ON" || word == "1") {
        take(true);
        return {};
    }
    if (word == "OFF" || word == "0") {
        take(false);
        return {};
    }
    return ScpiReply::failure(ScpiError::IllegalParameterValue, QStringLiteral("ON or OFF"));
}
