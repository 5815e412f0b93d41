// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverExport.h"

#include <stdexcept>
#include <string>

// The one way a contract member reports failure: it throws NuvarDriverError.
// Callers on the program's side catch this type around every driver call.
class NUVARDRIVER_EXPORT NuvarDriverError : public std::runtime_error
{
public:
    explicit NuvarDriverError(const std::string &what);
    ~NuvarDriverError() override;
};
