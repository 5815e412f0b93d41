// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KZ7305EVM"));
    QApplication::setApplicationVersion(QStringLiteral(KZ_VERSION_TEXT));
    frmSplash::showAndWait();
    frmMain window;
    window.load();
    return QApplication::exec();
}
