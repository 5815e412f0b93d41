// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserMessage.h"

#include <QMessageBox>

namespace {
UserMessage::Handler &installedHandler()
{
    static UserMessage::Handler handler;
    return handler;
}

UserMessage::ConfirmHandler &installedConfirmHandler()
{
    static UserMessage::ConfirmHandler handler;
    return handler;
}

const QString Title = QStringLiteral("KZ7305EVM");
} // namespace

void UserMessage::show(QWidget *parent, const QString &text)
{
    if (installedHandler()) {
        installedHandler()(text);
        return;
    }
    QMessageBox::warning(parent, Title, text);
}

void UserMessage::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}

bool UserMessage::confirm(QWidget *parent, const QString &text)
{
    if (installedConfirmHandler())
        return installedConfirmHandler()(text);
    return QMessageBox::warning(parent, Title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        == QMessageBox::Ok;
}

void UserMessage::setConfirmHandler(ConfirmHandler handler)
{
    installedConfirmHandler() = std::move(handler);
}
