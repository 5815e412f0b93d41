// SPDX-License-Identifier: GPL-3.0-or-later
#include "AcquisitionPanel.h"

#include "NumberFormat.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <bit>

AcquisitionPanel::AcquisitionPanel(QWidget *parent)
    : QWidget(parent), m_lblDriver(new QLabel(QStringLiteral("Driver Name"))),
      m_txtNumSamples(new QLineEdit(QStringLiteral("256"))), m_scrNumSamples(new QScrollBar(Qt::Vertical)),
      m_txtSampleRate(new QLineEdit), m_btnSetSampleRate(new QPushButton(QStringLiteral("Set"))),
      m_optSingleShot(new QRadioButton(QStringLiteral("Single Shot"))),
      m_optContinuous(new QRadioButton(QStringLiteral("Continuous"))),
      m_cmdAcquire(new QPushButton(QStringLiteral("Acquire"))), m_cmdStop(new QToolButton),
      m_progress(new QProgressBar), m_lblDuration(new QLabel), m_lblSampleCountNote(new QLabel)
{
    // A narrow column: each label above its field, notes wrapped under them,
    // so that the graph beside it gets the width.
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto *evm = new QGroupBox(QStringLiteral("EVM"));
    (new QVBoxLayout(evm))->addWidget(m_lblDriver);
    column->addWidget(evm);

    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12;
    m_txtNumSamples->setFixedWidth(fieldWidth);
    m_txtSampleRate->setFixedWidth(fieldWidth);
    showSampleRate(m_limits.defaultSampleRate);
    setScrollRange();
    m_scrNumSamples->setPageStep(1);
    m_scrNumSamples->setValue(12);
    m_scrNumSamples->setFixedHeight(m_txtNumSamples->sizeHint().height());
    // As wide as its word, not the platform's usual button width.
    m_btnSetSampleRate->setMaximumWidth(fontMetrics().horizontalAdvance(m_btnSetSampleRate->text()) + 24);

    column->addWidget(new QLabel(QStringLiteral("Number of Samples:")));
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(m_txtNumSamples);
    countRow->addWidget(m_scrNumSamples);
    countRow->addStretch(1);
    column->addLayout(countRow);
    column->addWidget(m_lblSampleCountNote);
    column->addWidget(new QLabel(QStringLiteral("Sample Data Rate:")));
    auto *rateRow = new QHBoxLayout;
    rateRow->addWidget(m_txtSampleRate);
    rateRow->addWidget(new QLabel(QStringLiteral("Hz")));
    rateRow->addWidget(m_btnSetSampleRate);
    column->addLayout(rateRow);
    column->addWidget(m_lblDuration);
    // The notes wrap within the column's width instead of widening it.
    QSizePolicy notePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    notePolicy.setHeightForWidth(true);
    for (QLabel *note : {m_lblSampleCountNote, m_lblDuration}) {
        note->setWordWrap(true);
        note->setSizePolicy(notePolicy);
    }
    m_lblSampleCountNote->hide();

    auto *mode = new QGroupBox(QStringLiteral("Acquisition Mode"));
    auto *modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(m_optSingleShot);
    modeLayout->addWidget(m_optContinuous);
    m_optSingleShot->setChecked(true);
    column->addWidget(mode);

    auto *buttons = new QHBoxLayout;
    m_cmdAcquire->setToolTip(QStringLiteral("performs one acquisition cycle"));
    m_cmdAcquire->setEnabled(false);
    m_cmdStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_cmdStop->setToolTip(QStringLiteral("Stops the acquisition (Esc)"));
    m_cmdStop->hide();
    buttons->addWidget(m_cmdAcquire, 1);
    buttons->addWidget(m_cmdStop);
    column->addLayout(buttons);
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    column->addWidget(m_progress);
    column->addStretch(1);
    setFixedWidth(sizeHint().width());

    connect(m_scrNumSamples, &QScrollBar::valueChanged, this, &AcquisitionPanel::scrNumSamples_Change);
    connect(m_txtNumSamples, &QLineEdit::editingFinished, this, &AcquisitionPanel::commitSampleCount);
    connect(m_btnSetSampleRate, &QPushButton::clicked, this, &AcquisitionPanel::sampleRateClicked);
    m_txtSampleRate->installEventFilter(this);
}

AcquisitionPanel::~AcquisitionPanel()
{
    // Closing the window takes the focus from the count field, whose
    // editingFinished would then commit into a panel half destroyed.
    m_txtNumSamples->disconnect(this);
}

