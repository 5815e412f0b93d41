// SPDX-License-Identifier: GPL-3.0-or-later
// Tools > Characterisation Run in the whole program, on the simulated board:
// the table's figures against analyze on the blocks the run kept, the board
// refused to the main window's Acquire while the run holds it, and Stop.
#include "AcquisitionPanel.h"
#include "CliRun.h"
#include "DialogAnswerer.h"
#include "RunPlanEditor.h"
#include "ShippedDriver.h"
#include "SimulatedBoard.h"
#include "frmCharacterisation.h"
#include "frmMain.h"

#include <QAction>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class tst_characterisation_window : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    SimulatedBoard m_board;
    DialogAnswerer m_answerer;
    std::unique_ptr<frmMain> m_window;

    // The run window, opened from the Tools menu, with plan in its editor.
    frmCharacterisation *openRunWindow(const RunPlan &plan)
    {
        auto *entry = m_window->findChild<QAction *>(QStringLiteral("mnuToolsCharacterisation"));
        if (!entry)
            return nullptr;
        entry->trigger();
        auto *runWindow = m_window->findChild<frmCharacterisation *>();
        if (runWindow)
            runWindow->planEditor()->setPlan(plan);
        return runWindow;
    }

    static int column(const QTableWidget &table, const QString &key)
    {
        for (int c = 0; c < table.columnCount(); ++c)
            if (table.horizontalHeaderItem(c)->text() == key)
                return c;
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useShippedDriver(m_dir);
        const QString path = m_board.start();
        QVERIFY2(!path.isEmpty(), qPrintable(m_board.errorString()));
        qputenv("KZ7305EVM_PORTS", path.toLocal8Bit());
        m_window = std::make_unique<frmMain>();
        m_window->load();
        QVERIFY(QTest::qWaitFor([&] { return m_answerer.setupsAnswered > 0; }, 5000));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_board.stop();
    }

    void tableHoldsTheKeptBlocksFigures()
    {
        RunPlan plan;
        plan.channels = {2};
        plan.rates = {1000, 20833};
        plan.samples = 256;
        frmCharacterisation *runWindow = openRunWindow(plan);
        QVERIFY(runWindow);
        QTableWidget *table = runWindow->table();
        // Acquire is asked for the board while the run holds it, between its blocks.
        QString acquireAnswer;
        const QMetaObject::Connection asking = connect(table->model(), &QAbstractItemModel::rowsInserted, this, [&] {
            if (table->rowCount() == 1 && m_window->panel()->cmdAcquire()->isEnabled()) {
                m_window->panel()->cmdAcquire()->click();
                acquireAnswer = m_window->statusField(1);
            }
        });
        const QString folder = m_dir.filePath(QStringLiteral("run"));
        QVERIFY(runWindow->startRun(folder));
        QTRY_VERIFY_WITH_TIMEOUT(!runWindow->running(), 30000);
        disconnect(asking);
        QCOMPARE(acquireAnswer, QStringLiteral("The board is busy: a characterisation run"));
        QCOMPARE(table->rowCount(), 2);

        // One kept block a point: each cell's mean is analyze's figure of that block.
        const QStringList files{QStringLiteral("ch2-avg0-rate1000-0001.csv"), QStringLiteral("ch2-avg0-rate20833-0001.csv")};
        int compared = 0;
        for (int row = 0; row < 2; ++row) {
            const CliRun analysed = runCli({QStringLiteral("analyze"), QDir(folder).filePath(files[row]), QStringLiteral("--json")});
            QVERIFY2(analysed.exitCode == 0, analysed.err.constData());
            const QJsonObject figures = QJsonDocument::fromJson(analysed.out).object();
            for (const QString &key : plan.figureKeys()) {
                const int c = column(*table, key);
                QVERIFY2(c >= 0, qPrintable(key));
                const QJsonValue expected = figures.value(key);
                const QString cell = table->item(row, c) ? table->item(row, c)->text() : QString();
                QCOMPARE(cell, expected.isDouble() ? QString::number(expected.toDouble(), 'g', 6) : QString());
                compared += expected.isDouble() ? 1 : 0;
            }
        }
        QVERIFY(compared >= 2 * 3); // the noise figures at least
    }

    void stopEndsTheRun()
    {
        RunPlan plan;
        plan.channels = {1, 2, 3, 4};
        plan.rates = {1000, 20833};
        plan.samples = 256;
        frmCharacterisation *runWindow = openRunWindow(plan);
        QVERIFY(runWindow);
        QVERIFY(runWindow->startRun(m_dir.filePath(QStringLiteral("stopped"))));
        QTRY_VERIFY_WITH_TIMEOUT(runWindow->table()->rowCount() >= 1, 30000);
        runWindow->btnStop()->click();
        QVERIFY(!runWindow->running());
        const int rows = runWindow->table()->rowCount();
        QTest::qWait(500); // no point follows
        QCOMPARE(runWindow->table()->rowCount(), rows);
        QVERIFY(rows < 8);
        QTRY_VERIFY(m_window->panel()->cmdAcquire()->isEnabled()); // the board is free again
    }
};

QTEST_MAIN(tst_characterisation_window)
#include "tst_characterisation_window.moc"
