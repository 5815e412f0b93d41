// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's message boxes: one OK button, titled with the program's title.
// Tests install a handler to read the messages instead of showing them.
namespace UserMessage {

using Handler = std::function<void(const QString &text)>;

void show(QWidget *parent, const QString &text);
// Replaces the message box with handler; an empty handler restores it.
void setHandler(Handler handler);

} // namespace UserMessage
