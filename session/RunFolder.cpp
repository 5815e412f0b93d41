// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunFolder.h"

#include "NumberFormat.h"
#include "PlotDocument.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

QString endingName(CharacterisationRun::Ending ending)
{
    switch (ending) {
    case CharacterisationRun::Ending::Completed:
        return QStringLiteral("completed");
    case CharacterisationRun::Ending::Stopped:
        return QStringLiteral("stopped");
    case CharacterisationRun::Ending::BoardGone:
        return QStringLiteral("board gone");
    }
    return {};
}

QJsonValue timeValue(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(time.toUTC().toString(Qt::ISODateWithMs)) : QJsonValue();
}

} // namespace

bool RunFolder::create(const QString &path, QString *problem)
{
    const QDir dir(path);
    if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        *problem = QStringLiteral("the folder %1 exists and is not empty").arg(path);
        return false;
    }
    if (!QFileInfo(path).isDir() && QFileInfo::exists(path)) {
        *problem = QStringLiteral("%1 exists and is not a folder").arg(path);
        return false;
    }
    if (!dir.mkpath(QStringLiteral("."))) {
        *problem = QStringLiteral("cannot make the folder %1").arg(path);
        return false;
    }
    return true;
}

QString RunFolder::blockFileName(int channel, int averaging, double rate, int number)
{
    return QStringLiteral("ch%1-avg%2-rate%3-%4.csv")
        .arg(channel)
        .arg(averaging)
        .arg(NumberFormat::general(rate, QLatin1Char('.')))
        .arg(number, 4, 10, QLatin1Char('0'));
}

RunFolder::RunFolder(const QString &path, const RunPlan &plan, CharacterisationRun &run, QObject *parent)
    : QObject(parent)
    , m_dir(path)
    , m_run(run)
{
    m_record.plan = plan;
    m_record.version = QStringLiteral(KZ_VERSION_TEXT);
    m_record.started = QDateTime::currentDateTimeUtc();
    connect(&run, &CharacterisationRun::pointStarted, this, [this] { m_pointFiles.clear(); });
    connect(&run, &CharacterisationRun::blockKept, this, &RunFolder::saveBlock);
    connect(&run, &CharacterisationRun::pointFinished, this,
            [this](int, const PointResult &result) { addPoint(result); });
    connect(&run, &CharacterisationRun::finished, this, &RunFolder::end);
    writeRecord();
}

void RunFolder::saveBlock(int point, int number, const SampleBlock &block)
{
    const RunPlan::Point planned = m_record.plan.points().value(point);
    const QString name = blockFileName(planned.channel, planned.averaging, planned.rate, number);
    // The file the plot window saves of the block in its time view.
    PlotDocument document;
    document.setBlock(block);
    document.setView(PlotDocument::TimeDomain);
    document.runAnalysisPass();
    QSaveFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(document.dataFileContent(QDateTime::currentDateTime())) < 0
        || !file.commit()) {
        fail(QStringLiteral("cannot save \"%1\": %2").arg(file.fileName(), file.errorString()));
        return;
    }
    m_pointFiles.append(name);
}

void RunFolder::addPoint(const PointResult &result)
{
    PointResult kept = result;
    kept.files = m_pointFiles;
    m_pointFiles.clear();
    m_record.points.append(kept);
    writeRecord();
}

void RunFolder::end(CharacterisationRun::Ending ending)
{
    m_record.ended = QDateTime::currentDateTimeUtc();
    m_record.ending = endingName(ending);
    writeRecord();
}

bool RunFolder::writeRecord()
{
    QJsonArray points;
    for (const PointResult &point : std::as_const(m_record.points)) {
        QJsonObject object = point.toJson();
        object.insert(QStringLiteral("files"), QJsonArray::fromStringList(point.files));
        points.append(object);
    }
    const QJsonObject record{{QStringLiteral("version"), m_record.version},
                             {QStringLiteral("started"), timeValue(m_record.started)},
                             {QStringLiteral("ended"), timeValue(m_record.ended)},
                             {QStringLiteral("ending"), m_record.ending.isEmpty() ? QJsonValue() : QJsonValue(m_record.ending)},
                             {QStringLiteral("plan"), m_record.plan.toJson()},
                             {QStringLiteral("points"), points}};
    QSaveFile file(m_dir.filePath(QLatin1String(RecordName)));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(record).toJson(QJsonDocument::Indented)) < 0
        || !file.commit()) {
        fail(QStringLiteral("cannot write \"%1\": %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    return true;
}

void RunFolder::fail(const QString &problem)
{
    if (m_failed)
        return;
    m_failed = true;
    emit writeFailed(problem);
    m_run.stop();
}

std::optional<RunFolder::Record> RunFolder::read(const QString &path, QString *problem)
{
    QFile file(QDir(path).filePath(QLatin1String(RecordName)));
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("%1 holds no run (%2: %3)").arg(path, file.fileName(), file.errorString());
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll(), &error).object();
    const std::optional<RunPlan> plan = RunPlan::fromJson(object.value(QStringLiteral("plan")).toObject());
    if (error.error != QJsonParseError::NoError || !plan) {
        *problem = QStringLiteral("%1 is not a run record").arg(file.fileName());
        return std::nullopt;
    }
    Record record;
    record.plan = *plan;
    record.version = object.value(QStringLiteral("version")).toString();
    record.started = QDateTime::fromString(object.value(QStringLiteral("started")).toString(), Qt::ISODateWithMs);
    record.ended = QDateTime::fromString(object.value(QStringLiteral("ended")).toString(), Qt::ISODateWithMs);
    record.ending = object.value(QStringLiteral("ending")).toString();
    for (const QJsonValue &point : object.value(QStringLiteral("points")).toArray())
        record.points.append(PointResult::fromJson(point.toObject()));
    return record;
}
