// SPDX-License-Identifier: GPL-3.0-or-later
// Acquisition control against a scripted driver: the control states, status
// texts, reception retries, continuous mode and the hand-over of the block.
#include "AcquisitionControl.h"
#include "AcquisitionPanel.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "NuvarDriverEvents.h"
#include "NuvarDriverLimits.h"
#include "Plot.h"
#include "frmNoiseTrend.h"
#include "frmPlot.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// Answers like a board over a link: events arrive later, from the event loop.
class ScriptedDriver : public NuvarDriverClass
{
public:
    NuvarDriverEvents *sink = nullptr;
    int failReceptions = 0; // block requests left unanswered before one succeeds
    bool failStart = false;
    bool failConfigure = false;
    bool configureWaits = false;
    int acquisitions = 0;
    int receptions = 0;
    double rateSent = -1;
    int aborts = 0;
    std::function<void()> onStartDataReceive;

    void DriverOpen(NuvarDriverEvents &evInterface) override { sink = &evInterface; }
    void setSamples(std::int32_t value) override { m_samples = value; }
    std::int32_t Samples() override { return m_samples; }
    void setSampleRate(double value) override
    {
        if (value < 10)
            throw NuvarDriverError("The sample rate was refused: the board takes 10 to 50000 Hz");
        rateSent = value;
    }
    double SampleRate() override { return 20833; }
    QString BoardName() override { return QStringLiteral("KZ7305EVM"); }
    double MinVolt(std::int16_t) override { return -4.096; }
    double MaxVolt(std::int16_t) override { return 4.096; }
    std::int32_t MinCode(std::int16_t) override { return -8388608; }
    std::int32_t MaxCode(std::int16_t) override { return 8388607; }
    std::int32_t CurrentSample() override { return m_samples; }
    std::int32_t SamplesReceived() override { return m_received; }

    StatusEnum Status() override { return m_status; }
    QString LastError() override { return QStringLiteral("the board refused a register write"); }

    void Configure() override
    {
        if (failConfigure)
            m_status = STATUS_ERROR;
        if (!configureWaits)
            return;
        // A blocking register write: the board takes a while to answer.
        sink->DriverEvent(EVENT_COMM_START);
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        QTimer idle;
        QObject::connect(&idle, &QTimer::timeout, [this] { sink->DriverEvent(EVENT_COMM_IDLE); });
        idle.start(5);
        wait.exec();
        sink->DriverEvent(EVENT_COMM_FINISH);
    }

    void StartAcquisition() override
    {
        ++acquisitions;
        if (failStart) {
            sink->DriverEvent(EVENT_ACQ_ERROR);
            return;
        }
        sink->DriverEvent(EVENT_ACQ_START);
        later([this] { sink->DriverEvent(EVENT_ACQ_CONT); });
        later([this] { sink->DriverEvent(EVENT_ACQ_FINISH); });
    }

    void AbortAcquisition() override { ++aborts; }
    void AbortDataReceive() override { ++aborts; }

    void StartDataReceive(std::int16_t, std::int32_t nSamples) override
    {
        ++receptions;
        if (onStartDataReceive)
            onStartDataReceive();
        m_received = 0;
        sink->DriverEvent(EVENT_RX_START);
        if (failReceptions > 0) {
            --failReceptions;
            later([this] { sink->DriverEvent(EVENT_RX_ERROR); });
            return;
        }
        later([this, nSamples] {
            m_received = nSamples / 2;
            sink->DriverEvent(EVENT_RX_CONT);
        });
        later([this, nSamples] {
            m_received = nSamples;
            sink->DriverEvent(EVENT_RX_FINISH);
        });
    }

    void GetData(std::span<std::int32_t> Data) override
    {
        if (Data.size() < static_cast<std::size_t>(m_received))
            throw NuvarDriverError("array too short");
        for (std::int32_t i = 0; i < m_received; ++i)
            Data[static_cast<std::size_t>(i)] = i - 100;
    }

private:
    // Events still pending when the test ends die with the driver.
    template <typename F>
    void later(F f)
    {
        QTimer::singleShot(1, &m_pending, f);
    }

    QObject m_pending;
    std::int32_t m_samples = 0;
    std::int32_t m_received = 0;
    StatusEnum m_status = STATUS_IDLE;
};

struct Rig {
    AcquisitionPanel panel;
    QLabel field1{QStringLiteral("Ready")};
    QLabel field2;
    frmPlot plot;
    AcquisitionControl control{panel, field1, field2, [this] { return &plot; }};
    ScriptedDriver &driver = *new ScriptedDriver; // the board session's from the start

