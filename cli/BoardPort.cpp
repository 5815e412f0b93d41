// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardPort.h"

#include "AppSettings.h"
#include "BoardSession.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <exception>
#include <optional>

namespace BoardPort {

namespace {

QString driverClassId()
{
    return AppSettings::read(QStringLiteral("Plugins"), QStringLiteral("DriverName"), QStringLiteral("KZ7305EVM.kz7305"));
}

// The port --port names: a number of the port table (COMn), or a device path.
struct NamedPort {
    int number = 0;
    QString path;
};

// Empty with problem set when there is no such port.
std::optional<NamedPort> find(const QString &port, QString &problem)
{
    static const QRegularExpression comPort(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = comPort.match(port); match.hasMatch()) {
        const int n = match.captured(1).toInt();
        if (n < 1 || n > 16) {
            problem = QStringLiteral("no such port %1: ports are COM1 to COM16").arg(port);
            return std::nullopt;
        }
        return NamedPort{n, {}};
    }
    if (!QFileInfo::exists(port)) {
        problem = QStringLiteral("no such port %1").arg(port);
        return std::nullopt;
    }
    // Absolute, so a relative path names that file and not a device name.
    return NamedPort{0, QFileInfo(port).absoluteFilePath()};
}

// Opens the port in the driver: a path whole, so no character of it is taken
// for a separator; a number of the port table, which is open once it has a path.
bool open(NuvarDriverSettings &settings, const NamedPort &port)
{
    const QString portPath = QString::fromLatin1(NuvarDriverSettings::PortPath);
    if (port.path.isEmpty())
        return settings.setSettingValue(QStringLiteral("Port"), QString::number(port.number))
               && !settings.SettingValue(portPath).isEmpty();
    return settings.setSettingValue(portPath, port.path);
}

} // namespace

bool loadDriver(BoardSession &board, QString &problem)
{
    const QString classId = driverClassId();
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

bool connect(BoardSession &board, const QString &port, QString &problem)
{
    const std::optional<NamedPort> named = find(port, problem);
    if (!named)
        return false;
    try {
        board.driver()->setBoardName(driverClassId().section(QLatin1Char('.'), 0, 0));
        board.open();
        if (!open(*board.namedSettings(), *named)) {
            problem = QStringLiteral("cannot open port %1").arg(port);
            return false;
        }
    } catch (const std::exception &error) {
        problem = QString::fromLocal8Bit(error.what());
        return false;
    }
    return true;
}

} // namespace BoardPort
