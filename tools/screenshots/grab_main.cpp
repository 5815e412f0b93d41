// SPDX-License-Identifier: GPL-3.0-or-later
// kz-grab-main OUTDIR: starts the main window on a simulated board as a user's
// first start does (no settings of the user's, the window at its default
// size) and saves into OUTDIR:
//   first-start.png        the screen with the setup dialog in front;
//   view-fft.png, view-scope.png, view-histogram.png, view-datalist.png
//                          the board's tone (4096 samples) in each view;
//   view-scope-cursors.png the trace zoomed in, a cursor on each of two peaks;
//   tools-menu.png         the screen with the Tools menu open;
//   help-keyboard.png      Help > Keyboard and Mouse;
//   main-window-minimum.png the window at its smallest;
//   figures-tone.png       the seven-term window with Auto signal bins;
//   noise-shorted-input.png, noise-trend.png, noise-histogram.png,
//   figures-shorted-input.png  the shorted input (CH2) acquired continuously;
//   view-fft-reference.png the shorted input's spectrum held under the tone's;
//   fft-units-tone-UNIT.png, fft-units-shorted-UNIT.png  the tone's and the
//                          shorted input's spectrum in each Y axis unit
//                          (UNIT: db, dbfs, dbfs-hz, nv-rthz).
// kz-grab-main --small OUTDIR: the tone's FFT and Scope views only, as
// main-window-small-fft.png and main-window-small-scope.png.
// kz-grab-main --characterisation OUTDIR: Tools > Characterisation Run after
// a run of two inputs, two averaging settings and four rates, as
// characterisation-run.png.
// Run it on a display with a window manager (tools/screenshots.sh starts Xvfb
// and openbox) so the windows are placed and drawn as users see them.
#include "AcquisitionControl.h"
#include "AcquisitionPanel.h"
#include "CollapsibleSidePanel.h"
#include "DialogAnswerer.h"
#include "FiguresPanel.h"
#include "GraphToolsBar.h"
#include "NuvarDriverClass.h"
#include "Plot.h"
#include "ReferenceBar.h"
#include "SimulatedBoard.h"
#include "SpectrumUnit.h"
#include "RunPlanEditor.h"
#include "frmCharacterisation.h"
#include "frmKeyboardHelp.h"
#include "frmMain.h"
#include "frmNoiseTrend.h"
#include "frmPlot.h"
#include "kz7305Settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>
#include <string>

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
void settle(int milliseconds = 500)
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

// Saves pictures into one folder; a picture that cannot be written ends the run.
class Pictures
{
public:
    explicit Pictures(const QDir &out) : m_out(out) {}

    void save(const QPixmap &picture, const char *name) const
    {
        if (!picture.save(m_out.filePath(QLatin1String(name))))
            throw std::runtime_error(std::string("cannot write ") + name + " into " + m_out.path().toStdString());
    }
    void window(QWidget &widget, const char *name) const
    {
        settle();
        save(widget.grab(), name);
    }
    void screen(const QWidget &onIt, const char *name) const
    {
        settle();
        save(onIt.screen()->grabWindow(0), name);
    }

private:
    QDir m_out;
};

// Acquires one block with the panel's settings and waits for it to show.
void acquireOnce(frmMain &window)
{
    window.panel()->optSingleShot()->setChecked(true);
    window.panel()->cmdAcquire()->click();
    if (!waitFor([&] {
            return window.panel()->cmdAcquire()->isEnabled() && window.statusField(1) == QLatin1String("Ready");
        }, 30000))
        throw std::runtime_error("no block from the simulated board");
}

void useChannel(frmMain &window, std::int16_t channel)
{
    auto *settings = dynamic_cast<kz7305Settings *>(window.driver());
    if (!settings)
        throw std::runtime_error("the driver has no board settings");
    settings->setChannel(channel);
}

// The board's tone (CH1, 4096 samples) with the Blackman-Harris window and
// the main lobe and harmonics marked.
frmPlot &acquireTone(frmMain &window)
{
    window.panel()->txtNumSamples()->setText(QStringLiteral("4096"));
    acquireOnce(window);
    frmPlot &plot = *window.activePlot();
    plot.optWindow(4)->click();
    plot.cbMainLobe()->setChecked(true);
    plot.cbHarmonics()->setChecked(true);
    return plot;
}

// The first two peaks of the trace, for the cursors.
std::pair<int, int> twoPeaks(const frmPlot &plot, int period)
{
    const auto &samples = plot.document().block().samples;
    const auto first = std::max_element(samples.begin(), samples.begin() + period) - samples.begin();
    const auto second = std::max_element(samples.begin() + first + period / 2, samples.begin() + first + 3 * period / 2)
                        - samples.begin();
    return {static_cast<int>(first), static_cast<int>(second)};
}

