// SPDX-License-Identifier: GPL-3.0-or-later
// kz-grab-main OUTFILE [NOISEFILE TRENDFILE HISTFILE]: starts the main window on a
// simulated board, answers the setup dialog, acquires a block of the board's
// tone and saves a picture of the main window showing its FFT view with the
// marks. With the other files it then acquires the shorted input (CH2)
// continuously for a few blocks and saves the main window's time-domain view
// with its noise figures, the noise trend window, and the histogram with its
// normal curve. Run it on a display
// (tools/screenshots.sh starts Xvfb) so the window is drawn as users see it.
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "AcquisitionControl.h"
#include "NuvarDriverClass.h"
#include "SimulatedBoard.h"
#include "frmMain.h"
#include "frmNoiseTrend.h"
#include "frmPlot.h"
#include "kz7305Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <QToolButton>

namespace {

// Runs the event loop until done() holds or the time is up.
bool waitFor(const std::function<bool()> &done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Lets posted layout and paint requests run, as a user's eye would wait.
void settle()
{
    QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Acquires CH2 continuously until the trend holds blocks rows, stops and
// grabs the time domain and the trend.
bool grabShortedInput(frmMain &window, const QStringList &files, QTextStream &err)
{
    constexpr std::size_t Blocks = 12;
    auto *settings = dynamic_cast<kz7305Settings *>(window.driver());
    if (!settings) {
        err << "kz-grab-main: the driver has no board settings\n";
        return false;
    }
    settings->setChannel(2);
    frmNoiseTrend *trend = window.noiseTrendWindow();
    window.panel()->txtNumSamples()->setText(QStringLiteral("1024"));
    window.panel()->optContinuous()->setChecked(true);
    window.panel()->cmdAcquire()->click();
    const NoiseTrend &rows = window.acquisition()->noiseTrend();
    if (!waitFor([&] { return rows.rows().size() >= Blocks; }, 120000)) {
        err << "kz-grab-main: too few blocks from the shorted input\n";
        return false;
    }
    window.panel()->cmdStop()->click();
    waitFor([&] { return window.panel()->cmdAcquire()->isEnabled(); }, 30000);
    window.activePlot()->selectTab(0);
    trend->show();
    settle();
    if (!window.grab().save(files[0]) || !trend->grab().save(files[1]))
        return false;
    window.activePlot()->cbNormalCurve()->setChecked(true);
    window.activePlot()->selectTab(2);
    settle();
    return window.activePlot()->grab().save(files[2]);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2 && arguments.size() != 5) {
        err << "usage: kz-grab-main OUTFILE [NOISEFILE TRENDFILE HISTFILE]\n";
        return 2;
    }
    SimulatedBoard board;
    const QString port = board.start();
    if (port.isEmpty()) {
        err << "kz-grab-main: " << board.errorString() << '\n';
        return 1;
    }
    qputenv("KZ7305EVM_PORTS", port.toLocal8Bit());
    DialogAnswerer answerer;
    frmMain window;
    window.load();
    window.resize(1280, 860);
    if (!waitFor([&] { return answerer.setupsAnswered > 0; }, 10000)) {
        err << "kz-grab-main: the board's setup dialog did not appear\n";
        return 1;
    }
    window.panel()->txtNumSamples()->setText(QStringLiteral("4096"));
    window.panel()->cmdAcquire()->click();
    const bool acquired = waitFor([&] {
        return window.panel()->cmdAcquire()->isEnabled() && window.statusField(1) == QLatin1String("Ready");
    }, 30000);
    if (!acquired) {
        err << "kz-grab-main: no block from the simulated board\n";
        return 1;
    }
    frmPlot *plot = window.activePlot();
    plot->optWindow(4)->setChecked(true);
    plot->cbMainLobe()->setChecked(true);
    plot->cbHarmonics()->setChecked(true);
    plot->selectTab(1);
    settle();
    if (!window.grab().save(QApplication::arguments().at(1))) {
        err << "kz-grab-main: cannot write " << QApplication::arguments().at(1) << '\n';
        return 1;
    }
    if (arguments.size() == 5 && !grabShortedInput(window, arguments.mid(2), err))
        return 1;
    return 0;
}