namespace {

// The number at the start of a text, rounded half to even; 0 when there is none.
std::int32_t leadingCount(const QString &text)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const QRegularExpressionMatch match = leadingNumber.match(text);
    return NumberFormat::roundHalfEven32(match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0);
}

} // namespace

void AcquisitionPanel::commitSampleCount()
{
    const std::int32_t typed = leadingCount(m_txtNumSamples->text());
    const std::int32_t count = std::clamp(typed, m_limits.minSamples, m_limits.maxSamples);
    m_txtNumSamples->setText(QString::number(count));
    const QString note = typed == count ? QString()
                                        : QStringLiteral("The number of samples must be %1 to %2: %3 is used")
                                              .arg(m_limits.minSamples)
                                              .arg(m_limits.maxSamples)
                                              .arg(count);
    m_lblSampleCountNote->setText(note);
    m_lblSampleCountNote->setVisible(!note.isEmpty());
}

std::int32_t AcquisitionPanel::sampleCount() const
{
    return std::clamp(leadingCount(m_txtNumSamples->text()), m_limits.minSamples, m_limits.maxSamples);
}

std::optional<double> AcquisitionPanel::sampleRate() const
{
    bool ok = false;
    const double rate = m_txtSampleRate->text().toDouble(&ok);
    return ok ? std::optional<double>(rate) : std::nullopt;
}

void AcquisitionPanel::showSampleRate(double rate)
{
    // The field reads and writes a point, whatever the locale.
    m_txtSampleRate->setText(NumberFormat::general(rate, QLatin1Char('.')));
}

void AcquisitionPanel::showDuration(std::int32_t samples, double rate)
{
    const double seconds = samples / std::max(rate, 1e-9);
    // Number and unit joined by a no-break space: the note wraps between words only.
    const QString duration = seconds < 1.0 ? QStringLiteral("%1\u00a0ms").arg(QLocale().toString(seconds * 1000, 'f', 1))
                             : seconds < 120 ? QStringLiteral("%1\u00a0s").arg(QLocale().toString(seconds, 'f', 2))
                                             : QStringLiteral("%1\u00a0min").arg(QLocale().toString(seconds / 60, 'f', 1));
    m_lblDuration->setText(QStringLiteral("Acquisition takes %1").arg(duration));
}

void AcquisitionPanel::setLimits(const BoardLimits &limits)
{
    if (limits == m_limits)
        return;
    const bool defaultRateShown = sampleRate() == m_limits.defaultSampleRate;
    m_limits = limits;
    if (defaultRateShown)
        showSampleRate(m_limits.defaultSampleRate);
    setScrollRange();
    commitSampleCount();
}

void AcquisitionPanel::setScrollRange()
{
    // Position p stands for 2^(20 - p) samples: the top position is the
    // first power of two at or above the largest count (which limits it), the
    // bottom one the last at or below the smallest.
    const auto ceilLog2 = [](std::int32_t count) { return int(std::bit_width(std::uint32_t(count) - 1)); };
    const auto floorLog2 = [](std::int32_t count) { return int(std::bit_width(std::uint32_t(count))) - 1; };
    // Moving the range must not move the count typed.
    const QSignalBlocker quiet(m_scrNumSamples);
    m_scrNumSamples->setRange(20 - ceilLog2(m_limits.maxSamples), 20 - floorLog2(m_limits.minSamples));
}

void AcquisitionPanel::scrNumSamples_Change(int position)
{
    const long long n = 1LL << std::clamp(20 - position, 0, 30);
    if (n > 1) {
        m_txtNumSamples->setText(QString::number(n));
        commitSampleCount();
    }
}

bool AcquisitionPanel::txtSampleRate_KeyPress(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_btnSetSampleRate->click();
        return true;
    }
    if (key == Qt::Key_Backspace || (key >= Qt::Key_0 && key <= Qt::Key_9 && !event->text().isEmpty()))
        return false;
    if (key == Qt::Key_Period && !m_txtSampleRate->text().contains(QLatin1Char('.')))
        return false;
    // Editing and navigation keys carry no text and pass; every other typed
    // character is dropped.
    return !event->text().isEmpty() || event->matches(QKeySequence::Paste);
}

bool AcquisitionPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txtSampleRate && event->type() == QEvent::KeyPress)
        return txtSampleRate_KeyPress(static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}
