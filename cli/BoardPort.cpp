// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardPort.h"

#include "AppSettings.h"
#include "BoardSession.h"
#include "NuvarDriverClass.h"
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

std::optional<QString> BoardPort::bind(BoardSession &board, const QString &classId, const QString &given) const
{
    NuvarDriverSettings *settings = board.namedSettings();
    if (!settings)
        return QStringLiteral("the driver %1 has no board settings").arg(classId);
    try {
        board.driver()->setBoardName(classId.section(QLatin1Char('.'), 0, 0));
        board.open();
        if (!open(*settings))
            return QStringLiteral("cannot open port %1").arg(given);
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    }
    return std::nullopt;
}

QString BoardPort::driverClassId()
{
    return AppSettings::read(QStringLiteral("Plugins"), QStringLiteral("DriverName"), QStringLiteral("KZ7305EVM.kz7305"));
}
