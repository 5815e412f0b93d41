// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardSetup.h"

#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"

#include <QList>
#include <utility>

std::optional<QString> BoardSetup::applyTo(NuvarDriverSettings &settings) const
{
    const QList<std::pair<QString, QString>> named{
        {QStringLiteral("Reference"), QString::number(vref, 'g', 17)},
        {QStringLiteral("Averaging"), QString::number(averaging)},
        {QStringLiteral("Channel"), QString::number(channelCode())}};
    for (const auto &[name, value] : named) {
        if (!settings.setSettingValue(name, value))
            return name + QLatin1Char(' ') + value;
    }
    return std::nullopt;
}

std::optional<QString> BoardSetup::setSampleRate(NuvarDriverClass &driver, double rate)
{
    driver.setSampleRate(rate);
    if (driver.SampleRate() == rate)
        return std::nullopt;
    const QString cause = driver.LastError();
    return QStringLiteral("the sample rate could not be set: %1")
        .arg(cause.isEmpty() ? QStringLiteral("the board did not take it") : cause);
}
