// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardSetup.h"

#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"

#include <QList>
#include <utility>

namespace {

const QString ChannelSetting = QStringLiteral("Channel");
const QString AveragingSetting = QStringLiteral("Averaging");
const QString ReferenceSetting = QStringLiteral("Reference");

} // namespace

std::optional<QString> BoardSetup::applyTo(NuvarDriverSettings &settings) const
{
    const QList<std::pair<QString, QString>> named{{ReferenceSetting, QString::number(vref, 'g', 17)},
                                                   {AveragingSetting, QString::number(averaging)},
                                                   {ChannelSetting, QString::number(channelCode())}};
    for (const auto &[name, value] : named) {
        if (!settings.setSettingValue(name, value))
            return name + QLatin1Char(' ') + value;
    }
    return std::nullopt;
}

BoardSetup BoardSetup::inForce(const NuvarDriverSettings &settings)
{
    BoardSetup setup{0, settings.SettingValue(AveragingSetting).toInt(),
                     settings.SettingValue(ReferenceSetting).toDouble()};
    const int code = settings.SettingValue(ChannelSetting).toInt();
    for (int channel = MinChannel; channel <= MaxChannel; ++channel)
        if (BoardSetup{channel}.channelCode() == code)
            setup.channel = channel;
    return setup;
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
