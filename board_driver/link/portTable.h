// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Maps the port numbers 1 to 16 ("COM1" to "COM16") to serial device paths:
// first the ports the user lists in the environment variable KZ7305EVM_PORTS
// (paths separated by ':'), then the system's serial devices in name order.
class portTable
{
public:
    static constexpr int MaxPorts = 16;
    static constexpr const char *EnvironmentVariable = "KZ7305EVM_PORTS";

    portTable() = default;
    explicit portTable(const QStringList &devicePaths);

    // The table the program uses: configured ports, then system devices.
    static portTable fromSystem();

    // Device path of port number n, or an empty text when n has none.
    QString devicePath(int n) const;
    int count() const { return int(m_paths.size()); }
    QStringList devicePaths() const { return m_paths; }
    static QString portName(int n) { return QStringLiteral("COM%1").arg(n); }

private:
    QStringList m_paths;
};
