// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteInstrument.h"

#include "BoardSession.h"
#include "FftWindow.h"
#include "MetricOptions.h"
#include "PlotDocument.h"
#include "ProgramInfo.h"
#include "RegularFile.h"
#include "ScpiError.h"
#include "ScpiParameters.h"
#include "ScpiResponse.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <array>
#include <cmath>

namespace {

using Timing = ScpiCommandTable::Timing;

// The FFT windows' parameter words, by window index.
constexpr std::array<const char *, FftWindows::Count> WindowWords{
    "RECTangular", "HAMMing", "HANNing", "BLACkman", "BHARris", "C5Derivative", "TRIangular", "BH7"};

ScpiReply done()
{
    return {};
}

ScpiReply answer(const QByteArray &text)
{
    return ScpiReply::of(text);
}

} // namespace

RemoteInstrument::RemoteInstrument(BoardSession &board, const QString &dataDirectory, QObject *parent)
    : QObject(parent), m_acquisition(board), m_dataDirectory(dataDirectory)
{
    connect(&m_acquisition, &RemoteAcquisition::finished, this, [this](const QString &problem) {
        if (!problem.isEmpty())
            m_status.push(ScpiError::HardwareError, problem);
        if (m_opcAfterOperations) {
            m_opcAfterOperations = false;
            m_status.setEvent(ScpiStatus::OperationComplete);
        }
        emit operationsFinished();
    });
    addCommonCommands();
    addBoardCommands();
    addDataCommands();
    addAnalysisCommands();
}

std::optional<QByteArray> RemoteInstrument::execute(const ScpiUnit &unit, bool answersWaiting)
{
    if (unit.error != 0) {
        m_status.push(unit.error);
        return std::nullopt;
    }
    const auto found = m_table.find(unit.command);
    if (const int *error = std::get_if<int>(&found)) {
        m_status.push(*error);
        return std::nullopt;
    }
    m_answersWaiting = answersWaiting;
    const ScpiReply reply = std::get<const ScpiCommandTable::Entry *>(found)->handler(unit.command);
    if (reply.error != 0)
        m_status.push(reply.error, reply.detail);
    return reply.answer;
}

bool RemoteInstrument::mustWait(const ScpiUnit &unit) const
{
    if (unit.error != 0 || !operationsPending())
        return false;
    const auto found = m_table.find(unit.command);
    const auto *entry = std::get_if<const ScpiCommandTable::Entry *>(&found);
    return entry && (*entry)->timing == Timing::AfterOperations;
}

void RemoteInstrument::resetSession()
{
    m_acquisition.abort();
    m_status.clear();
    m_opcAfterOperations = false;
}

void RemoteInstrument::addCommonCommands()
{
    m_table.add("*IDN?", 0, 0, [](const ScpiCommand &) {
        return answer(QStringLiteral("%1,%2,0,%3")
                          .arg(ProgramInfo::companyName(), ProgramInfo::title(), ProgramInfo::version())
                          .toUtf8());
    });
    m_table.add("*RST", 0, 0, [this](const ScpiCommand &) {
        m_acquisition.reset();
        m_figures.reset();
        m_format = CodeFormat::Int32;
        m_overwrite = false;
        return done();
    });
    m_table.add("*CLS", 0, 0, [this](const ScpiCommand &) {
        m_status.clear();
        return done();
    });
    m_table.add("*ESR?", 0, 0, [this](const ScpiCommand &) { return answer(QByteArray::number(m_status.takeEvents())); });
    m_table.add("*STB?", 0, 0, [this](const ScpiCommand &) {
        return answer(QByteArray::number(m_status.statusByte(m_answersWaiting)));
    });
    m_table.add("*OPC", 0, 0, [this](const ScpiCommand &) {
        if (operationsPending())
            m_opcAfterOperations = true;
        else
            m_status.setEvent(ScpiStatus::OperationComplete);
        return done();
    });
    m_table.add("*OPC?", 0, 0, [](const ScpiCommand &) { return answer("1"); }, Timing::AfterOperations);
    m_table.add("*WAI", 0, 0, [](const ScpiCommand &) { return done(); }, Timing::AfterOperations);
    m_table.add("SYSTem:ERRor[:NEXT]?", 0, 0, [this](const ScpiCommand &) { return answer(m_status.next().text()); });
}

