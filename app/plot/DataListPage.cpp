// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataListPage.h"

#include "PlotDocument.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

DataListPage::DataListPage(PlotDocument &document, QWidget *parent)
    : QWidget(parent), m_document(document), m_list(new QListView(this)), m_model(new QStringListModel(this)),
      m_formatGroup(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);
    // A view over a model: tens of thousands of lines arrive in one reset.
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QFont fixed = m_list->font();
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFamily(QStringLiteral("monospace"));
    m_list->setFont(fixed);
    layout->addWidget(m_list, 1);

    auto *formatRow = new QHBoxLayout;
    formatRow->addWidget(new QLabel(QStringLiteral("Data Format:"), this));
    const char *captions[] = {"Integer", "Hexidecimal", "% of Full Scale", "Scaled by LSB"};
    for (int i = 0; i < DataFormats::Count; ++i) {
        m_formatOptions[i] = new QRadioButton(QString::fromLatin1(captions[i]), this);
        m_formatGroup->addButton(m_formatOptions[i], i);
        formatRow->addWidget(m_formatOptions[i]);
    }
    formatRow->addStretch(1);
    layout->addLayout(formatRow);
    showFormat();
    connect(m_formatGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_document.setDataFormat(static_cast<DataFormat>(id));
    });
    connect(m_formatGroup, &QButtonGroup::idClicked, this, &DataListPage::formatChosen);
    connect(&m_document, &PlotDocument::optionsChanged, this, &DataListPage::showFormat);
}

void DataListPage::showFormat()
{
    if (const std::optional<DataFormat> format = m_document.dataFormat())
        m_formatOptions[static_cast<std::size_t>(*format)]->setChecked(true);
}

void DataListPage::setLines(const QStringList &lines)
{
    m_model->setStringList(lines);
}

QString DataListPage::selectedText() const
{
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end()); // in list order, however they were picked
    QString text;
    for (const QModelIndex &row : std::as_const(rows))
        text += row.data().toString() + QLatin1Char('\n');
    return text;
}

QRadioButton *DataListPage::formatOption(int index) const
{
    return index >= 0 && index < DataFormats::Count ? m_formatOptions[index] : nullptr;
}
