// SPDX-License-Identifier: GPL-3.0-or-later
// kz-grab-views DATAFILE OUTDIR: loads DATAFILE into a plot window through its
// Open command and saves the four views as OUTDIR/view-scope.png,
// view-fft.png (with the options beside the graph), view-histogram.png and
// view-datalist.png, the trace zoomed in with two cursors on successive
// peaks as view-scope-cursors.png, and the spectrum held as reference under
// that of a noisier block with a spur as view-fft-reference.png. Run it on a display
// (tools/screenshots.sh starts Xvfb) so the window is drawn as users see it.
#include "AppState.h"
#include "FileDialogs.h"
#include "GraphToolsBar.h"
#include "Plot.h"
#include "ReferenceBar.h"
#include "frmPlot.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <cmath>
#include <numbers>
#include <random>

namespace {

bool grabTab(frmPlot &window, int tab, const QString &file)
{
    window.selectTab(tab);
    QApplication::processEvents();
    return window.grab().save(file);
}

// The block with about three times its noise and a spur at -70 dBFS on bin 1500.
SampleBlock noisierWithSpur(SampleBlock block)
{
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 90.0);
    const double spur = std::ldexp(1.0, block.numBits - 1) * std::pow(10.0, -70.0 / 20.0);
    const double n = static_cast<double>(block.samples.size());
    for (std::size_t i = 0; i < block.samples.size(); ++i)
        block.samples[i] += static_cast<std::int32_t>(
            std::lround(spur * std::sin(2 * std::numbers::pi * 1500.0 * static_cast<double>(i) / n) + noise(random)));
    return block;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        err << "usage: kz-grab-views DATAFILE OUTDIR\n";
        return 2;
    }
    const QDir out(arguments[2]);
    frmPlot window;
    window.resize(1100, 760);
    window.show();
    FileDialogs::setHandler([&](FileDialogs::Mode, const QString &) { return arguments[1]; });
    window.OpenFile();
    if (window.numPoints() == 0) {
        err << "kz-grab-views: " << arguments[1] << " did not load\n";
        return 1;
    }
    // A marked point on the trace, as after a click on it.
    window.selectTab(0);
    emit window.plot()->dataPointClicked(0, 4075);

    const bool scope = window.grab().save(out.filePath(QStringLiteral("view-scope.png")));
    // Three periods of the tone in seconds, a cursor on each of two peaks.
    window.graphTools()->cbTimeInSeconds()->setChecked(true);
    window.plot()->zoomTo({0.3880, 0.4150}, {-9.5e6, 9.5e6});
    window.plot()->placeCursor(0, 3906);
    window.plot()->placeCursor(1, 3990);
    QApplication::processEvents();
    const bool cursors = window.grab().save(out.filePath(QStringLiteral("view-scope-cursors.png")));
    window.graphTools()->cbTimeInSeconds()->setChecked(false);
    window.plot()->setCursorsShown(false);
    window.optWindow(4)->setChecked(true);
    window.cbMainLobe()->setChecked(true);
    window.cbHarmonics()->setChecked(true);
    const bool fft = grabTab(window, 1, out.filePath(QStringLiteral("view-fft.png")));
    const bool histogram = grabTab(window, 2, out.filePath(QStringLiteral("view-histogram.png")));
    const bool list = grabTab(window, 3, out.filePath(QStringLiteral("view-datalist.png")));
    window.selectTab(1);
    window.referenceBar()->btnHold()->click();
    window.setBlock(noisierWithSpur(window.document().block()));
    const bool reference = grabTab(window, 1, out.filePath(QStringLiteral("view-fft-reference.png")));
    if (!(scope && cursors && fft && histogram && list && reference)) {
        err << "kz-grab-views: cannot write the pictures into " << out.path() << '\n';
        return 1;
    }
    return 0;
}
