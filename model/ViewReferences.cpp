// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewReferences.h"

#include <QFileInfo>

namespace {

bool isGraphView(PlotDocument::View view)
{
    return view >= PlotDocument::TimeDomain && view <= PlotDocument::Histogram;
}

} // namespace

std::optional<ViewReference> &ViewReferences::slot(View view)
{
    return m_references[static_cast<std::size_t>(view - PlotDocument::TimeDomain)];
}

const ViewReference *ViewReferences::of(View view) const
{
    if (!isGraphView(view))
        return nullptr;
    const std::optional<ViewReference> &reference = m_references[static_cast<std::size_t>(view - PlotDocument::TimeDomain)];
    return reference ? &*reference : nullptr;
}

bool ViewReferences::hold(const PlotDocument &document)
{
    std::optional<ViewReference> held = ViewReference::hold(document, QDateTime::currentDateTime());
    if (!held)
        return false;
    slot(held->view()) = std::move(held);
    return true;
}

void ViewReferences::clear(View view)
{
    if (isGraphView(view))
        slot(view).reset();
}

bool ViewReferences::save(View view, const QString &path, QString *message) const
{
    const ViewReference *reference = of(view);
    if (!reference) {
        *message = QStringLiteral("There is no reference to save in this view.");
        return false;
    }
    return DataFileWriter::save(path, reference->dataFileContent(QDateTime::currentDateTime()), message);
}

std::optional<PlotDocument::View> ViewReferences::load(const QString &path, QString *message)
{
    const GraphFileReader::Result file = GraphFileReader::loadFile(path);
    if (file.outcome != DataFileLoader::Outcome::Loaded) {
        *message = file.message;
        return std::nullopt;
    }
    ViewReference reference = ViewReference::fromFile(file, QFileInfo(path).fileName());
    const View view = reference.view();
    slot(view) = std::move(reference);
    return view;
}
