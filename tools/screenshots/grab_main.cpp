// SPDX-License-Identifier: GPL-3.0-or-later
// kz-grab-main OUTDIR: starts the main window on a simulated board as a first
// start does (no settings of the user's), saves the screen with the setup
// dialog in front as OUTDIR/first-start.png, answers the dialog, acquires a
// block of the board's tone and saves the main window at its default size,
// FFT view with the marks, as OUTDIR/main-window.png, and at its minimum size
// as OUTDIR/main-window-minimum.png, and with the seven-term window as
// OUTDIR/figures-tone.png; then acquires the shorted input (CH2)
// continuously and saves its time-domain view with the noise figures, the
// noise trend, the histogram with its normal curve and the spectrum as
// OUTDIR/noise-shorted-input.png, noise-trend.png, noise-histogram.png and
// figures-shorted-input.png.
// Run it on a display with
// a window manager (tools/screenshots.sh starts Xvfb and openbox) so the
// windows are placed and drawn as users see them.
#include "AcquisitionControl.h"
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "NuvarDriverClass.h"
#include "SimulatedBoard.h"
#include "frmMain.h"
#include "frmNoiseTrend.h"
#include "frmPlot.h"
#include "kz7305Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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

// Lets the window manager place and the windows paint.
void settle(int milliseconds)
{
    waitFor([] { return false; }, milliseconds);
}

QDialog *setupDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && QByteArray(widget->metaObject()->className()) == "frmSetup")
            return qobject_cast<QDialog *>(widget);
    return nullptr;
}

// Acquires CH2 continuously until the trend holds blocks rows, stops and
// grabs the time domain and the trend.
bool grabShortedInput(frmMain &window, const QDir &out, QTextStream &err)
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
    settle(500);
    if (!window.grab().save(out.filePath(QStringLiteral("noise-shorted-input.png")))
        || !trend->grab().save(out.filePath(QStringLiteral("noise-trend.png"))))
        return false;
    window.activePlot()->cbNormalCurve()->setChecked(true);
    window.activePlot()->selectTab(2);
    settle(500);
    if (!window.activePlot()->grab().save(out.filePath(QStringLiteral("noise-histogram.png"))))
        return false;
    // Its spectrum: noise only, read as a density.
    window.activePlot()->selectTab(1);
    settle(500);
    return window.grab().save(out.filePath(QStringLiteral("figures-shorted-input.png")));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (QApplication::arguments().size() != 2) {
        err << "usage: kz-grab-main OUTDIR\n";
        return 2;
    }
    const QDir out(QApplication::arguments().at(1));
    SimulatedBoard board;
    const QString port = board.start();
    if (port.isEmpty()) {
        err << "kz-grab-main: " << board.errorString() << '\n';
        return 1;
    }
    qputenv("KZ7305EVM_PORTS", port.toLocal8Bit());
    frmMain window;
    window.load();
    if (!waitFor([] { return setupDialog() != nullptr; }, 10000)) {
        err << "kz-grab-main: the board's setup dialog did not appear\n";
        return 1;
    }
    settle(1500);
    const bool firstStart = window.screen()->grabWindow(0).save(out.filePath(QStringLiteral("first-start.png")));

    DialogAnswerer answerer;
    if (!waitFor([&] { return answerer.setupsAnswered > 0; }, 10000)) {
        err << "kz-grab-main: the setup dialog could not be answered\n";
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
    plot->optWindow(4)->click();
    plot->cbMainLobe()->setChecked(true);
    plot->cbHarmonics()->setChecked(true);
    plot->selectTab(1);
    settle(500);
    const bool main = window.grab().save(out.filePath(QStringLiteral("main-window.png")));
    // Shrunk as far as it goes: everything still shows, nothing is cut.
    window.resize(window.minimumSizeHint());
    settle(500);
    const bool smallest = window.grab().save(out.filePath(QStringLiteral("main-window-minimum.png")));
    if (!firstStart || !main || !smallest) {
        err << "kz-grab-main: cannot write the pictures into " << out.path() << '\n';
        return 1;
    }
    window.resize(1280, 760);
    // The seven-term window, which chooses Auto: the figures fit for 24 bits.
    plot->optWindow(7)->click();
    settle(500);
    if (!window.grab().save(out.filePath(QStringLiteral("figures-tone.png")))) {
        err << "kz-grab-main: cannot write the pictures into " << out.path() << '\n';
        return 1;
    }
    return grabShortedInput(window, out, err) ? 0 : 1;
}
