// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmAbout.h"

#include "ProgramInfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent), m_lblTitle(new QLabel(this)), m_lblVersion(new QLabel(this)),
      m_cmdOK(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("About KZ7305EVM"));
    auto *grid = new QGridLayout(this);
    auto *picIcon = new QLabel(this);
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    grid->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);

    m_lblVersion->setText(ProgramInfo::versionText());
    m_lblTitle->setText(ProgramInfo::title());
    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    auto *lblDescription = new QLabel(
        QStringLiteral("Evaluation software for the KZ7305 24-bit converter. For technical support write to %1.")
            .arg(ProgramInfo::supportAddress()),
        this);
    lblDescription->setWordWrap(true);
    grid->addWidget(m_lblTitle, 0, 1);
    grid->addWidget(m_lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(m_cmdOK, 3, 1, Qt::AlignRight);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}
