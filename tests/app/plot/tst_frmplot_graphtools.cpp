// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's graph tools: Ctrl+C of data-list lines and of the cursor
// readout, and seconds on the time axis.
#include "GraphToolsBar.h"
#include "Plot.h"
#include "frmPlot.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QListView>
#include <QTest>

namespace {

const std::vector<std::int32_t> Codes{-1, 0, 255, 4096, -300, 17, 12, 9, 1000, -5};
constexpr double Rate = 250.0;

void open(frmPlot &plot)
{
    plot.setDeviceID(QStringLiteral("KZ7305"));
    plot.setLSBSize(1e-6);
    plot.setNumBits(24);
    plot.setnumPoints(static_cast<std::int32_t>(Codes.size()));
    plot.setSampleFreq(Rate);
    plot.LoadData(Codes);
    plot.show();
    plot.activateWindow();
}

void pressCopy(QWidget *focus)
{
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_C, Qt::ControlModifier);
}

} // namespace

class TestFrmPlotGraphTools : public QObject
{
    Q_OBJECT

private slots:
    void ctrlCCopiesTheSelectedLinesInListOrder()
    {
        frmPlot plot;
        open(plot);
        QVERIFY(QTest::qWaitForWindowActive(&plot));
        plot.selectTab(3);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        pressCopy(plot.lstDataList());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before")); // nothing selected

        QItemSelectionModel *selection = plot.lstDataList()->selectionModel();
        const QAbstractItemModel *model = plot.lstDataList()->model();
        selection->select(model->index(4, 0), QItemSelectionModel::Select);
        selection->select(model->index(1, 0), QItemSelectionModel::Select);
        pressCopy(plot.lstDataList());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2\t0\n5\t-300\n"));
    }

    void ctrlCCopiesTheCursorReadoutInSecondsOrSamples()
    {
        frmPlot plot;
        open(plot);
        QVERIFY(QTest::qWaitForWindowActive(&plot));
        plot.selectTab(0);
        Plot *graph = plot.plot();
        graph->placeCursor(0, 2);
        graph->placeCursor(1, 5);
        pressCopy(graph);
        const QString samples = QApplication::clipboard()->text();
        QVERIFY2(samples.startsWith(QStringLiteral("Cursor 1: X = 3 samples, Y = 255 codes\n"
                                                   "Cursor 2: X = 6 samples, Y = 17 codes\n")),
                 qPrintable(samples));
        QVERIFY2(samples.contains(QStringLiteral("ΔX = 3 samples, ΔY = -238 codes")), qPrintable(samples));

        // Seconds: sample i at i / rate; the cursors stay on their samples.
        plot.graphTools()->cbTimeInSeconds()->setChecked(true);
        QCOMPARE(graph->xAxisLabel(), QStringLiteral("Time (s)"));
        QCOMPARE(graph->xValue(5), static_cast<float>(5 / Rate));
        pressCopy(graph);
        const QString seconds = QApplication::clipboard()->text();
        // ΔX = 3 / 250 s = 0.012 s, 1/ΔX = 83.33333 Hz, free of single-precision noise.
        const QString point = QLocale().decimalPoint();
        QVERIFY2(seconds.contains(QStringLiteral("Cursor 2: X = 0") + point + QStringLiteral("02 s, Y = 17 codes")),
                 qPrintable(seconds));
        QVERIFY2(seconds.endsWith(QStringLiteral("ΔX = 0") + point + QStringLiteral("012 s, ΔY = -238 codes, 1/ΔX = 83") + point +
                                          QStringLiteral("33333 Hz")),
                 qPrintable(seconds));
        QCOMPARE(plot.graphTools()->readoutText(), seconds);
    }
};

QTEST_MAIN(TestFrmPlotGraphTools)
#include "tst_frmplot_graphtools.moc"
