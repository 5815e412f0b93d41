// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's identity, shown by the splash and About windows and told to
// remote-control clients.
namespace ProgramInfo {

inline QString title() { return QStringLiteral("KZ7305EVM"); }
inline QString version() { return QStringLiteral(KZ_VERSION_TEXT); }
inline QString versionText() { return QStringLiteral("Version ") + version(); }
inline QString companyName() { return QStringLiteral("KZ7305EVM developers"); }
inline QString copyright() { return QStringLiteral("Copyright (C) 2026 KZ7305EVM developers. GPL-3.0-or-later."); }
inline QString supportAddress() { return QStringLiteral("support@kz7305evm.example"); }

} // namespace ProgramInfo
