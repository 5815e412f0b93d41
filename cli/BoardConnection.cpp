// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardConnection.h"

#include "AppSettings.h"
#include "BoardSession.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <exception>
#include <optional>

namespace BoardConnection {

namespace {

const QString DefaultDriver = QStringLiteral("KZ7305EVM.kz7305");
const QString PortSetting = QStringLiteral("Port");

QString driverClass()
{
    return AppSettings::read(QStringLiteral("Plugins"), QStringLiteral("DriverName"), DefaultDriver);
}

// The port --port names: a number of the port table (COMn), or a device path.
struct Port {
    int number = 0;
    QString path;
};

// Empty with problem set when there is no such port.
std::optional<Port> portOf(const QString &port, QString &problem)
{
    static const QRegularExpression comPort(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = comPort.match(port); match.hasMatch()) {
        const int n = match.captured(1).toInt();
        if (n < 1 || n > 16) {
            problem = QStringLiteral("no such port %1: ports are COM1 to COM16").arg(port);
            return std::nullopt;
        }
        return Port{n, {}};
    }
    if (!QFileInfo::exists(port)) {
        problem = QStringLiteral("no such port %1").arg(port);
        return std::nullopt;
    }
    // Absolute, so a relative path names that file and not a device name.
    return Port{0, QFileInfo(port).absoluteFilePath()};
}

// Opens the port in the driver: a path whole, so no character of it is taken
// for a separator; a number of the port table, which is open once it has a path.
bool openPort(NuvarDriverSettings &settings, const Port &port)
{
    const QString portPath = QString::fromLatin1(NuvarDriverSettings::PortPath);
    if (port.path.isEmpty())
        return settings.setSettingValue(PortSetting, QString::number(port.number))
               && !settings.SettingValue(portPath).isEmpty();
    return settings.setSettingValue(portPath, port.path);
}

} // namespace

bool load(BoardSession &board, QString &problem)
{
    const QString classId = driverClass();
    QString loadError;
    if (!board.load(classId, &loadError)) {
        problem = QStringLiteral("cannot create the driver %1: %2").arg(classId, loadError);
        return false;
    }
    if (!board.namedSettings()) {
        problem = QStringLiteral("the driver %1 has no board settings").arg(classId);
        return false;
    }
    return true;
}

bool open(BoardSession &board, const QString &port, QString &problem)
{
    const std::optional<Port> named = portOf(port, problem);
    if (!named)
        return false;
    try {
        board.driver()->setBoardName(driverClass().section(QLatin1Char('.'), 0, 0));
        board.open();
        if (!openPort(*board.namedSettings(), *named)) {
            problem = QStringLiteral("cannot open port %1").arg(port);
            return false;
        }
    } catch (const std::exception &error) {
        problem = QString::fromLocal8Bit(error.what());
        return false;
    }
    return true;
}

} // namespace BoardConnection