void RemoteInstrument::addBoardCommands()
{
    m_table.add("CONFigure:SAMPles", 1, 1, [this](const ScpiCommand &command) {
        const BoardLimits limits = m_acquisition.board().limits();
        return ScpiParameters::wholeNumber(command.parameters[0], limits.minSamples, limits.maxSamples,
                                           [this](int samples) { m_acquisition.setSamples(samples); });
    });
    m_table.add("CONFigure:SAMPles?", 0, 0,
                [this](const ScpiCommand &) { return answer(QByteArray::number(m_acquisition.samples())); });
    m_table.add("CONFigure:RATE", 1, 1, [this](const ScpiCommand &command) {
        const BoardLimits limits = m_acquisition.board().limits();
        return ScpiParameters::number(command.parameters[0], limits.minSampleRate, limits.maxSampleRate,
                                      [this](double rate) { m_acquisition.setSampleRate(rate); });
    });
    m_table.add("CONFigure:RATE?", 0, 0,
                [this](const ScpiCommand &) { return answer(ScpiResponse::number(m_acquisition.sampleRate())); });
    auto setupCommands = [this](const char *header, const char *query, auto low, auto high, auto field) {
        m_table.add(header, 1, 1, [this, low, high, field](const ScpiCommand &command) {
            auto take = [this, field](auto value) {
                BoardSetup setup = m_acquisition.setup();
                setup.*field = value;
                m_acquisition.setSetup(setup);
            };
            if constexpr (std::is_same_v<decltype(low), int>)
                return ScpiParameters::wholeNumber(command.parameters[0], low, high, take);
            else
                return ScpiParameters::number(command.parameters[0], low, high, take);
        });
        m_table.add(query, 0, 0, [this, field](const ScpiCommand &) {
            return answer(ScpiResponse::number(m_acquisition.setup().*field));
        });
    };
    setupCommands("CONFigure:CHANnel", "CONFigure:CHANnel?", BoardSetup::MinChannel, BoardSetup::MaxChannel,
                  &BoardSetup::channel);
    setupCommands("CONFigure:AVERaging", "CONFigure:AVERaging?", 0, BoardSetup::MaxAveraging, &BoardSetup::averaging);
    setupCommands("CONFigure:VREFerence", "CONFigure:VREFerence?", BoardSetup::MinVref, BoardSetup::MaxVref,
                  &BoardSetup::vref);
    m_table.add("INITiate[:IMMediate]", 0, 0, [this](const ScpiCommand &) { return initiate(); });
    m_table.add("ABORt", 0, 0, [this](const ScpiCommand &) {
        m_acquisition.abort();
        return done();
    });
}

ScpiReply RemoteInstrument::initiate()
{
    const auto refusal = m_acquisition.start(m_client);
    if (!refusal)
        return done();
    return ScpiReply::failure(refusal->first == RemoteAcquisition::Refusal::Busy ? ScpiError::InitIgnored
                                                                                  : ScpiError::HardwareError,
                              refusal->second);
}

const SampleBlock *RemoteInstrument::fetchedBlock() const
{
    const auto &block = m_acquisition.block();
    return block ? &*block : nullptr;
}

void RemoteInstrument::addDataCommands()
{
    m_table.add("FORMat[:DATA]", 1, 1, [this](const ScpiCommand &command) {
        const QByteArray &word = command.parameters[0].text;
        if (ScpiHeader::isForm(word, "INT32"))
            m_format = CodeFormat::Int32;
        else if (ScpiHeader::isForm(word, "ASCii"))
            m_format = CodeFormat::Ascii;
        else
            return ScpiReply::failure(ScpiError::IllegalParameterValue, QStringLiteral("INT32 or ASCii"));
        return done();
    });
    m_table.add("FORMat[:DATA]?", 0, 0,
                [this](const ScpiCommand &) { return answer(m_format == CodeFormat::Int32 ? "INT32" : "ASC"); });
    m_table.add("FETCh:DATA?", 0, 0, [this](const ScpiCommand &) {
        const SampleBlock *block = fetchedBlock();
        if (!block)
            return ScpiReply::failure(ScpiError::DataStale, QStringLiteral("nothing acquired yet"));
        return answer(m_format == CodeFormat::Int32 ? ScpiResponse::codeBlock(block->samples)
                                                    : ScpiResponse::codeList(block->samples));
    });
    m_table.add("FETCh:SCALe?", 0, 0, [this](const ScpiCommand &) {
        const SampleBlock *block = fetchedBlock();
        if (!block)
            return ScpiReply::failure(ScpiError::DataStale, QStringLiteral("nothing acquired yet"));
        return answer(ScpiResponse::number(block->lsbSize) + ',' + QByteArray::number(block->numBits) + ','
                      + ScpiResponse::number(block->sampleFreq) + ',' + QByteArray::number(block->numPoints()));
    });
    m_table.add("MMEMory:STORe:DATA", 1, 1, [this](const ScpiCommand &command) {
        if (!command.parameters[0].quoted)
            return ScpiReply::failure(ScpiError::IllegalParameterValue, QStringLiteral("a quoted file name"));
        return storeData(command.parameters[0].text);
    });
    m_table.add("MMEMory:STORe:OVERwrite", 1, 1, [this](const ScpiCommand &command) {
        return ScpiParameters::boolean(command.parameters[0], [this](bool on) { m_overwrite = on; });
    });
    m_table.add("MMEMory:STORe:OVERwrite?", 0, 0, [this](const ScpiCommand &) { return answer(m_overwrite ? "1" : "0"); });
}

