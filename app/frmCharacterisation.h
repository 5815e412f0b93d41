// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PointResult.h"
#include "RunPlan.h"

#include <QWidget>
#include <functional>
#include <memory>

class BoardSession;
class CharacterisationRun;
class Plot;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class RunFolder;
class RunPlanEditor;

// Tools > Characterisation Run: the plan, its run on the board with a table
// filling point by point, and a graph of noise or resolution against rate.
// Every run is kept in a folder of its own, which the window can show again.
// The plan and the last run's folder are remembered.
class frmCharacterisation : public QWidget
{
    Q_OBJECT

public:
    // openBlock opens a data file in a plot window.
    frmCharacterisation(BoardSession &board, std::function<void(const QString &path)> openBlock,
                        QWidget *parent = nullptr);
    ~frmCharacterisation() override;

    // Starts the plan the editor shows, kept in folder; false with a message shown.
    bool startRun(const QString &folder);
    // Shows the run kept in folder; false with a message shown.
    bool openRun(const QString &folder);

    RunPlanEditor *planEditor() const { return m_editor; }
    QTableWidget *table() const { return m_table; }
    Plot *graph() const { return m_graph; }
    QPushButton *btnStop() const { return m_btnStop; }
    bool running() const;

private:
    void btnStart_Click();
    void btnOpen_Click();
    void btnExportTable_Click();
    void btnExportGraph_Click();
    void tableRow_Click(int row);
    void addRow(const PointResult &point);
    void showResults(const RunPlan &plan, const QList<PointResult> &points, const QString &folder);
    void drawGraph();
    void runFinished();
    void updateControls();
    // The folder a new run goes to unless the user names one.
    static QString newRunFolder();

    BoardSession &m_board;
    std::function<void(const QString &)> m_openBlock;
    std::unique_ptr<CharacterisationRun> m_run;
    std::unique_ptr<RunFolder> m_folder;
    RunPlan m_shownPlan;
    QList<PointResult> m_points;
    QString m_shownFolder;
    RunPlanEditor *m_editor;
    QLineEdit *m_txtFolder;
    QPushButton *m_btnStart;
    QPushButton *m_btnStop;
    QLabel *m_lblStatus;
    QTableWidget *m_table;
    QComboBox *m_graphFigure;
    Plot *m_graph;
};
