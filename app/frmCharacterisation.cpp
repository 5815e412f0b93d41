// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmCharacterisation.h"

#include "AppSettings.h"
#include "BoardSession.h"
#include "CharacterisationRun.h"
#include "CsvRow.h"
#include "FileDialogs.h"
#include "GraphOutput.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "RegularFile.h"
#include "RunFolder.h"
#include "RunPlanEditor.h"
#include "UserMessage.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

namespace {

const QString Section = QStringLiteral("Characterisation");
const QString PlanKey = QStringLiteral("Plan");
const QString FolderKey = QStringLiteral("LastRun");

// The graph's figures: key and axis label.
const std::array<std::pair<const char *, const char *>, 2> GraphFigures{
    {{"rms_noise_uv", "RMS noise (µV)"}, {"effective_resolution_bits", "Effective resolution (bits)"}}};

QString numberText(double value)
{
    return NumberFormat::general(value, QLatin1Char('.'));
}

} // namespace

frmCharacterisation::frmCharacterisation(BoardSession &board, std::function<void(const QString &)> openBlock,
                                         QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_board(board)
    , m_openBlock(std::move(openBlock))
    , m_editor(new RunPlanEditor)
    , m_txtFolder(new QLineEdit)
    , m_btnStart(new QPushButton(QStringLiteral("Start")))
    , m_btnStop(new QPushButton(QStringLiteral("Stop")))
    , m_lblStatus(new QLabel)
    , m_table(new QTableWidget)
    , m_graphFigure(new QComboBox)
    , m_graph(new Plot)
{
    setWindowTitle(QStringLiteral("Characterisation Run"));
    auto *planSide = new QVBoxLayout;
    planSide->addWidget(m_editor);
    m_txtFolder->setPlaceholderText(QStringLiteral("a new folder for each run"));
    m_txtFolder->setToolTip(QStringLiteral("The folder the run's blocks and run.json go to (new or empty)"));
    planSide->addWidget(new QLabel(QStringLiteral("Run folder:")));
    planSide->addWidget(m_txtFolder);
    auto *runButtons = new QHBoxLayout;
    runButtons->addWidget(m_btnStart);
    runButtons->addWidget(m_btnStop);
    planSide->addLayout(runButtons);
    auto *fileButtons = new QHBoxLayout;
    auto *btnOpen = new QPushButton(QStringLiteral("Open Run..."));
    auto *btnExportTable = new QPushButton(QStringLiteral("Export Table..."));
    auto *btnExportGraph = new QPushButton(QStringLiteral("Export Graph..."));
    fileButtons->addWidget(btnOpen);
    fileButtons->addWidget(btnExportTable);
    fileButtons->addWidget(btnExportGraph);
    planSide->addLayout(fileButtons);
    m_lblStatus->setWordWrap(true);
    planSide->addWidget(m_lblStatus);
    planSide->addStretch();

    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setToolTip(QStringLiteral("Click a point to open its last block in a plot window"));
    for (const auto &[key, label] : GraphFigures)
        m_graphFigure->addItem(QString::fromUtf8(label), QLatin1String(key));
    m_graph->setLogAxes(true, false);
    m_graph->setXAxisLabel(QStringLiteral("Rate (Hz)"));
    auto *graphSide = new QWidget;
    auto *graphLayout = new QVBoxLayout(graphSide);
    graphLayout->setContentsMargins(0, 0, 0, 0);
    graphLayout->addWidget(m_graphFigure);
    graphLayout->addWidget(m_graph, 1);
    auto *results = new QSplitter(Qt::Vertical);
    results->addWidget(m_table);
    results->addWidget(graphSide);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(planSide);
    layout->addWidget(results, 1);

    connect(m_btnStart, &QPushButton::clicked, this, &frmCharacterisation::btnStart_Click);
    connect(m_btnStop, &QPushButton::clicked, this, [this] {
        if (m_run)
            m_run->stop();
    });
    connect(btnOpen, &QPushButton::clicked, this, &frmCharacterisation::btnOpen_Click);
    connect(btnExportTable, &QPushButton::clicked, this, &frmCharacterisation::btnExportTable_Click);
    connect(btnExportGraph, &QPushButton::clicked, this, &frmCharacterisation::btnExportGraph_Click);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row) { tableRow_Click(row); });
    connect(m_graphFigure, &QComboBox::currentIndexChanged, this, &frmCharacterisation::drawGraph);
    connect(m_editor, &RunPlanEditor::planChanged, this, [this] {
        if (const std::optional<RunPlan> plan = m_editor->plan())
            AppSettings::write(Section, PlanKey, QString::fromUtf8(QJsonDocument(plan->toJson()).toJson(QJsonDocument::Compact)));
    });
    connect(&m_board, &BoardSession::driverChanged, this, &frmCharacterisation::updateControls);

    const QByteArray remembered = AppSettings::read(Section, PlanKey, QString()).toUtf8();
    if (const std::optional<RunPlan> plan = RunPlan::fromJson(QJsonDocument::fromJson(remembered).object()))
        m_editor->setPlan(*plan);
    const QString lastRun = AppSettings::read(Section, FolderKey, QString());
    QString problem;
    if (const std::optional<RunFolder::Record> record = lastRun.isEmpty() ? std::nullopt : RunFolder::read(lastRun, &problem))
        showResults(record->plan, record->points, lastRun);
    else
        showResults(m_editor->plan().value_or(RunPlan()), {}, QString());
    resize(1180, 720);
    updateControls();
}

