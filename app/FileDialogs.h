// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

// The modal open and save dialogs of the data files: filter "All Files (*.*)"
// and "Comma delimited (*.csv)" with the latter preselected, default extension
// "csv", overwriting without a second question. The graph's picture and PDF
// dialogs offer their own file kinds and ask before overwriting. An empty path
// means the user cancelled. Every dialog starts in the last folder used. Tests install a handler that answers instead of a
// dialog.
namespace FileDialogs {

enum class Mode { Open, Save, SaveGraph, SavePdf };

using Handler = std::function<QString(Mode mode, const QString &title)>;

QString getOpenFileName(QWidget *parent, const QString &title);
// The file an Open of the typed name means: the name as typed, or with ".csv"
// added when only that exists and the name has no extension.
QString openedPath(const QString &typed);
QString getSaveFileName(QWidget *parent, const QString &title);
// A PNG, SVG or PDF file (default PNG) for the graph.
QString getGraphFileName(QWidget *parent, const QString &title);
// A PDF file for a printout.
QString getPdfFileName(QWidget *parent, const QString &title);
// Replaces the dialogs with handler; an empty handler restores them.
void setHandler(Handler handler);

} // namespace FileDialogs
