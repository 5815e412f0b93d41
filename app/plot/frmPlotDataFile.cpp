// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's data-file commands; the files themselves are composed and
// read by the widget-free writer and loader.
#include "frmPlot.h"

#include "AppState.h"
#include "DataFileWriter.h"
#include "FileDialogs.h"
#include "UserMessage.h"

#include <optional>

namespace {

const char *cautionText(std::int16_t view)
{
    switch (view) {
    case frmPlot::FFTPlot:
        return "Caution: This program cannot open FFT data files - remember to save time domain data.";
    case frmPlot::Histogram:
        return "Caution: This program cannot open histogram data files - remember to save time domain data.";
    case frmPlot::DataList:
        return "Caution: This program cannot open data list files - remember to save time domain data.";
    default:
        return nullptr;
    }
}

const char *saveTitle(std::int16_t view)
{
    switch (view) {
    case frmPlot::FFTPlot:
        return "Save FFT Data";
    case frmPlot::Histogram:
        return "Save Histogram Data";
    default:
        return "Save Time Domain Data";
    }
}

} // namespace

void frmPlot::SaveData()
{
    if (const char *caution = cautionText(m_view))
        if (!UserMessage::confirm(this, QString::fromLatin1(caution)))
            return;
    const QString path = FileDialogs::getSaveFileName(this, QString::fromLatin1(saveTitle(m_view)));
    if (path.isEmpty())
        return;
    QString error;
    if (!DataFileWriter::save(path, dataFileContent(), &error))
        UserMessage::show(this, error);
}

void frmPlot::OpenFile()
{
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("Open Data File"));
    if (path.isEmpty())
        return;
    DataFileLoader::Result result = DataFileLoader::loadFile(path);
    switch (result.outcome) {
    case DataFileLoader::Outcome::Loaded:
        takeLoadedBlock(std::move(result.block));
        break;
    case DataFileLoader::Outcome::NoMarker:
        break;
    case DataFileLoader::Outcome::Refused:
    case DataFileLoader::Outcome::Failed:
        UserMessage::show(this, result.message);
        break;
    }
}

DataFileHeader frmPlot::fileHeader() const
{
    return DataFileHeader{m_deviceId, QDateTime::currentDateTime(), m_numBits, m_lsbSize, m_numPoints, m_sampleFreq};
}

QByteArray frmPlot::dataFileContent() const
{
    const DataFileHeader header = fileHeader();
    switch (m_view) {
    case FFTPlot:
        return DataFileWriter::fft(header, {m_metrics.snr, m_metrics.sinad, m_metrics.thd, m_metrics.sfdr},
                                   m_spectrum.levels().first(static_cast<std::size_t>(m_spectrum.length())));
    case Histogram:
        return DataFileWriter::histogram(header, m_histogram);
    case DataList: {
        const int format = selectedDataFormat();
        return DataFileWriter::dataList(header, format < 0 ? std::nullopt : std::optional(static_cast<DataFormat>(format)),
                                        blockSamples());
    }
    default:
        return DataFileWriter::timeDomain(header, m_stats, blockSamples());
    }
}

void frmPlot::takeLoadedBlock(DataFileLoader::Block block)
{
    setDeviceID(block.deviceId);
    setNumBits(block.numBits);
    setLSBSize(block.lsbSize);
    setnumPoints(static_cast<std::int32_t>(block.samples.size()));
    setSampleFreq(block.sampleFreq);
    LoadData(block.samples);
    AppState::setDataReady(true);
    clearFlags();
    showView(TimeDomain);
}