frmCharacterisation::~frmCharacterisation() = default;

bool frmCharacterisation::running() const
{
    return m_run && m_run->running();
}

QString frmCharacterisation::newRunFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).filePath(QStringLiteral("KZ7305EVM runs/run-%1")
                                        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

void frmCharacterisation::btnStart_Click()
{
    const QString folder = m_txtFolder->text().trimmed();
    startRun(folder.isEmpty() ? newRunFolder() : folder);
}

bool frmCharacterisation::startRun(const QString &folder)
{
    QString problem;
    const std::optional<RunPlan> plan = m_editor->plan(&problem);
    if (!plan) {
        UserMessage::show(this, problem);
        return false;
    }
    if (const std::optional<QString> unfit = plan->problem(m_board.limits())) {
        UserMessage::show(this, QStringLiteral("The plan cannot run: %1.").arg(*unfit));
        return false;
    }
    // The board first: a busy board leaves no empty folder behind.
    if (!m_board.user().isEmpty()) {
        UserMessage::show(this, QStringLiteral("The board is busy: %1").arg(m_board.user()));
        return false;
    }
    auto run = std::make_unique<CharacterisationRun>(m_board);
    if (!RunFolder::create(folder, &problem)) {
        UserMessage::show(this, QStringLiteral("The run cannot be kept: %1.").arg(problem));
        return false;
    }
    m_folder = std::make_unique<RunFolder>(folder, *plan, *run);
    connect(m_folder.get(), &RunFolder::writeFailed, this, [this](const QString &trouble) {
        UserMessage::show(this, QStringLiteral("The run was stopped: %1.").arg(trouble));
    });
    connect(run.get(), &CharacterisationRun::blockStarted, this, [this](int point, int block, bool settling) {
        m_lblStatus->setText(QStringLiteral("Point %1 of %2, block %3 of %4%5; about %6 min left")
                                 .arg(point + 1)
                                 .arg(m_run->plan().points().size())
                                 .arg(block)
                                 .arg(m_run->plan().blocksPerPoint())
                                 .arg(settling ? QStringLiteral(" (settling)") : QString())
                                 .arg(std::max<qint64>(1, qRound64(m_run->remainingSeconds() / 60))));
    });
    connect(run.get(), &CharacterisationRun::pointFinished, this, [this](int, const PointResult &point) {
        PointResult kept = point;
        kept.files = m_folder->record().points.value(m_points.size()).files;
        m_points.append(kept);
        addRow(kept);
        m_table->resizeColumnsToContents();
        drawGraph();
    });
    connect(run.get(), &CharacterisationRun::finished, this, &frmCharacterisation::runFinished);
    if (!run->start(*plan, &problem)) {
        m_folder.reset();
        UserMessage::show(this, problem);
        return false;
    }
    m_run = std::move(run);
    AppSettings::write(Section, FolderKey, folder);
    showResults(*plan, {}, folder);
    m_lblStatus->setText(QStringLiteral("Starting..."));
    updateControls();
    return true;
}

void frmCharacterisation::runFinished()
{
    const qsizetype failed = std::count_if(m_points.cbegin(), m_points.cend(), [](const PointResult &p) { return p.failed(); });
    const QString ending = m_folder ? m_folder->record().ending : QString();
    m_lblStatus->setText(QStringLiteral("Run %1: %2 points, %3 failed. Kept in %4")
                             .arg(ending)
                             .arg(m_points.size())
                             .arg(failed)
                             .arg(QDir::toNativeSeparators(m_shownFolder)));
    // The run object is still delivering its signal: it goes later.
    if (m_run)
        m_run.release()->deleteLater();
    m_folder.reset();
    updateControls();
}

void frmCharacterisation::btnOpen_Click()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Open Characterisation Run"),
                                                             QFileInfo(m_shownFolder).absolutePath());
    if (!folder.isEmpty())
        openRun(folder);
}

bool frmCharacterisation::openRun(const QString &folder)
{
    QString problem;
    const std::optional<RunFolder::Record> record = RunFolder::read(folder, &problem);
    if (!record) {
        UserMessage::show(this, problem);
        return false;
    }
    showResults(record->plan, record->points, folder);
    m_editor->setPlan(record->plan);
    AppSettings::write(Section, FolderKey, folder);
    m_lblStatus->setText(QStringLiteral("Run of %1, %2").arg(record->started.toLocalTime().toString(Qt::ISODate),
                                                           record->ending.isEmpty() ? QStringLiteral("not ended") : record->ending));
    return true;
}

