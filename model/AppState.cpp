// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppState.h"

namespace {
bool dataReady = false;
}

bool AppState::DataReady()
{
    return dataReady;
}

void AppState::setDataReady(bool ready)
{
    dataReady = ready;
}
