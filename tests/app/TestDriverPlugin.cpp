// SPDX-License-Identifier: GPL-3.0-or-later
// A driver library for the binding tests: "TestDrivers.echo" behaves, the other
// classes fail at one binding step. Every call it receives is appended to the
// file named by KZ_TEST_DRIVER_LOG, one member name per line.
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "NuvarDriverPlugin.h"

#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QTimer>

namespace {

void logCall(const char *member)
{
    QFile log(qEnvironmentVariable("KZ_TEST_DRIVER_LOG"));
    if (log.fileName().isEmpty() || !log.open(QIODevice::Append))
        return;
    log.write(member);
    log.write("\n");
}

class EchoDriver : public NuvarDriverClass
{
public:
    void DriverOpen(NuvarDriverEvents &) override { logCall("DriverOpen"); }
    void DriverClose() override { logCall("DriverClose"); }
    void Setup() override { logCall("Setup"); }
    void setBoardName(const QString &value) override
    {
        logCall("setBoardName");
        m_name = value;
    }
    QString BoardName() override { return m_name; }

private:
    QString m_name;
};

class FailingOpenDriver : public EchoDriver
{
public:
    void DriverOpen(NuvarDriverEvents &) override
    {
        logCall("DriverOpen");
        throw NuvarDriverError("cannot open");
    }
};

class FailingSetupDriver : public EchoDriver
{
public:
    void Setup() override
    {
        logCall("Setup");
        throw NuvarDriverError("no serial port");
    }
};

// A board that takes 300 ms to answer its setup, running the event loop meanwhile
// as a blocking register exchange does.
class SlowSetupDriver : public EchoDriver
{
public:
    void Setup() override
    {
        logCall("Setup begins");
        QEventLoop wait;
        QTimer::singleShot(300, &wait, &QEventLoop::quit);
        wait.exec();
        logCall("Setup ends");
    }
};

} // namespace

class TestDriversPlugin : public QObject, public NuvarDriverPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID NuvarDriverPlugin_iid)
    Q_INTERFACES(NuvarDriverPlugin)

public:
    QStringList driverClasses() const override
    {
        return {QStringLiteral("echo"), QStringLiteral("failopen"), QStringLiteral("failsetup"), QStringLiteral("slowsetup")};
    }

    std::unique_ptr<NuvarDriverClass> createDriver(const QString &className) override
    {
        if (className == QLatin1String("echo"))
            return std::make_unique<EchoDriver>();
        if (className == QLatin1String("failopen"))
            return std::make_unique<FailingOpenDriver>();
        if (className == QLatin1String("failsetup"))
            return std::make_unique<FailingSetupDriver>();
        if (className == QLatin1String("slowsetup"))
            return std::make_unique<SlowSetupDriver>();
        return nullptr;
    }
};

#include "TestDriverPlugin.moc"