void frmCharacterisation::showResults(const RunPlan &plan, const QList<PointResult> &points, const QString &folder)
{
    m_shownPlan = plan;
    m_shownFolder = folder;
    m_points.clear();
    const QStringList header = PointResult::csvHeader(plan.figureKeys());
    QStringList columns;
    for (const QString &name : header)
        if (!name.endsWith(QLatin1String("_min")) && !name.endsWith(QLatin1String("_max")))
            columns << name;
    m_table->clear();
    m_table->setRowCount(0);
    m_table->setColumnCount(int(columns.size()));
    m_table->setHorizontalHeaderLabels(columns);
    for (const PointResult &point : points) {
        m_points.append(point);
        addRow(point);
    }
    m_table->resizeColumnsToContents();
    drawGraph();
}

void frmCharacterisation::addRow(const PointResult &point)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const auto set = [&](int column, const QString &text) { m_table->setItem(row, column, new QTableWidgetItem(text)); };
    set(0, QString::number(point.channel));
    set(1, QString::number(point.averaging));
    set(2, numberText(point.rate));
    if (point.failed()) {
        set(m_table->columnCount() - 1, point.error);
        return;
    }
    set(3, numberText(point.vref));
    set(4, QString::number(point.samples));
    set(5, QString::number(point.blocks));
    set(6, point.toneBlocks ? QString::number(*point.toneBlocks) : QString());
    for (int column = 7; column < m_table->columnCount() - 1; ++column) {
        const FigureSpread::Summary *summary = point.figure(m_table->horizontalHeaderItem(column)->text());
        if (summary && summary->computedBlocks > 0) {
            set(column, QString::number(summary->mean, 'g', 6));
            m_table->item(row, column)->setToolTip(QStringLiteral("%1 to %2").arg(numberText(summary->min), numberText(summary->max)));
        }
    }
    m_table->scrollToItem(m_table->item(row, 0));
}

void frmCharacterisation::drawGraph()
{
    const QString key = m_graphFigure->currentData().toString();
    // One line per input and averaging setting, over the rates in order.
    std::map<std::pair<int, int>, Plot::NamedLine> lines;
    for (const PointResult &point : std::as_const(m_points)) {
        const FigureSpread::Summary *summary = point.figure(key);
        if (point.failed() || !summary || summary->computedBlocks == 0)
            continue;
        Plot::NamedLine &line = lines[{point.channel, point.averaging}];
        line.name = QStringLiteral("CH%1, averaging %2").arg(point.channel).arg(point.averaging);
        line.x << point.rate;
        line.y << summary->mean;
    }
    QList<Plot::NamedLine> named;
    for (auto &[settings, line] : lines)
        named << line;
    m_graph->setMainTitle(m_graphFigure->currentText() + QStringLiteral(" against rate"));
    m_graph->setYAxisLabel(m_graphFigure->currentText());
    // Noise spans decades; resolution in bits is already a logarithm.
    m_graph->setLogAxes(true, key == QLatin1String(GraphFigures[0].first));
    m_graph->setNamedLines(named);
    m_graph->redraw();
}

void frmCharacterisation::btnExportTable_Click()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Table"), QString(),
                                                      QStringLiteral("Comma delimited (*.csv);;JSON Lines (*.jsonl *.json)"));
    if (path.isEmpty())
        return;
    QByteArray content;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        const QStringList keys = m_shownPlan.figureKeys();
        content += CsvRow::line(PointResult::csvHeader(keys)).toUtf8();
        for (const PointResult &point : std::as_const(m_points))
            content += CsvRow::line(point.csvFields(keys)).toUtf8();
    } else {
        for (const PointResult &point : std::as_const(m_points))
            content += QJsonDocument(point.toJson()).toJson(QJsonDocument::Compact) + '\n';
    }
    if (const std::optional<QString> problem = RegularFile::replace(path, content))
        UserMessage::show(this, QStringLiteral("Cannot write \"%1\": %2").arg(path, *problem));
}

void frmCharacterisation::btnExportGraph_Click()
{
    const QString path = FileDialogs::getGraphFileName(this, QStringLiteral("Export Graph"));
    QString problem;
    if (!path.isEmpty() && !GraphOutput::exportTo(*m_graph, path, QSize(1200, 800), &problem))
        UserMessage::show(this, problem);
}

void frmCharacterisation::tableRow_Click(int row)
{
    if (row < 0 || row >= m_points.size() || m_points[row].files.isEmpty()) {
        UserMessage::show(this, QStringLiteral("This point kept no block."));
        return;
    }
    m_openBlock(QDir(m_shownFolder).filePath(m_points[row].files.last()));
}

void frmCharacterisation::updateControls()
{
    m_btnStart->setEnabled(!running() && m_board.isOpen());
    m_btnStop->setEnabled(running());
    m_editor->setEnabled(!running());
    m_txtFolder->setEnabled(!running());
}
