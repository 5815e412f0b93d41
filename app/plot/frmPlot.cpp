// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmPlot.h"

#include "AppState.h"
#include "DataList.h"
#include "FftMarks.h"
#include "FftOptionsPanel.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "UserMessage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <cmath>

frmPlot::frmPlot(QWidget *parent)
    : QWidget(parent), m_plot(new Plot), m_ssTab1(new QTabWidget(this)), m_ssTab2(new QTabWidget),
      m_fftOptions(new FftOptionsPanel), m_dataList(new QListView), m_dataListModel(new QStringListModel(this)),
      m_dataFormatGroup(new QButtonGroup(this)), m_statusBar(new QStatusBar(this))
{
    buildLayout();
    connectControls();
}

frmPlot::~frmPlot() = default;

void frmPlot::clearFlags()
{
    m_valid.fill(false);
}

void frmPlot::setDeviceID(const QString &value)
{
    m_deviceId = value;
    clearFlags();
}

void frmPlot::setLSBSize(double value)
{
    m_lsbSize = value;
    clearFlags();
}

void frmPlot::setNormalizeFFT(bool value)
{
    m_normalizeFft = value;
    m_fftOptions->showNormalization(value);
    clearFlags();
}

void frmPlot::setNumBits(std::int16_t value)
{
    m_numBits = value;
    clearFlags();
}

void frmPlot::setnumPoints(std::int32_t value)
{
    m_numPoints = value;
    clearFlags();
}

void frmPlot::setSampleFreq(double value)
{
    m_sampleFreq = value;
    clearFlags();
}

void frmPlot::LoadData(std::span<const std::int32_t> ArrayPointer)
{
    m_samples.assign(ArrayPointer.begin(), ArrayPointer.end());
}

QRadioButton *frmPlot::optWindow(int index) const
{
    return m_fftOptions->optWindow(index);
}

QRadioButton *frmPlot::optHighestSignal() const
{
    return m_fftOptions->optHighestSignal();
}

QRadioButton *frmPlot::optFullScale0dB() const
{
    return m_fftOptions->optFullScale0dB();
}

QLineEdit *frmPlot::txtNumBins() const
{
    return m_fftOptions->txtNumBins();
}

QLineEdit *frmPlot::txtNumHarm() const
{
    return m_fftOptions->txtNumHarm();
}

QCheckBox *frmPlot::cbDCspect() const
{
    return m_fftOptions->cbDCspect();
}

QCheckBox *frmPlot::cbMainLobe() const
{
    return m_fftOptions->cbMainLobe();
}

QCheckBox *frmPlot::cbHarmonics() const
{
    return m_fftOptions->cbHarmonics();
}

QStringList frmPlot::dataListLines() const
{
    return m_dataListModel->stringList();
}

QString frmPlot::statusText(int panel) const
{
    return panel >= 1 && panel <= 4 ? m_statusPanels[panel - 1]->text() : QString();
}

bool frmPlot::statusBarShown() const
{
    return !m_statusBar->isHidden();
}

QRadioButton *frmPlot::optDataFormat(int index) const
{
    return index >= 0 && index < 4 ? m_dataFormatOptions[index] : nullptr;
}

void frmPlot::setStatusText(int panel, const QString &text)
{
    m_statusPanels[panel - 1]->setText(text);
}

void frmPlot::raiseProgress(std::int32_t progress)
{
    m_calcProgress = progress;
    emit CalcStatus();
}

void frmPlot::GetFFTData(std::vector<double> &PassArray)
{
    showView(FFTPlot);
    const int n = m_spectrum.length();
    PassArray.assign(static_cast<std::size_t>(n) + 1, 0.0);
    std::copy_n(m_spectrum.levels().begin(), n, PassArray.begin());
}

void frmPlot::UpdatePlot()
{
    static const char *suffixes[] = {": Time Domain", ": Fast Fourier Transform", ": Histogram", ": Data List"};
    if (m_view >= TimeDomain && m_view <= DataList)
        setWindowTitle(m_deviceId + QLatin1String(suffixes[m_view - 1]));
    runAnalysisPass();
    feedGraph();
}

void frmPlot::runAnalysisPass()
{
    m_plot->clearAnnotations();
    for (int panel = 1; panel <= 4; ++panel)
        setStatusText(panel, QString());
    if (!AppState::DataReady()) {
        raiseProgress(0);
        return;
    }
    m_calcMax = m_numPoints / 8;
    raiseProgress(0);
    switch (m_view) {
    case TimeDomain:
        m_statusBar->show();
        if (!m_valid[TimeValid])
            computeTimeStatistics();
        writeTimeStatusTexts();
        break;
    case FFTPlot:
        m_statusBar->show();
        if (!m_valid[FftValid])
            computeFft();
        showFftMarks();
        break;
    case Histogram:
        m_statusBar->hide();
        if (!m_valid[HistogramValid]) {
            m_histogram.compute(blockSamples(), [this](std::int32_t p) { raiseProgress(p); });
            m_stats.minimum = m_histogram.minimum();
            m_stats.maximum = m_histogram.maximum();
            m_valid[HistogramValid] = true;
        }
        break;
    case DataList:
        m_statusBar->hide();
        if (!m_valid[DataListFilled])
            fillDataList();
        break;
    default:
        break;
    }
    raiseProgress(0);
}

std::span<const std::int32_t> frmPlot::blockSamples() const
{
    // Never read past the block that was actually loaded.
    const auto count = static_cast<std::size_t>(
        std::clamp<std::int64_t>(m_numPoints, 0, static_cast<std::int64_t>(m_samples.size())));
    return std::span(m_samples).first(count);
}

