// SPDX-License-Identifier: GPL-3.0-or-later
#include "portTable.h"

#include <QCollator>
#include <QSerialPortInfo>

portTable::portTable(const QStringList &devicePaths)
{
    for (const QString &path : devicePaths) {
        if (!path.isEmpty() && !m_paths.contains(path) && m_paths.size() < MaxPorts)
            m_paths.append(path);
    }
}

portTable portTable::fromSystem()
{
    QStringList paths = qEnvironmentVariable(EnvironmentVariable).split(u':', Qt::SkipEmptyParts);

    QList<QSerialPortInfo> system = QSerialPortInfo::availablePorts();
    QCollator byName;
    byName.setNumericMode(true); // ttyS2 before ttyS10
    std::sort(system.begin(), system.end(), [&byName](const QSerialPortInfo &a, const QSerialPortInfo &b) {
        return byName.compare(a.portName(), b.portName()) < 0;
    });
    for (const QSerialPortInfo &info : system)
        paths.append(info.systemLocation());
    return portTable(paths);
}

QString portTable::devicePath(int n) const
{
    return n >= 1 && n <= m_paths.size() ? m_paths[n - 1] : QString();
}
