// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardPort.h"

#include "NuvarDriverSettings.h"

#include <QFileInfo>
#include <QRegularExpression>

std::optional<BoardPort> BoardPort::find(const QString &port, QString &problem)
{
    static const QRegularExpression comPort(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = comPort.match(port); match.hasMatch()) {
        const int n = match.captured(1).toInt();
        if (n < 1 || n > 16) {
            problem = QStringLiteral("no such port %1: ports are COM1 to COM16").arg(port);
            return std::nullopt;
        }
        return BoardPort{n, {}};
    }
    if (!QFileInfo::exists(port)) {
        problem = QStringLiteral("no such port %1").arg(port);
        return std::nullopt;
    }
    // Absolute, so a relative path names that file and not a device name.
    return BoardPort{0, QFileInfo(port).absoluteFilePath()};
}

bool BoardPort::open(NuvarDriverSettings &settings) const
{
    const QString portPath = QString::fromLatin1(NuvarDriverSettings::PortPath);
    if (path.isEmpty())
        return settings.setSettingValue(QStringLiteral("Port"), QString::number(number))
               && !settings.SettingValue(portPath).isEmpty();
    return settings.setSettingValue(portPath, path);
}
