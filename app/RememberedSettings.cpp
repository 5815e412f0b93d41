// SPDX-License-Identifier: GPL-3.0-or-later
#include "RememberedSettings.h"

#include "AcquisitionPanel.h"
#include "AppSettings.h"
#include "FftWindow.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"
#include "frmPlot.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <functional>

namespace {

const QString Board = QStringLiteral("Board");
const QString Acquisition = QStringLiteral("Acquisition");
const QString PlotSection = QStringLiteral("Plot");

// One stored choice: how to write it, and how to take it back (false when the
// text is refused).
struct Choice {
    QString section;
    QString key;
    std::function<QString()> value;
    std::function<bool(const QString &)> apply;
};

std::optional<int> intIn(const QString &text, int low, int high)
{
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (!isNumber || value < low || value > high)
        return std::nullopt;
    return value;
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// A "0" or "1" into an option that is on or off.
Choice flagChoice(const QString &key, bool &option)
{
    return {PlotSection, key, [&option] { return flag(option); }, [&option](const QString &text) {
                const auto on = intIn(text, 0, 1);
                if (on)
                    option = *on == 1;
                return on.has_value();
            }};
}

// A number from low to high into an option, an enumeration or a count.
template <typename Value>
Choice numberChoice(const QString &key, Value &option, int low, int high)
{
    return {PlotSection, key, [&option] { return QString::number(static_cast<int>(option)); },
            [&option, low, high](const QString &text) {
                const auto number = intIn(text, low, high);
                if (number)
                    option = static_cast<Value>(*number);
                return number.has_value();
            }};
}

Choice styleChoice(frmPlot &plot, PlotDocument::View view, const QString &name)
{
    return {PlotSection, name + QStringLiteral("Style"),
            [&plot, view] {
                const ViewGraph::Style style = plot.graphStyle(view);
                return QStringLiteral("%1,%2,%3").arg(style.method).arg(style.pointType).arg(style.lineType);
            },
            [&plot, view](const QString &text) {
                const QStringList parts = text.split(QLatin1Char(','));
                if (parts.size() != 3)
                    return false;
                const auto method = intIn(parts[0], 0, 1000);
                const auto point = intIn(parts[1], 0, 100);
                const auto line = intIn(parts[2], 0, 100);
                if (!method || !point || !line)
                    return false;
                plot.setGraphStyle(view, {*method, static_cast<std::int16_t>(*point), static_cast<std::int16_t>(*line)});
                return true;
            }};
}

QList<Choice> panelChoices(AcquisitionPanel &panel)
{
    return {{Acquisition, QStringLiteral("Samples"), [&panel] { return QString::number(panel.sampleCount()); },
             [&panel](const QString &text) {
                 const auto count = intIn(text, panel.limits().minSamples, panel.limits().maxSamples);
                 if (count)
                     panel.txtNumSamples()->setText(QString::number(*count));
                 return count.has_value();
             }},
            {Acquisition, QStringLiteral("SampleRate"), [&panel] { return panel.txtSampleRate()->text(); },
             [&panel](const QString &text) {
                 bool isNumber = false;
                 const double rate = text.toDouble(&isNumber);
                 if (!isNumber || !(rate > 0))
                     return false;
                 panel.txtSampleRate()->setText(text);
                 return true;
             }},
            {Acquisition, QStringLiteral("Continuous"), [&panel] { return flag(panel.optContinuous()->isChecked()); },
             [&panel](const QString &text) {
                 const auto on = intIn(text, 0, 1);
                 if (on)
                     (*on ? panel.optContinuous() : panel.optSingleShot())->setChecked(true);
                 return on.has_value();
             }}};
}

// The plot window's options, stored from and restored into one value.
QList<Choice> optionChoices(DocumentOptions &options)
{
    using MetricOptions::NumBinsRange, MetricOptions::NumHarmonicsRange;
    DocumentOptions::Fft &fft = options.fft;
    return {numberChoice(QStringLiteral("Window"), fft.window, 0, FftWindows::Count - 1),
            flagChoice(QStringLiteral("NormalizeFFT"), options.normalizeFft),
            {PlotSection, QStringLiteral("NumBins"), [&fft] { return QString::number(fft.numBins); },
             [&fft](const QString &text) {
                 const auto bins = intIn(text, NumBinsRange.low, NumBinsRange.high);
                 const bool taken = bins && MetricOptions::isNumBins(*bins);
                 if (taken)
                     fft.numBins = *bins;
                 return taken;
             }},
            numberChoice(QStringLiteral("NumHarmonics"), fft.numHarmonics, NumHarmonicsRange.low, NumHarmonicsRange.high),
            flagChoice(QStringLiteral("AutoBins"), fft.autoBins),
            flagChoice(QStringLiteral("MarkDCSpectrum"), fft.marks.dcSpectrum),
            flagChoice(QStringLiteral("MarkMainLobe"), fft.marks.mainLobe),
            flagChoice(QStringLiteral("MarkHarmonics"), fft.marks.harmonics),
            numberChoice(QStringLiteral("FftUnit"), fft.unit, 0, SpectrumUnits::Count - 1),
            {PlotSection, QStringLiteral("DataFormat"),
             [&options] { return options.dataFormat ? QString::number(static_cast<int>(*options.dataFormat)) : QString(); },
             [&options](const QString &text) {
                 const auto format = intIn(text, 0, DataFormats::Count - 1);
                 if (format)
                     options.dataFormat = static_cast<DataFormat>(*format);
                 return format.has_value();
             }},
            numberChoice(QStringLiteral("View"), options.view, PlotDocument::TimeDomain, PlotDocument::DataList)};
}

QList<Choice> styleChoices(frmPlot &plot)
{
    return {styleChoice(plot, PlotDocument::TimeDomain, QStringLiteral("TimeDomain")),
            styleChoice(plot, PlotDocument::FFTPlot, QStringLiteral("FFT")),
            styleChoice(plot, PlotDocument::Histogram, QStringLiteral("Histogram"))};
}

QString refusalNote(const QString &section, const QString &key, const QString &text)
{
    return QStringLiteral("Stored setting %1/%2 \"%3\" refused: default kept").arg(section, key, text);
}

QStringList restore(const QList<Choice> &choices)
{
    QStringList notes;
    for (const Choice &choice : choices) {
        const QString text = AppSettings::read(choice.section, choice.key, QString());
        if (!text.isEmpty() && !choice.apply(text))
            notes << refusalNote(choice.section, choice.key, text);
    }
    return notes;
}

void store(const QList<Choice> &choices)
{
    for (const Choice &choice : choices)
        AppSettings::write(choice.section, choice.key, choice.value());
}

} // namespace

namespace RememberedSettings {

QStringList restoreWindow(AcquisitionPanel &panel, frmPlot &plot)
{
    PlotDocument &document = plot.document();
    DocumentOptions options = document.options();
    const QStringList notes = restore(panelChoices(panel) + optionChoices(options) + styleChoices(plot));
    const auto view = options.view;
    options.view = document.view(); // the window switches views
    document.setOptions(options);
    // What is on show was analysed with the options before: showing the
    // stored view analyses again with these.
    document.invalidate();
    plot.showView(view);
    return notes;
}

QStringList restoreDriver(NuvarDriverClass &driver)
{
    auto *settings = dynamic_cast<NuvarDriverSettings *>(&driver);
    if (!settings)
        return {};
    QStringList notes;
    for (const QString &name : settings->SettingNames()) {
        const QString text = AppSettings::read(Board, name, QString());
        bool taken = false;
        try {
            taken = text.isEmpty() || settings->setSettingValue(name, text);
        } catch (const std::exception &) {
            // A driver that throws instead of answering false refuses as well.
        }
        if (!taken)
            notes << refusalNote(Board, name, text);
    }
    return notes;
}

void save(AcquisitionPanel &panel, frmPlot *plot, NuvarDriverClass *driver)
{
    store(panelChoices(panel));
    if (plot) {
        DocumentOptions options = plot->document().options();
        store(optionChoices(options) + styleChoices(*plot));
    }
    if (auto *settings = dynamic_cast<NuvarDriverSettings *>(driver)) {
        for (const QString &name : settings->SettingNames())
            AppSettings::write(Board, name, settings->SettingValue(name));
    }
}

} // namespace RememberedSettings