    Rig()
    {
        control.board().adopt(std::unique_ptr<NuvarDriverClass>(&driver));
        control.board().open();
        QObject::connect(&plot, &frmPlot::CalcStatus, &control, [this] { control.mfrmPlot_CalcStatus(plot); });
        QObject::connect(&control, &AcquisitionControl::plotDataReady, &plot.document(), &PlotDocument::setDataReady);
        panel.show();
    }

    bool idle() const { return panel.cmdAcquire()->isEnabled() && panel.cmdStop()->isHidden(); }
};

} // namespace

class TestAcquisition : public QObject
{
    Q_OBJECT

private slots:
    void sampleCountRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("committed");
        QTest::addColumn<bool>("noted");
        QTest::newRow("in range") << "4096" << "4096" << false;
        QTest::newRow("starts with 1") << "1024" << "1024" << false;
        QTest::newRow("too many") << "100000" << "43690" << true;
        QTest::newRow("empty") << "" << "8" << true;
        QTest::newRow("too few") << "3" << "8" << true;
        QTest::newRow("fraction rounds to even") << "12.5" << "12" << false;
        QTest::newRow("letters after") << "300abc" << "300" << false;
    }

    // Typed key by key, the count is taken only when the entry is committed.
    void sampleCountRules()
    {
        QFETCH(QString, typed);
        QFETCH(QString, committed);
        QFETCH(bool, noted);
        AcquisitionPanel panel;
        panel.show();
        QLineEdit *field = panel.txtNumSamples();
        field->clear();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->text(), typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->text(), committed);
        QCOMPARE(panel.lblSampleCountNote()->isVisible(), noted);
        if (noted)
            QVERIFY(panel.lblSampleCountNote()->text().contains(QStringLiteral("8 to 43690")));
        // A count in range clears the note.
        field->setText(QStringLiteral("256"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!panel.lblSampleCountNote()->isVisible());
    }

    void acquireCommitsTheTypedCount()
    {
        Rig rig;
        rig.panel.txtNumSamples()->setText(QStringLiteral("100000"));
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.plot.numPoints(), 43690);
        QCOMPARE(rig.panel.txtNumSamples()->text(), QStringLiteral("43690"));
        QVERIFY(rig.panel.lblSampleCountNote()->isVisible());
    }

    void scrollPositions()
    {
        AcquisitionPanel panel;
        const std::vector<std::pair<int, QString>> cases = {{4, "43690"}, {5, "32768"}, {12, "256"}, {17, "8"}};
        for (const auto &[position, shown] : cases) {
            panel.scrNumSamples()->setValue(position);
            QCOMPARE(panel.txtNumSamples()->text(), shown);
        }
    }

    // A board that states other limits than the KZ7305's: once its driver is
    // open the panel offers its counts, its scroll positions and its rate.
    void panelFollowsTheBoardsLimits()
    {
        struct SmallBoard : ScriptedDriver, NuvarDriverLimits {
            std::int32_t SamplesMin() const override { return 16; }
            std::int32_t SamplesMax() const override { return 1000; }
            double SampleRateMin() const override { return 1; }
            double SampleRateMax() const override { return 2000; }
            double SampleRateDefault() const override { return 500; }
        };
        AcquisitionPanel panel;
        QLabel field1;
        QLabel field2;
        AcquisitionControl control{panel, field1, field2, []() -> frmPlot * { return nullptr; }};
        control.board().adopt(std::make_unique<SmallBoard>());
        control.board().open();
        QCOMPARE(panel.txtSampleRate()->text(), QStringLiteral("500"));
        // 2^(20 - 10) = 1024 is the first power of two above 1000, 2^(20 - 16) = 16.
        QCOMPARE(panel.scrNumSamples()->minimum(), 10);
        QCOMPARE(panel.scrNumSamples()->maximum(), 16);
        panel.scrNumSamples()->setValue(10);
        QCOMPARE(panel.txtNumSamples()->text(), QStringLiteral("1000"));
        panel.txtNumSamples()->setText(QStringLiteral("3"));
        panel.commitSampleCount();
        QCOMPARE(panel.txtNumSamples()->text(), QStringLiteral("16"));
        QVERIFY(panel.lblSampleCountNote()->text().contains(QStringLiteral("16 to 1000")));
    }

    void sampleRateKeyFilter()
    {
        Rig rig;
        QLineEdit *field = rig.panel.txtSampleRate();
        field->clear();
        QTest::keyClicks(field, QStringLiteral("12a.5.x7"));
        QCOMPARE(field->text(), QStringLiteral("12.57"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(rig.driver.rateSent, 12.57);
        QCOMPARE(field->text(), QStringLiteral("12.57")); // Enter itself is not typed
    }

    // A rate typed but not Set is the one Acquire uses; a refused one starts
    // nothing, says why, and the field shows the rate in force again.
    void acquireUsesTheTypedRate()
    {
        Rig rig;
        rig.panel.txtSampleRate()->setText(QStringLiteral("1000"));
        rig.panel.cmdAcquire()->click();
        QCOMPARE(rig.driver.rateSent, 1000.0);
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.driver.acquisitions, 1);

        rig.panel.txtSampleRate()->setText(QStringLiteral("5"));
        rig.panel.cmdAcquire()->click();
        QCOMPARE(rig.driver.acquisitions, 1);
        QVERIFY(rig.field1.text().contains(QStringLiteral("refused")));
        QCOMPARE(rig.panel.txtSampleRate()->text(), QStringLiteral("20833"));
        // The next good rate clears the refusal.
        rig.panel.txtSampleRate()->setText(QStringLiteral("2000"));
        rig.panel.btnSetSampleRate()->click();
        QCOMPARE(rig.field1.text(), QStringLiteral("Ready"));
    }

    void rateIsFixedDuringAContinuousRun()
    {
        Rig rig;
        rig.panel.optContinuous()->setChecked(true);
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY(rig.driver.acquisitions >= 2);
        QVERIFY(!rig.panel.txtSampleRate()->isEnabled());
        QVERIFY(!rig.panel.btnSetSampleRate()->isEnabled());
        rig.panel.cmdStop()->click();
        QVERIFY(rig.panel.txtSampleRate()->isEnabled());
    }

    void escapeWhileIdleChangesNothing()
    {
        Rig rig;
        rig.panel.optContinuous()->setChecked(true);
        rig.panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.panel));
        QTest::keyClick(rig.panel.txtNumSamples(), Qt::Key_Escape);
        QCOMPARE(rig.field1.text(), QStringLiteral("Ready"));
        QVERIFY(rig.panel.optContinuous()->isChecked());
    }

    void sampleRateThatIsNotANumberIsNotSent()
    {
        Rig rig;
        for (const QString &text : {QString(), QStringLiteral(".")}) {
            rig.panel.txtSampleRate()->setText(text);
            rig.panel.btnSetSampleRate()->click();
            QCOMPARE(rig.driver.rateSent, -1.0);
            QVERIFY(rig.field1.text().contains(QStringLiteral("not a number")));
        }
    }

    void singleShotAcquisition()
    {
        Rig rig;
        rig.panel.txtNumSamples()->setText(QStringLiteral("256"));
        rig.panel.cmdAcquire()->click();
        QVERIFY(!rig.plot.document().DataReady());
        QVERIFY(!rig.panel.cmdAcquire()->isEnabled());
        QVERIFY(rig.panel.cmdStop()->isVisible()); // a single shot can be stopped too
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.field1.text(), QStringLiteral("Ready"));
        QCOMPARE(rig.panel.prgAcquisitionProgress()->value(), 0);
        QVERIFY(rig.plot.document().DataReady());
        QCOMPARE(rig.plot.numPoints(), 256);
        QCOMPARE(rig.plot.DeviceID(), QStringLiteral("KZ7305EVM"));
        QCOMPARE(rig.plot.windowTitle(), QStringLiteral("KZ7305EVM: Time Domain"));
        // log2(16 777 215) is just under 24 and rounds to 24.
        QCOMPARE(rig.plot.NumBits(), std::int16_t(24));
        QCOMPARE(rig.plot.LSBSize(), 8.192 / 16777215.0);
        QCOMPARE(rig.plot.Minimum(), -100.0);
        QCOMPARE(rig.plot.Maximum(), 155.0);
    }

    void largestBlockArrivesWhole()
    {
        Rig rig;
        rig.panel.txtNumSamples()->setText(QStringLiteral("43690"));
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.field1.text(), QStringLiteral("Ready"));
        QCOMPARE(rig.plot.numPoints(), 43690);
        QCOMPARE(rig.plot.Maximum(), 43589.0);
    }

    void receptionRetriesThenGivesUp()
    {
        Rig rig;
        rig.driver.failReceptions = 100;
        QStringList textsAtEachTry;
        rig.driver.onStartDataReceive = [&] { textsAtEachTry << rig.field1.text(); };
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY_WITH_TIMEOUT(rig.field1.text().startsWith(QStringLiteral("Data cannot")), 5000);
        QCOMPARE(rig.field1.text(), QStringLiteral("Data cannot be received. Check connections and power."));
        QCOMPARE(rig.driver.receptions, 4); // the first try and three retries
        const QString retry = QStringLiteral("Error receiving data: trying again...");
        QCOMPARE(textsAtEachTry, (QStringList{QStringLiteral("Acquisition complete..."), retry, retry, retry}));
        // The controls come back, so the next acquisition can be tried.
        QVERIFY(rig.idle());
    }

    void receptionSucceedsOnARetry()
    {
        Rig rig;
        rig.driver.failReceptions = 2;
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.field1.text(), QStringLiteral("Ready"));
        QCOMPARE(rig.driver.receptions, 3);
    }

    void startFailureReturnsToIdle()
    {
        Rig rig;
        rig.driver.failStart = true;
        rig.panel.cmdAcquire()->click();
        QCOMPARE(rig.field1.text(), QStringLiteral("Acquisition error!"));
        QVERIFY(rig.idle());
    }

    void failedConfigurationStartsNothing()
    {
        Rig rig;
        rig.driver.failConfigure = true;
        rig.panel.cmdAcquire()->click();
        QCOMPARE(rig.driver.acquisitions, 0);
        QCOMPARE(rig.field1.text(), QStringLiteral("Acquisition error!"));
        QVERIFY2(rig.field2.text().contains(QStringLiteral("refused")), qPrintable(rig.field2.text()));
        QVERIFY(rig.idle());
    }

    void continuousUntilStopped()
    {
        Rig rig;
        // A single shot adds nothing to the noise trend.
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY(rig.idle());
        QVERIFY(rig.control.noiseTrend().rows().empty());
        rig.panel.optContinuous()->setChecked(true);
        rig.panel.cmdAcquire()->click();
        QVERIFY(rig.panel.cmdStop()->isVisible());
        QTRY_VERIFY(rig.driver.acquisitions >= 3);
        QTRY_VERIFY(rig.control.noiseTrend().rows().size() >= 2);
        QVERIFY(!rig.panel.cmdAcquire()->isEnabled());
        rig.panel.cmdStop()->click();
        QVERIFY(rig.panel.optSingleShot()->isChecked());
        const int started = rig.driver.acquisitions;
        QVERIFY(rig.idle());
        QTest::qWait(50); // the cancelled block's late events start nothing
        QCOMPARE(rig.driver.acquisitions, started);
        QVERIFY(rig.idle());

        // Each continuous block is a row of the trend, and a point of each of its graphs.
        const auto &rows = rig.control.noiseTrend().rows();
        QVERIFY(rows.size() >= 2);
        QCOMPARE(rows.back().block, static_cast<qint64>(rows.size()));
        QVERIFY(rows.back().rmsNoiseUv.has_value());
        frmNoiseTrend trend(rig.control.noiseTrend());
        for (int graph = 0; graph < 3; ++graph)
            QCOMPARE(trend.graph(graph)->pointCount(), static_cast<int>(rows.size()));
    }

    void escapeCancelsASingleShot()
    {
        Rig rig;
        rig.panel.txtNumSamples()->setText(QStringLiteral("64"));
        rig.panel.cmdAcquire()->click();
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.plot.numPoints(), 64);
        QVERIFY(rig.panel.lblDuration()->text().contains(QStringLiteral("3.1\u00a0ms"))); // 64 / 20833 Hz

        rig.panel.txtNumSamples()->setText(QStringLiteral("256"));
        rig.panel.cmdAcquire()->click();
        rig.panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.panel));
        QTest::keyClick(rig.panel.txtNumSamples(), Qt::Key_Escape);
        QVERIFY(rig.idle());
        QCOMPARE(rig.driver.aborts, 2); // the acquisition and the reception
        QCOMPARE(rig.field1.text(), QStringLiteral("Acquisition stopped"));
        // The board's late events of the cancelled block start no reception
        // and bring no block.
        QTest::qWait(50);
        QCOMPARE(rig.driver.receptions, 1);
        QCOMPARE(rig.plot.numPoints(), 64);
        QVERIFY(rig.idle());
    }

    void commandsWaitForADriverCall()
    {
        Rig rig;
        rig.driver.configureWaits = true;
        bool sawBusy = false;
        int nestedClicks = 0;
        QObject::connect(&rig.control, &AcquisitionControl::busyChanged, [&](bool busy) {
            if (!busy || sawBusy)
                return;
            sawBusy = true;
            // While the board is answering, a second click must not start
            // another acquisition.
            QTimer::singleShot(10, [&] {
                QVERIFY(!rig.panel.cmdAcquire()->isEnabled());
                QVERIFY(!rig.panel.btnSetSampleRate()->isEnabled());
                rig.panel.cmdAcquire()->click();
                ++nestedClicks;
            });
        });
        rig.panel.cmdAcquire()->click();
        QVERIFY(sawBusy);
        QCOMPARE(nestedClicks, 1);
        QCOMPARE(rig.field2.text(), QStringLiteral("Response received OK"));
        QTRY_VERIFY(rig.idle());
        QCOMPARE(rig.driver.acquisitions, 1);
    }

    void calcProgressZeroMeansReady()
    {
        Rig rig;
        rig.field1.setText(QStringLiteral("Acquiring data..."));
        rig.control.mfrmPlot_CalcStatus(rig.plot);
        QCOMPARE(rig.field1.text(), QStringLiteral("Ready"));
    }
};

QTEST_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
