// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoiseTrend.h"

#include "NoiseFigures.h"
#include "NumberFormat.h"
#include "VectorState.h"

namespace {

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
    if (!m_log.isOpen())
        return true;
    const std::optional<QString> problem = m_log.append(csvLine(row));
    if (!problem)
        return true;
    if (error)
        *error = QStringLiteral("Cannot write the noise trend log %1: %2").arg(m_log.path(), *problem);
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
    std::optional<QString> problem = m_log.open(path);
    if (!problem && m_log.isEmpty())
        problem = m_log.append(CsvHeader);
    if (!problem)
        return true;
    if (error)
        *error = QStringLiteral("Cannot open the noise trend log %1: %2").arg(path, *problem);
    m_log.close();
    return false;
}

void NoiseTrend::stopLog()
{
    m_log.close();
}

QByteArray NoiseTrend::csvLine(const Row &row)
{
    return row.time.toUTC().toString(Qt::ISODateWithMs).toLatin1() + ',' + QByteArray::number(row.block) + ',' +
           field(row.offsetUv) + ',' + field(row.rmsNoiseUv) + ',' + field(row.ppNoiseUv);
}
