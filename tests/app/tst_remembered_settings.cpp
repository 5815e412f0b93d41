// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's options kept from one run to the next: the window's
// controls write them into the document, they are stored as one value under
// the keys and texts of earlier releases and come back into a new document;
// a refused text leaves the default.
#include "AcquisitionPanel.h"
#include "RememberedSettings.h"
#include "frmPlot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

namespace {

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KZ7305EVM"),
                     QStringLiteral("KZ7305EVM"));
}

} // namespace

class TestRememberedSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { userSettings().clear(); }

    void optionsComeBackUnderTheirKeys()
    {
        DocumentOptions chosen;
        {
            AcquisitionPanel panel;
            frmPlot plot;
            plot.optWindow(5)->setChecked(true);
            plot.txtNumBins()->setText(QStringLiteral("10")); // counts as its check makes it
            plot.txtNumHarm()->setText(QStringLiteral("13"));
            plot.cbAutoBins()->setChecked(true);
            plot.cbDCspect()->setChecked(true);
            plot.cbHarmonics()->setChecked(true);
            plot.optHighestSignal()->setChecked(true);
            plot.cboYAxis()->setCurrentIndex(3);
            plot.optDataFormat(3)->setChecked(true);
            plot.selectTab(3);
            chosen = plot.document().options();
            QCOMPARE(chosen.fft.window, FftWindow::Continuous5thDerivative);
            QCOMPARE(chosen.fft.numBins, 11);
            QCOMPARE(chosen.fft.numHarmonics, 13);
            QVERIFY(chosen.fft.autoBins && chosen.normalizeFft);
            QCOMPARE(chosen.fft.marks, (FftMarks::Groups{true, false, true}));
            QCOMPARE(chosen.fft.unit, SpectrumUnit::NanovoltsPerRootHz);
            QCOMPARE(chosen.dataFormat, DataFormat::ScaledByLsb);
            QCOMPARE(chosen.view, PlotDocument::DataList);
            RememberedSettings::save(panel, &plot, nullptr);
        }
        QSettings settings = userSettings();
        settings.beginGroup(QStringLiteral("Plot"));
        const QList<std::pair<QString, QString>> stored = {
            {"Window", "5"},         {"NumBins", "11"},       {"NumHarmonics", "13"},  {"AutoBins", "1"},
            {"NormalizeFFT", "1"},   {"MarkDCSpectrum", "1"}, {"MarkMainLobe", "0"},   {"MarkHarmonics", "1"},
            {"DataFormat", "3"},     {"View", "4"},           {"FftUnit", "3"}};
        for (const auto &[key, text] : stored)
            QCOMPARE(settings.value(key).toString(), text);

        AcquisitionPanel panel;
        frmPlot plot;
        QCOMPARE(RememberedSettings::restoreWindow(panel, plot), QStringList());
        QCOMPARE(plot.document().options(), chosen);
        QVERIFY(plot.optWindow(5)->isChecked() && plot.cbAutoBins()->isChecked() && !plot.txtNumBins()->isEnabled());
        QCOMPARE(plot.txtNumBins()->text(), QStringLiteral("11"));
        QCOMPARE(plot.txtNumHarm()->text(), QStringLiteral("13"));
        QVERIFY(plot.optHighestSignal()->isChecked() && plot.optDataFormat(3)->isChecked());
        QVERIFY(plot.cbDCspect()->isChecked() && !plot.cbMainLobe()->isChecked() && plot.cbHarmonics()->isChecked());
        QCOMPARE(plot.SSTab1()->currentIndex(), 3);
        QCOMPARE(plot.cboYAxis()->currentIndex(), 3);
    }

    void refusedTextsKeepTheDefaults()
    {
        const QList<std::pair<QString, QString>> refused = {
            {"NumBins", "10"}, {"NumBins", "53"}, {"NumBins", "0"},    {"NumHarmonics", "1"},
            {"NumHarmonics", "21"}, {"Window", "8"}, {"DataFormat", "4"}, {"View", "5"},
            {"FftUnit", "4"}};
        for (const auto &[key, text] : refused) {
            userSettings().clear();
            userSettings().setValue(QStringLiteral("Plot/") + key, text);
            AcquisitionPanel panel;
            frmPlot plot;
            QCOMPARE(RememberedSettings::restoreWindow(panel, plot),
                     QStringList{QStringLiteral("Stored setting Plot/%1 \"%2\" refused: default kept").arg(key, text)});
            QCOMPARE(plot.document().options(), DocumentOptions{});
        }
    }
};

QTEST_MAIN(TestRememberedSettings)
#include "tst_remembered_settings.moc"