void grabViews(frmMain &window, frmPlot &plot, const Pictures &pictures)
{
    plot.selectTab(1);
    pictures.window(window, "view-fft.png");
    plot.selectTab(0);
    pictures.window(window, "view-scope.png");
    // Three periods of the 1 kHz tone in seconds, a cursor on each of two peaks.
    plot.graphTools()->cbTimeInSeconds()->setChecked(true);
    plot.plot()->zoomTo({0.0, 0.003}, {-1.1e7, 1.1e7});
    const auto [first, second] = twoPeaks(plot, 21);
    plot.plot()->placeCursor(0, first);
    plot.plot()->placeCursor(1, second);
    pictures.window(window, "view-scope-cursors.png");
    plot.plot()->setCursorsShown(false);
    plot.graphTools()->cbTimeInSeconds()->setChecked(false);
    plot.selectTab(2);
    pictures.window(window, "view-histogram.png");
    plot.selectTab(3);
    pictures.window(window, "view-datalist.png");
}

void grabMenuAndHelp(frmMain &window, const Pictures &pictures)
{
    window.activePlot()->selectTab(1);
    auto *tools = window.menuBar()->findChild<QMenu *>(QStringLiteral("mnuTools"));
    window.menuBar()->setActiveAction(tools->menuAction());
    pictures.screen(window, "tools-menu.png");
    tools->close();
    // The help window is modal: grab and close it from inside its own loop.
    QTimer::singleShot(800, &window, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *help = qobject_cast<frmKeyboardHelp *>(widget); help && help->isVisible()) {
                pictures.save(help->grab(), "help-keyboard.png");
                help->accept();
            }
    });
    window.action(QStringLiteral("mnuHelpKeyboard"))->trigger();
}

// Acquires CH2 continuously until the trend holds enough rows, stops and
// grabs the time domain, the trend, the histogram and the spectrum.
// Fails when a window the window manager placed does not lie whole on its
// screen's free area.
void settleWhole(QWidget &shown, const char *what)
{
    waitFor([&] { return shown.isVisible() && shown.frameGeometry() != shown.geometry(); }, 5000);
    if (!shown.screen()->availableGeometry().contains(shown.frameGeometry()))
        throw std::runtime_error(std::string(what) + " opens partly off the screen");
}

// Scrolls the FFT column to its tone figures, which stand below the options.
void showToneFigures(frmPlot &plot)
{
    if (auto *scroll = plot.fftOptionsSide()->findChild<QScrollArea *>())
        scroll->ensureWidgetVisible(plot.tonePanel(), 0, 0);
}

// The FFT view in each Y axis unit, the unit choice in sight, as
// fft-units-WHAT-UNIT.png; then back to the default unit.
void grabUnits(frmMain &window, frmPlot &plot, const Pictures &pictures, const char *what)
{
    plot.selectTab(1);
    auto *scroll = plot.fftOptionsSide()->findChild<QScrollArea *>();
    const int scrolled = scroll ? scroll->verticalScrollBar()->value() : 0;
    if (scroll)
        scroll->ensureWidgetVisible(plot.cboYAxis(), 0, 0);
    for (int i = 0; i < SpectrumUnits::Count; ++i) {
        const SpectrumUnit unit = SpectrumUnits::fromIndex(i);
        plot.cboYAxis()->setCurrentIndex(i);
        const QString name = QStringLiteral("fft-units-%1-%2.png").arg(QLatin1String(what), SpectrumUnits::cliName(unit));
        pictures.window(window, name.toLatin1().constData());
    }
    plot.cboYAxis()->setCurrentIndex(0);
    // The pictures that follow see the column as it was.
    if (scroll)
        scroll->verticalScrollBar()->setValue(scrolled);
}

