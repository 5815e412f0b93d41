// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's message boxes with the exclamation icon, titled with the
// program's title. Tests install handlers to read and answer the messages
// instead of showing them.
namespace UserMessage {

using Handler = std::function<void(const QString &text)>;
using ConfirmHandler = std::function<bool(const QString &text)>;

// OK only.
void show(QWidget *parent, const QString &text);
// OK and Cancel; true for OK.
bool confirm(QWidget *parent, const QString &text);
// Replace the message boxes with handlers; an empty handler restores the box.
void setHandler(Handler handler);
void setConfirmHandler(ConfirmHandler handler);

} // namespace UserMessage