void frmPlot::computeTimeStatistics()
{
    m_stats = TimeStatistics::compute(blockSamples(), m_numBits, [this](std::int32_t p) { raiseProgress(p); });
    m_valid[TimeValid] = true;
}

void frmPlot::computeFft()
{
    const auto status = m_spectrum.compute(blockSamples(), m_fftOptions->selectedWindow(), m_normalizeFft,
                                           m_numBits, [this](std::int32_t p) { raiseProgress(p); });
    if (status == Spectrum::TransformStatus::LengthNotPowerOfTwo)
        UserMessage::show(this, QLatin1String(Spectrum::LengthMessage));
    const auto n = static_cast<std::size_t>(m_spectrum.length());
    m_metrics = SpectralMetrics::compute(m_spectrum.bins().first(n), m_fftOptions->numBins(),
                                         m_fftOptions->numHarmonics(), m_lobes);
    m_valid[FftValid] = true;
}

void frmPlot::showFftMarks()
{
    const FftMarks::Groups groups{cbDCspect()->isChecked(), cbMainLobe()->isChecked(),
                                  cbHarmonics()->isChecked()};
    const auto marks = FftMarks::marks(groups, m_lobes, m_spectrum.levels(), m_spectrum.length(),
                                       m_sampleFreq, m_fftOptions->numBins(), m_fftOptions->numHarmonics());
    for (const FftMarks::Mark &mark : marks)
        m_plot->setAnnotation(mark.index, {mark.x, mark.y, mark.color, Plot::SymbolMark, mark.text});
    const QStringList texts = FftMarks::statusTexts(m_metrics, NumberFormat::screenSeparator());
    for (int panel = 1; panel <= 4; ++panel)
        setStatusText(panel, texts.at(panel - 1));
}

void frmPlot::fillDataList()
{
    const int format = selectedDataFormat();
    const auto lines = DataList::lines(
        blockSamples(), format < 0 ? std::nullopt : std::optional(static_cast<DataFormat>(format)),
        codeScale(), NumberFormat::screenSeparator(), [this](std::int32_t p) { raiseProgress(p); });
    m_dataListModel->setStringList(lines);
    m_valid[DataListFilled] = true;
}

int frmPlot::selectedDataFormat() const
{
    for (int i = 0; i < 4; ++i)
        if (m_dataFormatOptions[i]->isChecked())
            return i;
    return -1;
}

CodeScale frmPlot::codeScale() const
{
    return CodeScale{m_numBits, m_lsbSize};
}

void frmPlot::writeTimeStatusTexts()
{
    const QChar sep = NumberFormat::screenSeparator();
    const TimeStatistics &s = m_stats;
    switch (selectedDataFormat()) {
    case static_cast<int>(DataFormat::Integer):
        setStatusText(1, QStringLiteral("Std Dev (ppm): ") + NumberFormat::pattern(s.stdDeviation, 0, 4, sep));
        setStatusText(2, QStringLiteral("Mean: ") + NumberFormat::pattern(s.mean, 0, 4, sep));
        setStatusText(3, QStringLiteral("Maximum: ") + NumberFormat::general(s.maximum, sep));
        setStatusText(4, QStringLiteral("Minimum: ") + NumberFormat::general(s.minimum, sep));
        break;
    case static_cast<int>(DataFormat::Hexadecimal):
        setStatusText(1, QStringLiteral("Std Dev (ppm): ") + CodeText::hexadecimal(s.stdDeviation, m_numBits));
        setStatusText(2, QStringLiteral("Mean: ") + CodeText::hexadecimal(s.mean, m_numBits));
        setStatusText(3, QStringLiteral("Maximum: ") + CodeText::hexadecimal(s.maximum, m_numBits));
        setStatusText(4, QStringLiteral("Minimum: ") + CodeText::hexadecimal(s.minimum, m_numBits));
        break;
    case static_cast<int>(DataFormat::PercentOfFullScale):
        // Parts per million of full scale is already a fraction of full scale.
        setStatusText(1, QStringLiteral("Std Dev (ppm): ") + NumberFormat::pattern(s.stdDeviation, 0, 4, sep));
        setStatusText(2, QStringLiteral("Mean: ") + CodeText::percentOfFullScale(s.mean, m_numBits, sep));
        setStatusText(3, QStringLiteral("Maximum: ") + CodeText::percentOfFullScale(s.maximum, m_numBits, sep));
        setStatusText(4, QStringLiteral("Minimum: ") + CodeText::percentOfFullScale(s.minimum, m_numBits, sep));
        break;
    case static_cast<int>(DataFormat::ScaledByLsb): {
        // In volts, in general format: four decimals of a volt would hide any
        // real converter's noise.
        const double stdDevCodes = s.stdDeviation / 1000000.0 * std::ldexp(1.0, m_numBits);
        setStatusText(1, QStringLiteral("Std Dev: ") + NumberFormat::general(stdDevCodes * m_lsbSize, sep));
        setStatusText(2, QStringLiteral("Mean: ") + CodeText::scaledByLsb(s.mean, m_lsbSize, sep));
        setStatusText(3, QStringLiteral("Maximum: ") + CodeText::scaledByLsb(s.maximum, m_lsbSize, sep));
        setStatusText(4, QStringLiteral("Minimum: ") + CodeText::scaledByLsb(s.minimum, m_lsbSize, sep));
        break;
    }
    default:
        break;
    }
}
