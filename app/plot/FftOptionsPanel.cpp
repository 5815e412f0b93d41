// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftOptionsPanel.h"

#include "MetricOptions.h"
#include "NumericFieldFilter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    // Wraps within the column's width instead of setting it.
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    label->setSizePolicy(policy);
    return label;
}

} // namespace

FftOptionsPanel::FftOptionsPanel(QWidget *parent)
    : QWidget(parent), m_highestSignal(new QRadioButton(QStringLiteral("Highest Signal Level Found"))),
      m_fullScale(new QRadioButton(QStringLiteral("Full Scale Range"))), m_windowGroup(new QButtonGroup(this)),
      m_numBins(new QLineEdit(QLatin1String(MetricOptions::NumBinsStart))),
      m_autoBins(new QCheckBox(QStringLiteral("Auto"))),
      m_numHarm(new QLineEdit(QLatin1String(MetricOptions::NumHarmonicsStart))),
      m_dcSpectrum(new QCheckBox(QStringLiteral("DC Spectrum"))),
      m_harmonics(new QCheckBox(QStringLiteral("Harmonics"))),
      m_mainLobe(new QCheckBox(QStringLiteral("Main Lobe")))
{
    // One column, to stand beside the FFT graph; what is chosen most, the
    // window and the signal bins, on top.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);

    auto *frameFft = new QGroupBox(QStringLiteral("FFT Data Window"), this);
    auto *windowLayout = new QVBoxLayout(frameFft);
    for (int i = 0; i < FftWindows::Count; ++i) {
        m_windowOptions[i] = new QRadioButton(FftWindows::caption(FftWindows::fromIndex(i)), frameFft);
        m_windowGroup->addButton(m_windowOptions[i], i);
        windowLayout->addWidget(m_windowOptions[i]);
    }
    m_windowOptions[0]->setChecked(true);
    // The seven-term window's lobe needs its own NB: choosing it chooses Auto.
    connect(m_windowGroup, &QButtonGroup::idClicked, this, [this](int id) {
        if (FftWindows::fromIndex(id) == FftWindow::BlackmanHarris7)
            m_autoBins->setChecked(true);
    });
    layout->addWidget(frameFft);

    auto *frmCalc = new QGroupBox(QStringLiteral("Calculations"), this);
    auto *calcLayout = new QVBoxLayout(frmCalc);
    calcLayout->addWidget(wrappedLabel(QStringLiteral("Number of bins used for signal power calculation (1,3,5...51):"), frmCalc));
    auto *binsRow = new QHBoxLayout;
    binsRow->addWidget(m_numBins);
    binsRow->addWidget(m_autoBins);
    binsRow->addStretch(1);
    calcLayout->addLayout(binsRow);
    connect(m_autoBins, &QCheckBox::toggled, m_numBins, &QLineEdit::setDisabled);
    connect(m_autoBins, &QCheckBox::clicked, this, &FftOptionsPanel::autoBinsClicked);
    calcLayout->addWidget(wrappedLabel(QStringLiteral("Order of harmonics included (2...20):"), frmCalc));
    calcLayout->addWidget(m_numHarm);
    for (QLineEdit *field : {m_numBins, m_numHarm})
        field->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    new NumericFieldFilter(m_numBins, QLatin1String(MetricOptions::NumBinsStart), &MetricOptions::numBins);
    new NumericFieldFilter(m_numHarm, QLatin1String(MetricOptions::NumHarmonicsStart), &MetricOptions::numHarmonics);
    layout->addWidget(frmCalc);
    m_figuresRow = layout->count();

    auto *frame1 = new QGroupBox(QStringLiteral("Normalization"), this);
    auto *normalizationLayout = new QVBoxLayout(frame1);
    normalizationLayout->addWidget(wrappedLabel(QStringLiteral("0dB reference for FFT is:"), frame1));
    normalizationLayout->addWidget(m_highestSignal);
    normalizationLayout->addWidget(m_fullScale);
    m_fullScale->setChecked(true);
    connect(m_highestSignal, &QRadioButton::clicked, this, [this](bool checked) {
        if (checked)
            emit normalizationClicked(true);
    });
    connect(m_fullScale, &QRadioButton::clicked, this, [this](bool checked) {
        if (checked)
            emit normalizationClicked(false);
    });
    layout->addWidget(frame1);

    auto *frmDisplay = new QGroupBox(QStringLiteral("Display"), this);
    auto *displayLayout = new QVBoxLayout(frmDisplay);
    displayLayout->addWidget(new QLabel(QStringLiteral("Mark bins used for:"), frmDisplay));
    for (QCheckBox *box : {m_dcSpectrum, m_harmonics, m_mainLobe}) {
        displayLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &FftOptionsPanel::marksChanged);
    }
    layout->addWidget(frmDisplay);
    layout->addStretch(1);
}

void FftOptionsPanel::insertFigures(QWidget *figures)
{
    static_cast<QVBoxLayout *>(layout())->insertWidget(m_figuresRow, figures);
}

void FftOptionsPanel::showNormalization(bool highestSignal)
{
    (highestSignal ? m_highestSignal : m_fullScale)->setChecked(true);
}

QRadioButton *FftOptionsPanel::optWindow(int index) const
{
    return index >= 0 && index < FftWindows::Count ? m_windowOptions[index] : nullptr;
}

FftWindow FftOptionsPanel::selectedWindow() const
{
    for (int i = 0; i < FftWindows::Count; ++i)
        if (m_windowOptions[i]->isChecked())
            return FftWindows::fromIndex(i);
    return FftWindow::Rectangular;
}

int FftOptionsPanel::numBins() const
{
    return MetricOptions::numBins(m_numBins->text());
}

int FftOptionsPanel::numHarmonics() const
{
    return MetricOptions::numHarmonics(m_numHarm->text());
}

PlotDocument::FftOptions FftOptionsPanel::options() const
{
    return {selectedWindow(), numBins(), numHarmonics(),
            {m_dcSpectrum->isChecked(), m_mainLobe->isChecked(), m_harmonics->isChecked()}, m_autoBins->isChecked()};
}
