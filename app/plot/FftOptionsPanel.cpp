// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftOptionsPanel.h"

#include "MetricOptions.h"
#include "NumericFieldFilter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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

FftOptionsPanel::FftOptionsPanel(PlotDocument &document, QWidget *parent)
    : QWidget(parent), m_document(document),
      m_highestSignal(new QRadioButton(QStringLiteral("Highest Signal Level Found"))),
      m_fullScale(new QRadioButton(QStringLiteral("Full Scale Range"))), m_windowGroup(new QButtonGroup(this)),
      m_numBins(new QLineEdit(QString::number(MetricOptions::DefaultNumBins))),
      m_autoBins(new QCheckBox(QStringLiteral("Auto"))),
      m_numHarm(new QLineEdit(QString::number(MetricOptions::DefaultNumHarmonics))),
      m_dcSpectrum(new QCheckBox(QStringLiteral("DC Spectrum"))),
      m_harmonics(new QCheckBox(QStringLiteral("Harmonics"))),
      m_mainLobe(new QCheckBox(QStringLiteral("Main Lobe"))), m_yAxis(new QComboBox),
      m_normalization(new QGroupBox(QStringLiteral("Normalization")))
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
    connect(m_windowGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            edit([id](DocumentOptions &o) { o.fft.window = FftWindows::fromIndex(id); });
    });
    // The seven-term window's lobe needs its own NB: choosing it chooses Auto.
    connect(m_windowGroup, &QButtonGroup::idClicked, this, [this](int id) {
        if (FftWindows::fromIndex(id) == FftWindow::BlackmanHarris7)
            m_autoBins->setChecked(true);
        emit windowClicked();
    });
    layout->addWidget(frameFft);

    auto *frmCalc = new QGroupBox(QStringLiteral("Calculations"), this);
    auto *calcLayout = new QVBoxLayout(frmCalc);
    using MetricOptions::NumBinsRange, MetricOptions::NumHarmonicsRange;
    calcLayout->addWidget(wrappedLabel(
        QStringLiteral("Number of bins used for signal power calculation (1,3,5...%1):").arg(NumBinsRange.high), frmCalc));
    auto *binsRow = new QHBoxLayout;
    binsRow->addWidget(m_numBins);
    binsRow->addWidget(m_autoBins);
    binsRow->addStretch(1);
    calcLayout->addLayout(binsRow);
    connect(m_autoBins, &QCheckBox::toggled, this, [this](bool on) {
        m_numBins->setDisabled(on);
        edit([on](DocumentOptions &o) { o.fft.autoBins = on; });
    });
    connect(m_autoBins, &QCheckBox::clicked, this, &FftOptionsPanel::windowClicked);
    calcLayout->addWidget(wrappedLabel(
        QStringLiteral("Order of harmonics included (%1...%2):").arg(NumHarmonicsRange.low).arg(NumHarmonicsRange.high),
        frmCalc));
    calcLayout->addWidget(m_numHarm);
    for (QLineEdit *field : {m_numBins, m_numHarm})
        field->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    new NumericFieldFilter(m_numBins, m_numBins->text(), &MetricOptions::numBins);
    new NumericFieldFilter(m_numHarm, m_numHarm->text(), &MetricOptions::numHarmonics);
    // A typed value counts as its field's check makes it, also before the check runs.
    connect(m_numBins, &QLineEdit::textChanged, this, [this](const QString &text) {
        edit([n = MetricOptions::numBins(text)](DocumentOptions &o) { o.fft.numBins = n; });
    });
    connect(m_numHarm, &QLineEdit::textChanged, this, [this](const QString &text) {
        edit([n = MetricOptions::numHarmonics(text)](DocumentOptions &o) { o.fft.numHarmonics = n; });
    });
    layout->addWidget(frmCalc);
    m_figuresRow = layout->count();

    auto *normalizationLayout = new QVBoxLayout(m_normalization);
    normalizationLayout->addWidget(wrappedLabel(QStringLiteral("0dB reference for FFT is:"), m_normalization));
    normalizationLayout->addWidget(m_highestSignal);
    normalizationLayout->addWidget(m_fullScale);
    connect(m_highestSignal, &QRadioButton::toggled, this, [this](bool on) {
        edit([on](DocumentOptions &o) { o.normalizeFft = on; });
    });
    connect(m_highestSignal, &QRadioButton::clicked, this, [this](bool checked) {
        if (checked)
            emit normalizationClicked(true);
    });
    connect(m_fullScale, &QRadioButton::clicked, this, [this](bool checked) {
        if (checked)
            emit normalizationClicked(false);
    });
    layout->addWidget(m_normalization);

    auto *frmDisplay = new QGroupBox(QStringLiteral("Display"), this);
    auto *displayLayout = new QVBoxLayout(frmDisplay);
    displayLayout->addWidget(new QLabel(QStringLiteral("Mark bins used for:"), frmDisplay));
    const auto markBox = [&](QCheckBox *box, bool FftMarks::Groups::*group) {
        displayLayout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, group](bool on) {
            edit([group, on](DocumentOptions &o) { o.fft.marks.*group = on; });
            emit marksChanged();
        });
    };
    markBox(m_dcSpectrum, &FftMarks::Groups::dcSpectrum);
    markBox(m_harmonics, &FftMarks::Groups::harmonics);
    markBox(m_mainLobe, &FftMarks::Groups::mainLobe);
    for (int i = 0; i < SpectrumUnits::Count; ++i)
        m_yAxis->addItem(SpectrumUnits::caption(SpectrumUnits::fromIndex(i)));
    // The longest caption would widen the column; the list shows it whole.
    m_yAxis->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_yAxis->setMinimumContentsLength(10);
    auto *unitRow = new QHBoxLayout;
    unitRow->addWidget(new QLabel(QStringLiteral("Y axis:"), frmDisplay));
    unitRow->addWidget(m_yAxis, 1);
    displayLayout->addLayout(unitRow);
    connect(m_yAxis, &QComboBox::currentIndexChanged, this, [this](int index) {
        const SpectrumUnit unit = SpectrumUnits::fromIndex(index);
        if (unit == m_document.options().fft.unit)
            return; // the panel showing the document's options
        edit([unit](DocumentOptions &o) { o.fft.unit = unit; });
        emit unitChanged();
    });
    layout->addWidget(frmDisplay);
    layout->addStretch(1);

    showOptions();
    connect(&m_document, &PlotDocument::optionsChanged, this, &FftOptionsPanel::showOptions);
}

