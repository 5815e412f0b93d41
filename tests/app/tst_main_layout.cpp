// SPDX-License-Identifier: GPL-3.0-or-later
// The graph gets the space: at the first start's size on a 1280 x 800 screen
// and at 1024 x 768 the graph of every view takes most of the main window's
// width, and the FFT window and signal-bin choices show without scrolling.
#include "CollapsibleSidePanel.h"
#include "Plot.h"
#include "UserMessage.h"
#include "frmMain.h"
#include "frmPlot.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

class TestMainLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;

    // Whether w lies whole inside the visible part of the scroll area.
    static bool inViewport(const QScrollArea &scroll, const QWidget &w)
    {
        const QRect rect(w.mapTo(scroll.viewport(), QPoint(0, 0)), w.size());
        return w.isVisible() && scroll.viewport()->rect().contains(rect);
    }

    static void checkLayout(frmMain &window, const QString &where)
    {
        frmPlot *plot = window.activePlot();
        for (int tab = 0; tab < 4; ++tab) {
            plot->selectTab(tab);
            QTest::qWait(20);
            // What shows the block: the graph, or in the Data List the list.
            const QWidget *graph = tab == 3 ? static_cast<QWidget *>(plot->lstDataList()) : plot->plot();
            QVERIFY2(graph->isVisible() && graph->width() >= 0.6 * window.width(),
                     qPrintable(QStringLiteral("%1, tab %2: %3 of %4 pixels")
                                    .arg(where).arg(tab).arg(graph->width()).arg(window.width())));
        }
        plot->selectTab(1);
        QTest::qWait(20);
        const auto *scroll = plot->fftOptionsSide()->findChild<QScrollArea *>();
        QVERIFY(scroll);
        for (int i = 0; i < 8; ++i)
            QVERIFY2(inViewport(*scroll, *plot->optWindow(i)), qPrintable(QStringLiteral("%1: window %2").arg(where).arg(i)));
        QVERIFY2(inViewport(*scroll, *plot->txtNumBins()) && inViewport(*scroll, *plot->cbAutoBins()), qPrintable(where));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        // No board: the windows are laid out the same without one.
        UserMessage::setHandler([](const QString &) {});
    }

    void graphTakesMostOfTheWidth()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(1280, 800));
        frmMain window;
        window.load();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A first start: 1200 x 750 pixels at 96 dots per inch.
        QCOMPARE(window.size(), QSize(1200, 750));
        checkLayout(window, QStringLiteral("default size"));
        if (QTest::currentTestFailed())
            return;
        window.resize(1024, 768);
        QTRY_COMPARE(window.size(), QSize(1024, 768));
        checkLayout(window, QStringLiteral("1024 x 768"));
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_main_layout.moc"
