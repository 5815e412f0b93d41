// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileHeader.h"
#include "DataFileLoader.h"
#include "DataFormat.h"
#include "TimeStatistics.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

class Plot;
class QButtonGroup;
class QLabel;
class QListWidget;
class QRadioButton;
class QStatusBar;

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

    double SNR() const { return m_snr; }
    double SINAD() const { return m_sinad; }
    double THD() const { return m_thd; }
    double SFDR() const { return m_sfdr; }
    double StdDeviation() const { return m_stats.stdDeviation; }
    double Mean() const { return m_stats.mean; }
    double Maximum() const { return m_stats.maximum; }
    double Minimum() const { return m_stats.minimum; }

    // Retitles the window for the current view, analyses and redraws.
    void UpdatePlot();
    // Copies the samples; changes nothing else (the result flags stay as they are).
    void LoadData(std::span<const std::int32_t> ArrayPointer);
    // Writes what the current view shows to a data file the user picks.
    void SaveData();
    // Loads a time-domain data file the user picks; a refused file changes nothing.
    void OpenFile();

    std::int16_t currentView() const { return m_view; }
    Plot *plot() const { return m_plot; }
    QString statusText(int panel) const;
    bool statusBarShown() const;
    QRadioButton *optDataFormat(int index) const;
    QListWidget *lstDataList() const { return m_dataList; }

signals:
    void CalcStatus();

private:
    enum Flag { TimeValid, FftValid, HistogramValid, DataListFilled, FlagCount };

    void clearFlags();
    void raiseProgress(std::int32_t progress);
    void runAnalysisPass();
    void writeTimeStatusTexts();
    void setStatusText(int panel, const QString &text);
    // The first selected data-format option, or -1 when none is selected.
    int selectedDataFormat() const;
    CodeScale codeScale() const;
    void feedGraph();
    void feedTimeDomain();
    // The samples that are analysed: the first numPoints of the loaded block.
    std::span<const std::int32_t> validSamples() const;
    DataFileHeader fileHeader() const;
    QByteArray dataFileContent() const;
    void takeLoadedBlock(DataFileLoader::Block block);

    Plot *m_plot;
    QListWidget *m_dataList;
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

    TimeStatistics m_stats;
    double m_snr = 0, m_sinad = 0, m_thd = 0, m_sfdr = 0;
    std::int32_t m_calcMax = 0;
    std::int32_t m_calcProgress = 0;
    std::array<bool, FlagCount> m_valid{};
};
