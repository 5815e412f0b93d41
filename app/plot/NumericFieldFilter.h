// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

// Input rules of a numeric option field: digits and Backspace pass, any other
// typed character is dropped with a beep; Enter and leaving the field run the
// check, which brings the text into range; Escape runs the check and then puts
// the start value back. Keys that type nothing (arrows, Delete, Tab) pass.
class NumericFieldFilter : public QObject
{
    Q_OBJECT

public:
    using Check = std::function<int(const QString &text)>;

    NumericFieldFilter(QLineEdit *field, QString startText, Check check);

    // Replaces the field's text with the checked value.
    void check();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_field;
    QString m_startText;
    Check m_check;
};
