// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserMessage.h"

#include <QMessageBox>

namespace {
UserMessage::Handler &installedHandler()
{
    static UserMessage::Handler handler;
    return handler;
}
} // namespace

void UserMessage::show(QWidget *parent, const QString &text)
{
    if (installedHandler()) {
        installedHandler()(text);
        return;
    }
    QMessageBox::warning(parent, QStringLiteral("KZ7305EVM"), text);
}

void UserMessage::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}
