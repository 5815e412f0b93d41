// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// Help > Keyboard and Mouse: every key and gesture of the graphs, the data
// list and the acquisition controls, in one table.
class frmKeyboardHelp : public QDialog
{
    Q_OBJECT

public:
    explicit frmKeyboardHelp(QWidget *parent = nullptr);
};
