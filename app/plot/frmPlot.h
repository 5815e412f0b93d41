// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileHeader.h"
#include "DataFileLoader.h"
#include "DataFormat.h"
#include "Histogram.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"
#include "TimeStatistics.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

class FftOptionsPanel;
class Plot;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QRadioButton;
class QStatusBar;
class QStringListModel;
class QTabWidget;

// A plot window: holds one sample block with its parameters, analyses it for
// the current view, keeps the results until the inputs change, and draws them.
// Long computations report progress through CalcStatus (read CalcMax and
// CalcProgress in the handler).
class frmPlot : public QWidget
{
    Q_OBJECT

public:
    enum View : std::int16_t { TimeDomain = 1, FFTPlot = 2, Histogram = 3, DataList = 4 };
    static constexpr auto UnspecifiedDevice = "Unspecified Device Name";

    explicit frmPlot(QWidget *parent = nullptr);
    ~frmPlot() override;

    std::int32_t CalcMax() const { return m_calcMax; }
    std::int32_t CalcProgress() const { return m_calcProgress; }

    // Every assignment below clears the four result-valid flags, even one that
    // assigns the value already held.
    QString DeviceID() const { return m_deviceId; }
    void setDeviceID(const QString &value);
    double LSBSize() const { return m_lsbSize; }
    void setLSBSize(double value);
    bool NormalizeFFT() const { return m_normalizeFft; }
    void setNormalizeFFT(bool value);
    std::int16_t NumBits() const { return m_numBits; }
    void setNumBits(std::int16_t value);
    std::int32_t numPoints() const { return m_numPoints; }
    void setnumPoints(std::int32_t value);
    void setSampleFreq(double value);

    // 999999999 for a metric left uncomputed for lack of signal, noise or spur.
    double SNR() const { return m_metrics.snr; }
    double SINAD() const { return m_metrics.sinad; }
    double THD() const { return m_metrics.thd; }
    double SFDR() const { return m_metrics.sfdr; }
    double StdDeviation() const { return m_stats.stdDeviation; }
    double Mean() const { return m_stats.mean; }
    double Maximum() const { return m_stats.maximum; }
    double Minimum() const { return m_stats.minimum; }

    // Makes the FFT view current (recomputing when its results are out of
    // date) and returns its n levels in dB: PassArray becomes n + 1 long, index
    // b holds bin b for b = 0 .. n - 1 and index n is 0. With no FFT (no
    // samples) PassArray holds the single 0.
    void GetFFTData(std::vector<double> &PassArray);
    // Retitles the window for the current view, analyses and redraws.
    void UpdatePlot();
    // Copies the samples; changes nothing else (the result flags stay as they are).
    void LoadData(std::span<const std::int32_t> ArrayPointer);
    // Writes what the current view shows to a data file the user picks.
    void SaveData();
    // Loads a time-domain data file the user picks; a refused file changes nothing.
    void OpenFile();

    // Prints the graph on the printer chosen in Page Setup, with the view's
    // figures in the subtitle (time domain: Min, Max, Mean, StdDev; FFT: SNR,
    // SINAD, THD, SFDR). Without a printer it offers a PDF file instead.
    void PrintGraph();
    // Asks for a file and writes the graph as PNG, SVG or PDF by its extension,
    // rendered as a printout is.
    void ExportGraph();
    // The same to path, laid out for size pixels; false with a message.
    bool exportGraph(const QString &path, const QSize &size, QString *error);

    // Selects tab index of SSTab1 (0 Scope, 1 FFT, 2 Histogram, 3 Data List)
    // and shows its view, also when the tab is already selected.
    void selectTab(int index);
    // The view switch: marks results out of date as needed, keeps the graph
    // style of the view left, makes view current and runs UpdatePlot. The tab
    // strip does not move.
    void showView(View view);
    std::int16_t currentView() const { return m_view; }
    QTabWidget *SSTab1() const { return m_ssTab1; }
    QTabWidget *SSTab2() const { return m_ssTab2; }

