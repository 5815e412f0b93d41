// SPDX-License-Identifier: GPL-3.0-or-later
// kz7305-sim: a simulated KZ7305 evaluation board on a pseudo-terminal. The
// first line on standard output is the device path to open.
#include "BoardFirmware.h"
#include "PseudoTerminal.h"
#include "SimOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int quitPipe[2] = {-1, -1};

void requestQuit(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(quitPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("kz7305-sim"));

    SimOptions options;
    QString error;
    if (!options.parse(app.arguments(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    PseudoTerminal line(options.baud, options.paceInput);
    if (!line.open(&error) || (!options.linkPath.isEmpty() && !line.makeLink(options.linkPath, &error))) {
        std::fprintf(stderr, "kz7305-sim: %s\n", qPrintable(error));
        return 1;
    }
    BoardFirmware firmware(options, line);

    // SIGTERM and SIGINT end the event loop so the link is removed on the way out.
    if (::pipe(quitPipe) == 0) {
        std::signal(SIGTERM, requestQuit);
        std::signal(SIGINT, requestQuit);
        auto *quitNotifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }

    std::printf("%s\n", qPrintable(line.devicePath()));
    std::fflush(stdout);
    return app.exec();
}
