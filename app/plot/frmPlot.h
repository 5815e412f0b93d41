// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftOptionsPanel.h"
#include "FiguresPanel.h"
#include "PlotDocument.h"
#include "PrintCommands.h"
#include "ViewGraph.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class CollapsibleSidePanel;
class FftAveragingBar;
class GraphToolsBar;
class Plot;
class ReferenceBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class DataListPage;
class QListView;
class QRadioButton;
class QStatusBar;
class QTabWidget;

// A plot window: shows a document (one sample block with its analysis) in four
// views, with the FFT options, the data formats and the four status panels.
// Long computations report progress through CalcStatus (read CalcMax and
// CalcProgress in the handler). The block's properties and results are the
// document's, offered here under their usual names.
class frmPlot : public QWidget
{
    Q_OBJECT

public:
    using View = PlotDocument::View;
    using enum PlotDocument::View;

    explicit frmPlot(QWidget *parent = nullptr);
    ~frmPlot() override;

    PlotDocument &document() { return m_document; }
    const PlotDocument &document() const { return m_document; }

    std::int32_t CalcMax() const { return m_document.CalcMax(); }
    std::int32_t CalcProgress() const { return m_document.CalcProgress(); }

    // Every assignment below clears the four result-valid flags, even one that
    // assigns the value already held.
    QString DeviceID() const { return m_document.block().deviceId; }
    void setDeviceID(const QString &value) { m_document.setDeviceID(value); }
    double LSBSize() const { return m_document.block().lsbSize; }
    void setLSBSize(double value) { m_document.setLSBSize(value); }
    bool NormalizeFFT() const { return m_document.NormalizeFFT(); }
    void setNormalizeFFT(bool value) { m_document.setNormalizeFFT(value); }
    std::int16_t NumBits() const { return m_document.block().numBits; }
    void setNumBits(std::int16_t value) { m_document.setNumBits(value); }
    std::int32_t numPoints() const { return m_document.numPoints(); }
    void setnumPoints(std::int32_t value) { m_document.setnumPoints(value); }
    void setSampleFreq(double value) { m_document.setSampleFreq(value); }

    // 999999999 for a metric left uncomputed for lack of signal, noise or spur.
    double SNR() const { return m_document.metrics().snr; }
    double SINAD() const { return m_document.metrics().sinad; }
    double THD() const { return m_document.metrics().thd; }
    double SFDR() const { return m_document.metrics().sfdr; }
    double StdDeviation() const { return m_document.statistics().stdDeviation; }
    double Mean() const { return m_document.statistics().mean; }
    double Maximum() const { return m_document.statistics().maximum; }
    double Minimum() const { return m_document.statistics().minimum; }

    // Makes the FFT view current (recomputing when its results are out of
    // date) and returns its n levels in dB: PassArray becomes n + 1 long, index
    // b holds bin b for b = 0 .. n - 1 and index n is 0. With no FFT (no
    // samples) PassArray holds the single 0.
    void GetFFTData(std::vector<double> &PassArray);
    // Retitles the window for the current view, analyses and redraws.
    void UpdatePlot();
    // Copies the samples; changes nothing else (the result flags stay as they are).
    void LoadData(std::span<const std::int32_t> ArrayPointer) { m_document.LoadData(ArrayPointer); }
    // Takes a whole block: its device, scale, count and rate, then its samples.
    void setBlock(const SampleBlock &block) { m_document.setBlock(block); }
    // Writes what the current view shows to a data file the user picks.
    void SaveData();
    // Loads a time-domain data file the user picks; a refused file changes nothing.
    void OpenFile();
    // Loads the time-domain data file at path, as OpenFile does after its dialog.
    void openFile(const QString &path);
    // The name of the data file the block came from, empty for an acquired one.
    QString fileName() const;

    // Prints the graph on the printer chosen in Page Setup, with the view's
    // figures in the subtitle (time domain: Min, Max, Mean, StdDev; FFT: SNR,
    // SINAD, THD, SFDR). Without a printer it offers a PDF file instead.
    void PrintGraph() { m_printCommands->print(); }
    // Asks for a file and writes the graph as PNG, SVG or PDF by its extension,
    // rendered as a printout is.
    void ExportGraph() { m_printCommands->exportGraph(); }
    // The same to path, laid out for size pixels; false with a message.
    bool exportGraph(const QString &path, const QSize &size, QString *error)
    {
        return m_printCommands->exportTo(path, size, error);
    }

    // Selects tab index of SSTab1 (0 Scope, 1 FFT, 2 Histogram, 3 Data List)
    // and shows its view, also when the tab is already selected.
    void selectTab(int index);
    // The view switch: marks results out of date as needed, keeps the graph
    // style of the view left, makes view current and runs UpdatePlot. The tab
    // strip does not move.
    void showView(View view);
    std::int16_t currentView() const { return m_document.view(); }
    // The graph style of a graph view (the graph's own for the view on show);
    // a new style is used from the view's next drawing.
    ViewGraph::Style graphStyle(View view);
    void setGraphStyle(View view, const ViewGraph::Style &style);
    QTabWidget *SSTab1() const { return m_ssTab1; }
    // The FFT options beside the FFT graph, folded away or not.
    CollapsibleSidePanel *fftOptionsSide() const { return m_fftSide; }