    // Results of the other views, as the last computation left them.
    int fftLength() const { return m_spectrum.length(); }
    // FFT levels in dB, bin b at index b for b < fftLength().
    std::span<const double> fftLevels() const { return m_spectrum.levels(); }
    const LobeTables &lobeTables() const { return m_lobes; }
    const ::Histogram &histogram() const { return m_histogram; }
    QStringList dataListLines() const;

    Plot *plot() const { return m_plot; }
    QString statusText(int panel) const;
    bool statusBarShown() const;
    QRadioButton *optDataFormat(int index) const;
    QListView *lstDataList() const { return m_dataList; }
    QRadioButton *optWindow(int index) const;
    QRadioButton *optHighestSignal() const;
    QRadioButton *optFullScale0dB() const;
    QLineEdit *txtNumBins() const;
    QLineEdit *txtNumHarm() const;
    QCheckBox *cbDCspect() const;
    QCheckBox *cbMainLobe() const;
    QCheckBox *cbHarmonics() const;

signals:
    void CalcStatus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Flag { TimeValid, FftValid, HistogramValid, DataListFilled, FlagCount };
    enum Tab { ScopeTab = 0, FftTab = 1, HistogramTab = 2, DataListTab = 3 };
    enum SubTab { DisplayTab = 0, OptionsTab = 1 };
    // The graph's plotting method and its two style settings at index 0.
    struct ViewStyle {
        std::int32_t method = 0;
        std::int16_t pointType = 0;
        std::int16_t lineType = 1;
    };

    void buildLayout();
    QWidget *buildDataListPage();
    void connectControls();
    void SSTab1_Click(int index);
    bool frameOptionsShown() const;
    void switchView(View view, bool optionsWereShown);
    // Puts the graph on the tab page of view.
    void placeGraph(View view);
    void layOutStatusPanels();
    ViewStyle *styleOf(std::int16_t view);
    void Plot_DataPointClicked(int series, int point);
    void Plot_CursorMoved();
    void putMarker(int point);
    void setPrintFigures();

    void clearFlags();
    void raiseProgress(std::int32_t progress);
    void runAnalysisPass();
    // The loaded samples, at most numPoints of them.
    std::span<const std::int32_t> blockSamples() const;
    void computeTimeStatistics();
    void computeFft();
    void showFftMarks();
    void fillDataList();
    void writeTimeStatusTexts();
    void setStatusText(int panel, const QString &text);
    // The first selected data-format option, or -1 when none is selected.
    int selectedDataFormat() const;
    CodeScale codeScale() const;
    void feedGraph();
    void feedTimeDomain();
    void feedFft();
    void feedHistogram();
    DataFileHeader fileHeader() const;
    QByteArray dataFileContent() const;
    void takeLoadedBlock(DataFileLoader::Block block);

    Plot *m_plot;
    QTabWidget *m_ssTab1;
    QTabWidget *m_ssTab2;
    std::array<QWidget *, 3> m_graphPages{};  // Scope, FFT Display, Histogram
    int m_shownTab = ScopeTab;
    FftOptionsPanel *m_fftOptions;
    QListView *m_dataList;
    QStringListModel *m_dataListModel;
    QButtonGroup *m_dataFormatGroup;
    std::array<QRadioButton *, 4> m_dataFormatOptions{};
    QStatusBar *m_statusBar;
    std::array<QLabel *, 4> m_statusPanels{};

    std::vector<std::int32_t> m_samples;
    std::int32_t m_numPoints = 0;
    double m_sampleFreq = 1.0;
    std::int16_t m_numBits = 0;
    double m_lsbSize = 0;
    QString m_deviceId = QString::fromLatin1(UnspecifiedDevice);
    bool m_normalizeFft = false;
    std::int16_t m_view = TimeDomain;
    std::array<ViewStyle, 3> m_styles{ViewStyle{}, ViewStyle{}, ViewStyle{10, 0, 1}};

    TimeStatistics m_stats;
    SpectralMetrics m_metrics{.snr = 0, .sinad = 0, .thd = 0, .sfdr = 0};
    // Working tables, allocated once with the window.
    Spectrum m_spectrum;
    LobeTables m_lobes;
    ::Histogram m_histogram;  // the class, not the view
    std::int32_t m_calcMax = 0;
    std::int32_t m_calcProgress = 0;
    std::array<bool, FlagCount> m_valid{};
};
