// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileDialogs.h"

#include "RecentFiles.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {

FileDialogs::Handler &installedHandler()
{
    static FileDialogs::Handler handler;
    return handler;
}

QString run(QWidget *parent, FileDialogs::Mode mode, const QString &title)
{
    if (installedHandler())
        return installedHandler()(mode, title);
    QFileDialog dialog(parent, title, RecentFiles::lastFolder());
    switch (mode) {
    case FileDialogs::Mode::SaveGraph:
        dialog.setNameFilters({QStringLiteral("Graph pictures (*.png *.svg *.pdf)"), QStringLiteral("PNG image (*.png)"),
                               QStringLiteral("SVG drawing (*.svg)"), QStringLiteral("PDF document (*.pdf)")});
        dialog.setDefaultSuffix(QStringLiteral("png"));
        break;
    case FileDialogs::Mode::SavePdf:
        dialog.setNameFilters({QStringLiteral("PDF document (*.pdf)")});
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        break;
    case FileDialogs::Mode::Open:
    case FileDialogs::Mode::Save: {
        const QString commaDelimited = QStringLiteral("Comma delimited (*.csv)");
        dialog.setNameFilters({QStringLiteral("All Files (*)"), commaDelimited});
        dialog.selectNameFilter(commaDelimited);
        // Opening takes the name as typed; see FileDialogs::openedPath.
        if (mode == FileDialogs::Mode::Save)
            dialog.setDefaultSuffix(QStringLiteral("csv"));
        break;
    }
    }
    if (mode == FileDialogs::Mode::Open) {
        // Any name: one that exists only with ".csv" added is still found.
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Data files are overwritten without a second question; pictures are asked about.
        if (mode == FileDialogs::Mode::Save)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &title)
{
    return openedPath(run(parent, Mode::Open, title));
}

QString FileDialogs::openedPath(const QString &typed)
{
    const QFileInfo file(typed);
    if (typed.isEmpty() || file.exists() || !file.suffix().isEmpty())
        return typed;
    const QString withSuffix = typed + QStringLiteral(".csv");
    return QFileInfo::exists(withSuffix) ? withSuffix : typed;
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &title)
{
    return run(parent, Mode::Save, title);
}

QString FileDialogs::getGraphFileName(QWidget *parent, const QString &title)
{
    return run(parent, Mode::SaveGraph, title);
}

QString FileDialogs::getPdfFileName(QWidget *parent, const QString &title)
{
    return run(parent, Mode::SavePdf, title);
}

void FileDialogs::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}