    // Results of the other views, as the last computation left them.
    int fftLength() const { return m_document.spectrum().length(); }
    // FFT levels in dB, bin b at index b for b < fftLength().
    std::span<const double> fftLevels() const { return m_document.fftLevels(); }
    const LobeTables &lobeTables() const { return m_document.lobeTables(); }
    const ::Histogram &histogram() const { return m_document.histogram(); }
    QStringList dataListLines() const { return m_document.dataListLines(); }

    Plot *plot() const { return m_plot; }
    // The cursor readout and the time axis choice under the graph.
    GraphToolsBar *graphTools() const { return m_graphTools; }
    // The reference commands of the graph views.
    ReferenceBar *referenceBar() const { return m_referenceBar; }
    // Ctrl+C: in the data list the selected lines, in a graph view the cursor
    // readout, as text on the clipboard. Nothing selected leaves the clipboard.
    void copyToClipboard();
    QString statusText(int panel) const;
    bool statusBarShown() const;
    QRadioButton *optDataFormat(int index) const;
    QListView *lstDataList() const;
    // The FFT options' controls.
    QRadioButton *optWindow(int index) const { return m_fftOptions->optWindow(index); }
    QRadioButton *optHighestSignal() const { return m_fftOptions->optHighestSignal(); }
    QRadioButton *optFullScale0dB() const { return m_fftOptions->optFullScale0dB(); }
    QLineEdit *txtNumBins() const { return m_fftOptions->txtNumBins(); }
    QCheckBox *cbAutoBins() const { return m_fftOptions->cbAutoBins(); }
    QLineEdit *txtNumHarm() const { return m_fftOptions->txtNumHarm(); }
    QCheckBox *cbDCspect() const { return m_fftOptions->cbDCspect(); }
    QCheckBox *cbMainLobe() const { return m_fftOptions->cbMainLobe(); }
    QCheckBox *cbHarmonics() const { return m_fftOptions->cbHarmonics(); }
    QComboBox *cboYAxis() const { return m_fftOptions->cboYAxis(); }
    FftAveragingBar *averagingBar() const { return m_averagingBar; }
    // The figures beside the time-domain and the FFT graph, and the
    // histogram's normal curve toggle.
    FiguresPanel *noisePanel() const { return m_noisePanel; }
    FiguresPanel *tonePanel() const { return m_tonePanel; }
    QCheckBox *cbNormalCurve() const { return m_cbNormalCurve; }

signals:
    void CalcStatus();
    // A file command succeeded: what was written where, for the status bar.
    void commandDone(const QString &text);
    // A data file was loaded: the plot windows' blocks may be analysed again,
    // as after an acquisition.
    void dataLoaded();

private:
    enum Tab { ScopeTab = 0, FftTab = 1, HistogramTab = 2, DataListTab = 3 };

    void buildLayout();
    void connectControls();
    // The FFT tab: the graph's page with the options beside it.
    QWidget *buildFftPage();
    // A window, the reference, the marks and the Y axis unit take effect at
    // once; the signal bins and harmonic order at the next analysis.
    void connectFftOptions();
    void redrawFftWithNewOptions();
    void SSTab1_Click(int index);
    // The FFT options are in sight: the FFT tab with its options unfolded.
    bool frameOptionsShown() const;
    void switchView(View view, bool optionsWereShown);
    // Puts the graph on the tab page of view.
    void placeGraph(View view);
    void showFigures();
    ViewGraph::Style *styleOf(std::int16_t view);
    // Runs the analysis pass and shows the status texts.
    void runAnalysisPass();
    // Feeds the graph the current view from the kept results.
    void drawGraph();

    PlotDocument m_document;
    Plot *m_plot;
    PrintCommands *m_printCommands;
    GraphToolsBar *m_graphTools;
    ReferenceBar *m_referenceBar;
    QTabWidget *m_ssTab1;
    std::array<QWidget *, 3> m_graphPages{};  // Scope, FFT, Histogram
    int m_shownTab = ScopeTab;
    FftOptionsPanel *m_fftOptions;
    FftAveragingBar *m_averagingBar;
    FiguresPanel *m_noisePanel;
    FiguresPanel *m_tonePanel;
    QCheckBox *m_cbNormalCurve;
    CollapsibleSidePanel *m_fftSide = nullptr;
    DataListPage *m_dataListPage;
    QStatusBar *m_statusBar;
    std::array<QLabel *, 4> m_statusPanels{};
    std::array<ViewGraph::Style, 3> m_styles{ViewGraph::defaultStyle(TimeDomain), ViewGraph::defaultStyle(FFTPlot),
                                             ViewGraph::defaultStyle(Histogram)};
};
