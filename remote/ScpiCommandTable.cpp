// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiCommandTable.h"

#include "ScpiError.h"

void ScpiCommandTable::add(const char *header, int minParameters, int maxParameters, Handler handler, Timing timing)
{
    m_entries.append({ScpiHeader(header), minParameters, maxParameters, std::move(handler), timing});
}

std::variant<const ScpiCommandTable::Entry *, int> ScpiCommandTable::find(const ScpiCommand &command) const
{
    const Entry *firstMatch = nullptr;
    const auto count = int(command.parameters.size());
    for (const Entry &entry : m_entries) {
        if (!entry.header.matches(command.mnemonics, command.query))
            continue;
        if (count >= entry.minParameters && count <= entry.maxParameters)
            return &entry;
        if (!firstMatch)
            firstMatch = &entry;
    }
    if (!firstMatch)
        return int(ScpiError::UndefinedHeader);
    return int(count > firstMatch->maxParameters ? ScpiError::ParameterNotAllowed : ScpiError::MissingParameter);
}
