// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FigureCatalogue.h"
#include "GraphFileReader.h"
#include "PlotDocument.h"

#include <QString>
#include <optional>
#include <span>

// What sets the document's four views apart, in one table: their names and
// titles, the result each computes, the figures each shows, its graph and its
// data file. The window, the graph, the references and the command-line tool
// read it instead of switching on the view.
struct ViewTraits {
    PlotDocument::View view;
    const char *name;             // the command-line tool's --view value
    const char *caption;          // follows the device name in the window's caption
    PlotDocument::Result result;  // the flag its analysis sets
    FigureCatalogue::Sections figures;
    bool graph;                   // drawn on the graph (the data list is a list)
    bool statusPanels;            // shows the four status panels
    bool subtitled;               // has a subtitle on screen; a printout's figures follow it on its line
    const char *saveTitle;        // the save dialog's title
    // Asked before saving a file this program cannot open again; nullptr for
    // the time domain, whose files open.
    const char *saveCaution;
    // The kind of a reference held or loaded in this view; none for the data list.
    std::optional<GraphFileReader::Kind> referenceKind;
    const char *referenceName;    // names a reference of the view: "FFT reference"

    static const ViewTraits &of(PlotDocument::View view);
    static std::span<const ViewTraits> all();
    // The view named name on the command line (any case), nullptr for none.
    static const ViewTraits *named(const QString &name);
    static const ViewTraits &ofReferenceKind(GraphFileReader::Kind kind);
};