void FftOptionsPanel::edit(const std::function<void(DocumentOptions &)> &change)
{
    DocumentOptions options = m_document.options();
    change(options);
    m_document.setOptions(options);
}

void FftOptionsPanel::showOptions()
{
    const DocumentOptions::Fft &fft = m_document.options().fft;
    m_windowOptions[static_cast<std::size_t>(fft.window)]->setChecked(true);
    // A field keeps what the user typed while it counts as the value held.
    if (MetricOptions::numBins(m_numBins->text()) != fft.numBins)
        m_numBins->setText(QString::number(fft.numBins));
    if (MetricOptions::numHarmonics(m_numHarm->text()) != fft.numHarmonics)
        m_numHarm->setText(QString::number(fft.numHarmonics));
    m_autoBins->setChecked(fft.autoBins);
    (m_document.NormalizeFFT() ? m_highestSignal : m_fullScale)->setChecked(true);
    m_dcSpectrum->setChecked(fft.marks.dcSpectrum);
    m_mainLobe->setChecked(fft.marks.mainLobe);
    m_harmonics->setChecked(fft.marks.harmonics);
    m_yAxis->setCurrentIndex(static_cast<int>(fft.unit));
    // The other units are absolute: the 0 dB reference leaves them alone.
    const bool referenced = fft.unit == SpectrumUnit::DbFullScale;
    m_normalization->setEnabled(referenced);
    m_normalization->setToolTip(referenced ? QString()
                                           : QStringLiteral("The 0 dB reference applies to \"%1\" only")
                                                 .arg(SpectrumUnits::caption(SpectrumUnit::DbFullScale)));
}

void FftOptionsPanel::insertFigures(QWidget *figures)
{
    static_cast<QVBoxLayout *>(layout())->insertWidget(m_figuresRow, figures);
}

QRadioButton *FftOptionsPanel::optWindow(int index) const
{
    return index >= 0 && index < FftWindows::Count ? m_windowOptions[index] : nullptr;
}

