// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FigureResults.h"

#include <QChar>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>

// Every figure the program tells about a block, each once: its JSON key, unit,
// how it is read from the results, how it is written, and its label in each
// place it is shown. The screen's figure columns and status panels, the
// command-line tool's text, JSON and table output, the printouts and the
// data-file headers all list the figures from here. A new figure is one entry
// in FigureCatalogue.cpp and its computation.
namespace FigureCatalogue {

// The part of the analysis a figure comes from; a view shows one or two.
enum class Section {
    Statistics = 0x1,
    Noise = 0x2,
    Spectrum = 0x4,
    Tone = 0x8,
    Histogram = 0x10,
    DataList = 0x20,
    Average = 0x40,
};
Q_DECLARE_FLAGS(Sections, Section)
// Every section, in the order views list them.
inline constexpr Section AllSections[] = {Section::Statistics, Section::Noise,     Section::Spectrum, Section::Tone,
                                          Section::Histogram,  Section::DataList, Section::Average};

// A measurement of the block, a count (of bins, lines, blocks), a yes/no, or
// one of a few names (computed: the name; not computed: none, JSON null).
enum class Kind { Measurement, Count, YesNo, Name };
// A measurement or a count: a figure with a number to average or compare.
constexpr bool isNumeric(Kind kind) { return kind == Kind::Measurement || kind == Kind::Count; }

// A figure as read: its number, and whether it was computed. An uncomputed
// figure is null in JSON and "-" on screen; its number is still what texts
// and files write (NaN, shown "-", when there is none; the metrics' 999999999).
struct Value {
    double number = 0;
    bool computed = true;

    static Value of(std::optional<double> value);
    static Value metric(double value);
};

// How a value reads on screen or paper.
struct Format {
    enum class Style {
        Fixed,       // decimals, then the unit: "12.34 dB"
        Significant, // three significant digits, then the unit: "1.23 codes"
        Microvolts,  // a value in microvolts in V, mV, µV or nV as fits its size
        Bits,        // "12.34 bits"; below 0 bits "-" (it says only that the signal is large)
        Whole,       // a whole number: "11"
        Pattern,     // at most decimals decimals, no unit: "0.####"
        Grouped,     // decimals, digits grouped by threes, then the unit: "1 001.47 Hz"
        General,     // general number format
    };
    Style style = Style::General;
    int decimals = 0;
    const char *unit = "";
};

// A place a figure is shown: its label there (none: not shown) and its rank
// among the place's figures (equal ranks keep the catalogue's order).
struct Place {
    const char *label = nullptr;
    int rank = 0;
};

struct Entry {
    const char *key;  // JSON key and table column
    const char *unit; // its unit in plain text, "" for none
    Section section;
    Kind kind;
    Value (*read)(const FigureResults &results);
    // Kind::Name: the name a computed value stands for.
    QString (*name)(const FigureResults &results) = nullptr;
    const char *text; // label of the command-line text output
    Place screen{};   // the figure columns beside the graph
    Format screenFormat{};
    Place status{};   // the status panels
    Place printout{}; // the subtitle of printouts and exported pictures
    Format printFormat{};
    Place file{};     // the data file's kind block, "Label:," and the printed number
    // Without a tone the screen, status panels and printouts show "-".
    bool needsTone = false;
};

std::span<const Entry> entries();
// The entry of key in section, nullptr when there is none.
const Entry *find(Section section, const char *key);
// The entries of sections shown at place, in the place's order.
QList<const Entry *> shownAt(Place Entry::*place, Sections sections);

// One row of a figure column.
struct Row {
    QString label;
    QString text;
};
QList<Row> screenRows(Sections sections, const FigureResults &results, QChar separator);
// "SNR: 87.7": the status texts of sections, at least count of them (the rest empty).
QStringList statusTexts(Sections sections, const FigureResults &results, QChar separator, int count);
// A printout's figures of sections, "Label:value" joined by five blanks; empty
// when sections have none.
QString printLine(Sections sections, const FigureResults &results, QChar separator);
// The label and number of each data-file line of sections, in file order.
QList<std::pair<QString, double>> fileLines(Sections sections, const FigureResults &results);

} // namespace FigureCatalogue

Q_DECLARE_OPERATORS_FOR_FLAGS(FigureCatalogue::Sections)
