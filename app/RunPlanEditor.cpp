// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunPlanEditor.h"

#include "FftWindow.h"
#include "MetricOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <cmath>

namespace {

enum FigureChoice { NoiseOnly, ToneOnly, NoiseAndTone };

// "1, 2, 4" in the numbers' own notation ('.' decimals): lists are the same
// in every locale, as on the command line.
QString listText(const QList<double> &values)
{
    QStringList items;
    for (double value : values)
        items << QString::number(value, 'g', 10);
    return items.join(QStringLiteral(", "));
}

std::optional<QList<double>> numbersOf(const QString &text)
{
    QList<double> values;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double value = item.trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        values << value;
    }
    return values;
}

QString durationText(double seconds)
{
    const qint64 minutes = std::llround(seconds / 60);
    if (seconds < 90)
        return QStringLiteral("about %1 s").arg(std::llround(seconds));
    if (minutes < 90)
        return QStringLiteral("about %1 min").arg(minutes);
    return QStringLiteral("about %1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

RunPlanEditor::RunPlanEditor(QWidget *parent)
    : QWidget(parent)
    , m_averaging(new QLineEdit(this))
    , m_rates(new QLineEdit(this))
    , m_vref(new QDoubleSpinBox(this))
    , m_samples(new QSpinBox(this))
    , m_blocks(new QSpinBox(this))
    , m_settle(new QSpinBox(this))
    , m_figures(new QComboBox(this))
    , m_window(new QComboBox(this))
    , m_bins(new QSpinBox(this))
    , m_harmonics(new QSpinBox(this))
    , m_normalize(new QCheckBox(QStringLiteral("0 dB at the highest level"), this))
    , m_estimate(new QLabel(this))
{
    auto *form = new QFormLayout(this);
    auto *channelRow = new QHBoxLayout;
    for (int channel = BoardSetup::MinChannel; channel <= BoardSetup::MaxChannel; ++channel) {
        auto *box = new QCheckBox(QStringLiteral("CH%1").arg(channel), this);
        m_channels << box;
        channelRow->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &RunPlanEditor::planChanged);
    }
    form->addRow(QStringLiteral("Inputs:"), channelRow);
    m_averaging->setToolTip(QStringLiteral("Averaging settings 0 to 15 (2^n conversions a sample), comma-separated"));
    form->addRow(QStringLiteral("Averaging:"), m_averaging);
    m_rates->setToolTip(QStringLiteral("Rates in Hz, comma-separated, in the order they are run"));
    form->addRow(QStringLiteral("Rates (Hz):"), m_rates);
    m_vref->setRange(BoardSetup::MinVref, BoardSetup::MaxVref);
    m_vref->setDecimals(3);
    m_vref->setSuffix(QStringLiteral(" V"));
    form->addRow(QStringLiteral("Reference:"), m_vref);
    m_samples->setRange(8, 43690);
    form->addRow(QStringLiteral("Samples per block:"), m_samples);
    m_blocks->setRange(1, RunPlan::MaxBlocks);
    form->addRow(QStringLiteral("Blocks per point:"), m_blocks);
    m_settle->setRange(0, RunPlan::MaxSettleBlocks);
    form->addRow(QStringLiteral("Settling blocks:"), m_settle);
    m_figures->addItems({QStringLiteral("Noise"), QStringLiteral("Tone"), QStringLiteral("Noise and tone")});
    form->addRow(QStringLiteral("Figures:"), m_figures);
    for (int i = 0; i < FftWindows::Count; ++i)
        m_window->addItem(FftWindows::caption(FftWindows::fromIndex(i)));
    form->addRow(QStringLiteral("FFT window:"), m_window);
    m_bins->setRange(MetricOptions::NumBinsRange.low - 1, MetricOptions::NumBinsRange.high);
    m_bins->setSingleStep(2);
    m_bins->setSpecialValueText(QStringLiteral("Auto"));
    form->addRow(QStringLiteral("Signal bins:"), m_bins);
    m_harmonics->setRange(MetricOptions::NumHarmonicsRange.low, MetricOptions::NumHarmonicsRange.high);
    form->addRow(QStringLiteral("Harmonics:"), m_harmonics);
    form->addRow(QString(), m_normalize);
    form->addRow(QStringLiteral("Duration:"), m_estimate);

    for (QLineEdit *edit : {m_averaging, m_rates})
        connect(edit, &QLineEdit::textChanged, this, &RunPlanEditor::planChanged);
    for (QSpinBox *box : {m_samples, m_blocks, m_settle, m_bins, m_harmonics})
        connect(box, &QSpinBox::valueChanged, this, &RunPlanEditor::planChanged);
    connect(m_vref, &QDoubleSpinBox::valueChanged, this, &RunPlanEditor::planChanged);
    for (QComboBox *box : {m_figures, m_window})
        connect(box, &QComboBox::currentIndexChanged, this, &RunPlanEditor::planChanged);
    connect(m_normalize, &QCheckBox::toggled, this, &RunPlanEditor::planChanged);
    connect(this, &RunPlanEditor::planChanged, this, &RunPlanEditor::showEstimate);
    setPlan(RunPlan());
}

void RunPlanEditor::setPlan(const RunPlan &plan)
{
    const QSignalBlocker blocker(this);
    for (int i = 0; i < m_channels.size(); ++i)
        m_channels[i]->setChecked(plan.channels.contains(i + BoardSetup::MinChannel));
    m_averaging->setText(listText(QList<double>(plan.averaging.begin(), plan.averaging.end())));
    m_rates->setText(listText(plan.rates));
    m_vref->setValue(plan.vref);
    m_samples->setValue(plan.samples);
    m_blocks->setValue(plan.blocks);
    m_settle->setValue(plan.settleBlocks);
    m_figures->setCurrentIndex(plan.noise && plan.tone ? NoiseAndTone : plan.tone ? ToneOnly : NoiseOnly);
    m_window->setCurrentIndex(int(plan.fft.window));
    m_bins->setValue(plan.fft.autoBins ? m_bins->minimum() : plan.fft.numBins);
    m_harmonics->setValue(plan.fft.numHarmonics);
    m_normalize->setChecked(plan.normalizeFft);
    showEstimate();
}

std::optional<RunPlan> RunPlanEditor::plan(QString *problem) const
{
    RunPlan plan;
    plan.channels.clear();
    for (int i = 0; i < m_channels.size(); ++i)
        if (m_channels[i]->isChecked())
            plan.channels << i + BoardSetup::MinChannel;
    const std::optional<QList<double>> averaging = numbersOf(m_averaging->text());
    const std::optional<QList<double>> rates = numbersOf(m_rates->text());
    if (!averaging || !rates) {
        if (problem)
            *problem = !averaging ? QStringLiteral("The averaging settings must be numbers separated by commas")
                                  : QStringLiteral("The rates must be numbers separated by commas");
        return std::nullopt;
    }
    plan.averaging.clear();
    for (double value : *averaging)
        plan.averaging << int(value);
    plan.rates = *rates;
    plan.vref = m_vref->value();
    plan.samples = m_samples->value();
    plan.blocks = m_blocks->value();
    plan.settleBlocks = m_settle->value();
    plan.noise = m_figures->currentIndex() != ToneOnly;
    plan.tone = m_figures->currentIndex() != NoiseOnly;
    plan.fft.window = FftWindows::fromIndex(m_window->currentIndex());
    plan.fft.autoBins = m_bins->value() == m_bins->minimum();
    if (!plan.fft.autoBins)
        plan.fft.numBins = MetricOptions::oddNumBins(m_bins->value());
    plan.fft.numHarmonics = m_harmonics->value();
    plan.normalizeFft = m_normalize->isChecked();
    return plan;
}

void RunPlanEditor::showEstimate()
{
    const std::optional<RunPlan> current = plan();
    if (!current || current->points().isEmpty()) {
        m_estimate->setText(QStringLiteral("-"));
        return;
    }
    m_estimate->setText(QStringLiteral("%1 points, %2 at %3 baud")
                            .arg(current->points().size())
                            .arg(durationText(current->estimatedSeconds()))
                            .arg(QLocale().toString(RunPlan::LineBaud)));
}
