// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class OptionArgument;

// --json or --table, the report format of the commands that print figures:
// either may be given again, but not both.
struct ReportFormat {
    bool chosen = false;
    bool table = false;

    // Takes --json or --table: std::nullopt for another option, an empty text
    // when taken, else what is wrong with it.
    std::optional<QString> take(OptionArgument &argument);
};
