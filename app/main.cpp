// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterruptWatcher.h"
#include "SimulatedBoard.h"
#include "UserMessage.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KZ7305EVM"));
    QApplication::setApplicationVersion(QStringLiteral(KZ_VERSION_TEXT));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Evaluation software for the KZ7305 evaluation board."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run with a simulated board, started and stopped by the program."));
    parser.addOption(demo);
    parser.process(app);

    SimulatedBoard board;
    frmSplash::showAndWait();
    frmMain window;
    if (parser.isSet(demo)) {
        const QString devicePath = board.start();
        if (devicePath.isEmpty())
            UserMessage::show(&window, QStringLiteral("The simulated board did not start: %1").arg(board.errorString()));
        else
            window.offerPort(devicePath);
    }
    // A logout or kill ends the program as File > Exit does.
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &window, &QWidget::close);
    window.load();
    return QApplication::exec();
}