ScpiReply RemoteInstrument::storeData(const QByteArray &name)
{
    const SampleBlock *block = fetchedBlock();
    if (!block)
        return ScpiReply::failure(ScpiError::DataStale, QStringLiteral("nothing acquired yet"));
    const QString fileName = QString::fromUtf8(name);
    // A bare name only: the client writes into the data directory and nowhere else.
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String("..")
        || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'))
        || fileName.contains(QChar(0)))
        return ScpiReply::failure(ScpiError::FileNameError, QStringLiteral("a file name without a folder"));
    const QString path = QDir(m_dataDirectory).filePath(fileName);
    if (QFileInfo::exists(path) && !m_overwrite)
        return ScpiReply::failure(ScpiError::FileNameError, QStringLiteral("the file exists"));
    PlotDocument document;
    document.setBlock(*block);
    document.runAnalysisPass();
    if (const auto problem = RegularFile::replace(path, document.dataFileContent(QDateTime::currentDateTime())))
        return ScpiReply::failure(ScpiError::FileNameError, *problem);
    return done();
}

void RemoteInstrument::addAnalysisCommands()
{
    auto setFft = [this](auto change) {
        DocumentOptions::Fft options = m_figures.fftOptions();
        change(options);
        m_figures.setFftOptions(options);
    };
    m_table.add("[SENSe]:FFT:WINDow", 1, 1, [setFft](const ScpiCommand &command) {
        const QByteArray &word = command.parameters[0].text;
        for (int index = 0; index < FftWindows::Count; ++index) {
            if (word == QByteArray::number(index) || ScpiHeader::isForm(word, WindowWords[std::size_t(index)])) {
                setFft([index](DocumentOptions::Fft &options) { options.window = FftWindows::fromIndex(index); });
                return done();
            }
        }
        return ScpiReply::failure(ScpiError::IllegalParameterValue, QStringLiteral("no such window"));
    });
    m_table.add("[SENSe]:FFT:WINDow?", 0, 0, [this](const ScpiCommand &) {
        return answer(ScpiHeader::shortForm(WindowWords[std::size_t(m_figures.fftOptions().window)]));
    });
    m_table.add("[SENSe]:FFT:BINS", 1, 1, [setFft](const ScpiCommand &command) {
        if (ScpiHeader::isForm(command.parameters[0].text, "AUTO")) {
            setFft([](DocumentOptions::Fft &options) { options.autoBins = true; });
            return done();
        }
        const MetricOptions::Bounds range = MetricOptions::NumBinsRange;
        return ScpiParameters::wholeNumber(command.parameters[0], range.low, range.high, [setFft](int bins) {
            setFft([bins](DocumentOptions::Fft &options) {
                options.autoBins = false;
                options.numBins = MetricOptions::oddNumBins(bins);
            });
        });
    });
    m_table.add("[SENSe]:FFT:BINS?", 0, 0, [this](const ScpiCommand &) {
        const DocumentOptions::Fft &options = m_figures.fftOptions();
        return answer(options.autoBins ? QByteArray("AUTO") : QByteArray::number(options.numBins));
    });
    m_table.add("[SENSe]:FFT:HARMonics", 1, 1, [setFft](const ScpiCommand &command) {
        const MetricOptions::Bounds range = MetricOptions::NumHarmonicsRange;
        return ScpiParameters::wholeNumber(command.parameters[0], range.low, range.high, [setFft](int harmonics) {
            setFft([harmonics](DocumentOptions::Fft &options) { options.numHarmonics = harmonics; });
        });
    });
    m_table.add("[SENSe]:FFT:HARMonics?", 0, 0,
                [this](const ScpiCommand &) { return answer(QByteArray::number(m_figures.fftOptions().numHarmonics)); });
    // FIGure? and FIGures? share their short form: the key tells them apart.
    m_table.add("FETCh:FIGure?", 1, 1, [this](const ScpiCommand &command) {
        const SampleBlock *block = fetchedBlock();
        if (!block)
            return ScpiReply::failure(ScpiError::DataStale, QStringLiteral("nothing acquired yet"));
        const QString key = QString::fromUtf8(command.parameters[0].text);
        for (const Figure &figure : m_figures.figures(*block, m_acquisition.blockSerial()))
            if (figure.kind != FigureCatalogue::Kind::Name && figure.key.compare(key, Qt::CaseInsensitive) == 0)
                return answer(RemoteFigures::answer(figure));
        return ScpiReply::failure(ScpiError::IllegalParameterValue, QStringLiteral("no figure %1").arg(key));
    });
    m_table.add("FETCh:FIGures?", 0, 0, [this](const ScpiCommand &) {
        const SampleBlock *block = fetchedBlock();
        if (!block)
            return ScpiReply::failure(ScpiError::DataStale, QStringLiteral("nothing acquired yet"));
        return answer(RemoteFigures::json(m_figures.figures(*block, m_acquisition.blockSerial())));
    });
}