void grabShortedInput(frmMain &window, const Pictures &pictures)
{
    constexpr std::size_t Blocks = 12;
    useChannel(window, 2);
    frmNoiseTrend *trend = window.noiseTrendWindow();
    window.panel()->txtNumSamples()->setText(QStringLiteral("1024"));
    window.panel()->optContinuous()->setChecked(true);
    window.panel()->cmdAcquire()->click();
    const NoiseTrend &rows = window.acquisition()->noiseTrend();
    if (!waitFor([&] { return rows.rows().size() >= Blocks; }, 120000))
        throw std::runtime_error("too few blocks from the shorted input");
    window.panel()->cmdStop()->click();
    waitFor([&] { return window.panel()->cmdAcquire()->isEnabled(); }, 30000);
    frmPlot &plot = *window.activePlot();
    plot.selectTab(0);
    trend->show();
    settleWhole(*trend, "the noise trend");
    pictures.window(window, "noise-shorted-input.png");
    pictures.window(*trend, "noise-trend.png");
    trend->hide();
    plot.cbNormalCurve()->setChecked(true);
    plot.selectTab(2);
    pictures.window(window, "noise-histogram.png");
    // Its spectrum: noise only, read as a density.
    plot.selectTab(1);
    showToneFigures(plot);
    pictures.window(window, "figures-shorted-input.png");
    grabUnits(window, plot, pictures, "shorted");
    // Held as reference under the tone's spectrum.
    plot.referenceBar()->btnHold()->click();
    useChannel(window, 1);
    window.panel()->txtNumSamples()->setText(QStringLiteral("4096"));
    acquireOnce(window);
    pictures.window(window, "view-fft-reference.png");
}

void grabAll(frmMain &window, const Pictures &pictures)
{
    frmPlot &plot = acquireTone(window);
    grabViews(window, plot, pictures);
    grabUnits(window, plot, pictures, "tone");
    grabMenuAndHelp(window, pictures);
    // Shrunk as far as it goes: everything still shows, nothing is cut.
    const QSize defaultSize = window.size();
    window.resize(window.minimumSizeHint());
    pictures.window(window, "main-window-minimum.png");
    window.resize(defaultSize);
    // The seven-term window, which chooses Auto: the figures fit for 24 bits.
    plot.optWindow(7)->click();
    showToneFigures(plot);
    pictures.window(window, "figures-tone.png");
    grabShortedInput(window, pictures);
}

void grabSmall(frmMain &window, const Pictures &pictures)
{
    frmPlot &plot = acquireTone(window);
    plot.selectTab(1);
    pictures.window(window, "main-window-small-fft.png");
    plot.selectTab(0);
    pictures.window(window, "main-window-small-scope.png");
    plot.selectTab(2);
    pictures.window(window, "main-window-small-histogram.png");
    plot.selectTab(3);
    pictures.window(window, "main-window-small-datalist.png");
    // The noise trend opens whole on this small screen too.
    frmNoiseTrend *trend = window.noiseTrendWindow();
    trend->show();
    settleWhole(*trend, "the noise trend");
    pictures.screen(*trend, "main-window-small-trend.png");
    trend->hide();
}

// A run of the shorted input and the 1 V input, two averaging settings, over
// four rates; the table and the noise graph at its end.
void grabCharacterisation(frmMain &window, const Pictures &pictures)
{
    frmCharacterisation *run = window.characterisationWindow();
    RunPlan plan;
    plan.channels = {2, 4};
    plan.averaging = {0, 4};
    plan.rates = {100, 1000, 5000, 20833};
    plan.samples = 1024;
    plan.blocks = 2;
    run->planEditor()->setPlan(plan);
    run->show();
    settleWhole(*run, "the characterisation run");
    QTemporaryDir folder;
    if (!folder.isValid() || !run->startRun(folder.filePath(QStringLiteral("run"))))
        throw std::runtime_error("the characterisation run did not start");
    if (!waitFor([&] { return !run->running(); }, 300000))
        throw std::runtime_error("the characterisation run did not end");
    run->table()->selectRow(5);
    pictures.window(*run, "characterisation-run.png");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool small = arguments.removeAll(QStringLiteral("--small")) > 0;
    const bool characterisation = arguments.removeAll(QStringLiteral("--characterisation")) > 0;
    if (arguments.size() != 1) {
        err << "usage: kz-grab-main [--small|--characterisation] OUTDIR\n";
        return 2;
    }
    const Pictures pictures{QDir(arguments.first())};
    SimulatedBoard board;
    const QString port = board.start();
    if (port.isEmpty()) {
        err << "kz-grab-main: " << board.errorString() << '\n';
        return 1;
    }
    qputenv("KZ7305EVM_PORTS", port.toLocal8Bit());
    frmMain window;
    window.load();
    try {
        if (!waitFor([] { return setupDialog() != nullptr; }, 10000))
            throw std::runtime_error("the board's setup dialog did not appear");
        if (!small && !characterisation) {
            settle(1000);
            pictures.screen(window, "first-start.png");
        }
        DialogAnswerer answerer;
        if (!waitFor([&] { return answerer.setupsAnswered > 0; }, 10000))
            throw std::runtime_error("the setup dialog could not be answered");
        if (characterisation)
            grabCharacterisation(window, pictures);
        else
            small ? grabSmall(window, pictures) : grabAll(window, pictures);
    } catch (const std::exception &error) {
        err << "kz-grab-main: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
