// SPDX-License-Identifier: GPL-3.0-or-later
// The contract library's own classes: usable directly, and doing nothing.
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "NuvarDriverEvents.h"
#include "NuvarDriverPlugin.h"

#include <QTest>
#include <vector>

namespace {

class RecordingSink : public NuvarDriverEvents
{
public:
    void DriverEvent(EventEnum evType) override { events.push_back(evType); }
    std::vector<EventEnum> events;
};

} // namespace

class TestContract : public QObject
{
    Q_OBJECT

private slots:
    void baseDriverDoesNothing()
    {
        NuvarDriverClass driver;
        RecordingSink sink;
        driver.DriverOpen(sink);
        driver.setSamples(4096);
        driver.setSampleRate(20833);
        driver.setTriggerType(TRIGGER_ANALOG_POS_EDGE);
        driver.setTriggerLevel(1.5F);
        driver.setPreTriggerSamples(10);
        driver.setBoardName(QStringLiteral("KZ7305EVM"));
        driver.sethWndParent(42);
        driver.Setup();
        driver.Configure();
        driver.StartAcquisition();
        driver.StartDataReceive(0, 4096);
        std::vector<std::int32_t> data(4, 7);
        driver.GetData(data);
        driver.AbortAcquisition();
        driver.AbortDataReceive();
        driver.DriverClose();

        QVERIFY(sink.events.empty());
        QCOMPARE(data, (std::vector<std::int32_t>{7, 7, 7, 7}));
        QCOMPARE(driver.Status(), STATUS_IDLE);
        QCOMPARE(driver.TriggerType(), TRIGGER_NONE);
        QCOMPARE(driver.TriggerLevel(), 0.0F);
        QCOMPARE(driver.SamplesReceived(), 0);
        QCOMPARE(driver.Samples(), 0);
        QCOMPARE(driver.SampleRate(), 0.0);
        QCOMPARE(driver.PreTriggerSamples(), 0);
        QCOMPARE(driver.MinVolt(0), 0.0);
        QCOMPARE(driver.MaxVolt(0), 0.0);
        QCOMPARE(driver.MinCode(0), 0);
        QCOMPARE(driver.MaxCode(0), 0);
        QCOMPARE(driver.Channels(), std::int16_t(0));
        QVERIFY(driver.ChannelName(0).isEmpty());
        QVERIFY(driver.BoardName().isEmpty());
        QCOMPARE(driver.CurrentSample(), 0);
    }

    void baseSinkIgnoresEvents()
    {
        NuvarDriverEvents sink;
        for (int code = EVENT_ACQ_START; code <= EVENT_COMM_ERROR; ++code)
            sink.DriverEvent(static_cast<EventEnum>(code));
    }

    void enumerationValuesAreFixed()
    {
        QCOMPARE(int(TRIGGER_ANALOG_NEG_EDGE), 4);
        QCOMPARE(int(STATUS_ERROR), 4);
        QCOMPARE(int(EVENT_RX_FINISH), 6);
        QCOMPARE(int(EVENT_COMM_IDLE), 8);
        QCOMPARE(int(EVENT_COMM_ERROR), 11);
        QCOMPARE(sizeof(EventEnum), sizeof(std::int32_t));
    }

    void errorCarriesItsReason()
    {
        try {
            throw NuvarDriverError("no answer from the board");
        } catch (const std::runtime_error &error) {
            QCOMPARE(QByteArray(error.what()), QByteArray("no answer from the board"));
            return;
        }
        QFAIL("NuvarDriverError is not a std::runtime_error");
    }

    void pluginInterfaceHasFixedIdentifier()
    {
        QCOMPARE(QByteArray(qobject_interface_iid<NuvarDriverPlugin *>()),
                 QByteArray("org.kz7305evm.NuvarDriverClass/{6f1c3a52-3e0b-4c8e-9a57-0d2b7e41c9a3}"));
    }
};

QTEST_APPLESS_MAIN(TestContract)
#include "tst_contract.moc"
