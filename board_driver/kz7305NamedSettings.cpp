// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's board settings by name, as the program stores and restores them.
#include "kz7305.h"

#include "csrdrv.h"
#include "portTable.h"

#include <algorithm>
#include <array>

namespace {

const QString Port = QStringLiteral("Port");
const QString Channel = QStringLiteral("Channel");
const QString Averaging = QStringLiteral("Averaging");
const QString Reference = QStringLiteral("Reference");
const QString PortPath = QString::fromLatin1(NuvarDriverSettings::PortPath);

constexpr std::array<int, 4> ChannelCodes = {1, 2, 4, 8};
constexpr double MinReference = 0.5;
constexpr double MaxReference = 5.0;

} // namespace

QStringList kz7305::SettingNames() const
{
    // The port last: setting it opens the port.
    return {Channel, Averaging, Reference, Port};
}

QString kz7305::SettingValue(const QString &name) const
{
    if (name == Port) // 0: no port chosen yet, nothing to keep
        return portNumber() == 0 ? QString() : QString::number(portNumber());
    if (name == PortPath)
        return isPortOpen() ? m_link->ports().devicePath(portNumber()) : QString();
    if (name == Channel)
        return QString::number(channel());
    if (name == Averaging)
        return QString::number(averages());
    if (name == Reference)
        return QString::number(p_vref(), 'g', 17);
    return {};
}

bool kz7305::setSettingValue(const QString &name, const QString &value)
{
    if (name == PortPath)
        return !value.isEmpty() && m_link->openDevice(value);
    bool isNumber = false;
    if (name == Reference) {
        // QString::toDouble reads '.' whatever the locale.
        const double volts = value.toDouble(&isNumber);
        if (!isNumber || !(volts >= MinReference && volts <= MaxReference))
            return false;
        setP_vref(volts);
        return true;
    }
    const int number = value.toInt(&isNumber);
    if (!isNumber)
        return false;
    if (name == Port) {
        if (number < 1 || number > portTable::MaxPorts)
            return false;
        setPortNumber(static_cast<std::uint16_t>(number));
        return true;
    }
    if (name == Channel) {
        if (std::find(ChannelCodes.begin(), ChannelCodes.end(), number) == ChannelCodes.end())
            return false;
        setChannel(static_cast<std::int16_t>(number));
        return true;
    }
    if (name == Averaging) {
        if (number < 0 || number > MaxAverages)
            return false;
        setAverages(static_cast<std::int16_t>(number));
        return true;
    }
    return false;
}
