// SPDX-License-Identifier: GPL-3.0-or-later
// kz-grab-main OUTFILE: starts the main window on a simulated board, answers
// the setup dialog, acquires a block of the board's tone and saves a picture of
// the main window showing its FFT view with the marks. Run it on a display
// (tools/screenshots.sh starts Xvfb) so the window is drawn as users see it.
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "SimulatedBoard.h"
#include "frmMain.h"
#include "frmPlot.h"

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (QApplication::arguments().size() != 2) {
        err << "usage: kz-grab-main OUTFILE\n";
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
    QApplication::processEvents();
    if (!window.grab().save(QApplication::arguments().at(1))) {
        err << "kz-grab-main: cannot write " << QApplication::arguments().at(1) << '\n';
        return 1;
    }
    return 0;
}
