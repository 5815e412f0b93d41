// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DocumentOptions.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

// One argument of a command line while it is parsed: an option given as
// "--name value" or "--name=value", or a plain argument.
class OptionArgument
{
public:
    OptionArgument(const QStringList &arguments, qsizetype index)
        : m_arguments(arguments), m_index(index), m_name(arguments[index])
    {
        if (m_name.startsWith(QLatin1String("--")) && m_name.contains(QLatin1Char('='))) {
            m_inlineValue = m_name.section(QLatin1Char('='), 1);
            m_name = m_name.section(QLatin1Char('='), 0, 0);
            m_hasInlineValue = true;
        }
    }

    const QString &name() const { return m_name; }
    bool hasInlineValue() const { return m_hasInlineValue; }
    // The option's value: behind "=", or the next argument (then consumed).
    bool takeValue(QString &value);
    // The last argument this one consumed.
    qsizetype index() const { return m_index; }

private:
    const QStringList &m_arguments;
    qsizetype m_index;
    QString m_name;
    QString m_inlineValue;
    bool m_hasInlineValue = false;
};

// The files and the analysis options shared by the commands that analyse data
// files: the view and the plot window's options.
struct AnalysisOptions {
    using View = DocumentOptions::View;

    QStringList files;          // at least one, in the order given
    View view = View::TimeDomain;
    // Window, NB ("--bins auto", and the seven-term window without --bins,
    // give Auto), H, reference, data format and marks; a document analysing
    // these options shows view.
    DocumentOptions document;
    bool noiseFigures = true;   // the time view's figures include noise and resolution
    QStringList notes;          // what was taken otherwise than given, one line each

    // A command's own options: std::nullopt when the argument is none of them,
    // an empty text when taken, else what is wrong with it.
    using OwnOption = std::function<std::optional<QString>(OptionArgument &argument)>;

    // Reads the arguments after the command's name; a one-line description of
    // what is wrong, or nothing. Every plain argument is a file.
    std::optional<QString> parse(const QStringList &arguments, const OwnOption &own);

    // The notes, one line each, after "kz7305evm-cli COMMAND: ".
    void printNotes(QTextStream &err, const char *command) const;

    // The view's --view value.
    static QString viewName(View view);
};
