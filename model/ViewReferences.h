// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ViewReference.h"

#include <QString>
#include <array>
#include <optional>

// The references of a plot window: at most one per graph view (time domain,
// FFT, histogram), held from the document, saved as and loaded from data
// files of the view's kind. A new block leaves them as they are.
class ViewReferences
{
public:
    using View = PlotDocument::View;

    // Null when view holds none.
    const ViewReference *of(View view) const;
    // Holds the document's current view, replacing that view's reference;
    // false when there is nothing to hold (see ViewReference::hold).
    bool hold(const PlotDocument &document);
    void clear(View view);
    // Writes view's reference to path; false with a message.
    bool save(View view, const QString &path, QString *message) const;
    // Reads a time-domain, FFT or histogram file and makes it the reference
    // of the view of its kind, which it returns. A file that cannot be read or
    // is of another kind changes nothing and gives a message.
    std::optional<View> load(const QString &path, QString *message);

private:
    std::array<std::optional<ViewReference>, 3> m_references;
};
