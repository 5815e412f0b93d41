// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoiseTrend.h"

#include "NoiseFigures.h"
#include "NumberFormat.h"
#include "VectorState.h"

#include <QFile>

namespace {

constexpr auto LineEnd = "\r\n";

QByteArray field(std::optional<double> value)
{
    return value ? NumberFormat::general(*value, QLatin1Char('.')).toLatin1() : QByteArray();
}

} // namespace

NoiseTrend::NoiseTrend() = default;
NoiseTrend::~NoiseTrend() = default;

bool NoiseTrend::add(const SampleBlock &block, const QDateTime &time, QString *error)
{
    clearUpperVectorState(); // the block's graph was just drawn
    const NoiseFigures figures = NoiseFigures::compute(block.samples, block.numBits, block.lsbSize);
    const Row row{time, ++m_lastBlock, figures.offsetUv, figures.rmsNoiseUv, figures.ppNoiseUv};
    if (m_rows.empty())
        m_start = time;
    m_rows.push_back(row);
    if (m_rows.size() > Capacity)
        m_rows.pop_front();
    if (!m_log)
        return true;
    // Flushed row by row: a run of hours keeps what it logged when it ends badly.
    const QByteArray line = csvLine(row) + LineEnd;
    if (m_log->write(line) == line.size() && m_log->flush())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write the noise trend log %1: %2").arg(m_log->fileName(), m_log->errorString());
    stopLog();
    return false;
}

double NoiseTrend::secondsOf(const Row &row) const
{
    return m_start.msecsTo(row.time) / 1000.0;
}

void NoiseTrend::clear()
{
    m_rows.clear();
}

bool NoiseTrend::startLog(const QString &path, QString *error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = QStringLiteral("Cannot open the noise trend log %1: %2").arg(path, file->errorString());
        return false;
    }
    if (file->size() == 0) {
        const QByteArray header = QByteArray(CsvHeader) + LineEnd;
        if (file->write(header) != header.size() || !file->flush()) {
            if (error)
                *error = QStringLiteral("Cannot write the noise trend log %1: %2").arg(path, file->errorString());
            return false;
        }
    }
    m_log = std::move(file);
    return true;
}

void NoiseTrend::stopLog()
{
    m_log.reset();
}

QString NoiseTrend::logPath() const
{
    return m_log ? m_log->fileName() : QString();
}

QByteArray NoiseTrend::csvLine(const Row &row)
{
    return row.time.toUTC().toString(Qt::ISODateWithMs).toLatin1() + ',' + QByteArray::number(row.block) + ',' +
           field(row.offsetUv) + ',' + field(row.rmsNoiseUv) + ',' + field(row.ppNoiseUv);
}
