// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardSetup.h"

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
