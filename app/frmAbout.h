// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Help > About: the program's name, version and where to get support.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *lblTitle() const { return m_lblTitle; }
    QLabel *lblVersion() const { return m_lblVersion; }
    QPushButton *cmdOK() const { return m_cmdOK; }

private:
    QLabel *m_lblTitle;
    QLabel *m_lblVersion;
    QPushButton *m_cmdOK;
};
