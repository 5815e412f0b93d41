// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeCommand.h"

#include "AcquireCommand.h"
#include "AnalysisOptions.h"
#include "BoardPort.h"
#include "BoardSession.h"
#include "InterruptWatcher.h"
#include "OptionValues.h"
#include "RemoteServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <variant>

namespace ServeCommand {

namespace {

using AcquireCommand::BoardProblem;
using AcquireCommand::FileProblem;
using AcquireCommand::Success;
using AcquireCommand::UsageProblem;

struct ServeOptions {
    QString port;
    RemoteServer::Settings server;
};

// "ADDRESS:PORT", the address IPv4 or IPv6 ("[::1]:5025").
bool parseListen(const QString &text, RemoteServer::Settings &settings)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.first(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.sliced(1, host.size() - 2);
    const auto port = OptionValues::wholeNumber(text.sliced(colon + 1), 0, 65535);
    const QHostAddress address(host);
    if (!port || address.isNull())
        return false;
    settings.address = address;
    settings.port = quint16(*port);
    return true;
}

std::variant<ServeOptions, QString> parse(const QStringList &arguments)
{
    ServeOptions options;
    options.server.dataDirectory = QDir::currentPath();
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        OptionArgument argument(arguments, i);
        QString value;
        const QString &name = argument.name();
        if (name != QLatin1String("--port") && name != QLatin1String("--listen") && name != QLatin1String("--data-dir")
            && name != QLatin1String("--idle-timeout"))
            return QStringLiteral("unknown option \"%1\"").arg(name);
        if (!argument.takeValue(value))
            return QStringLiteral("%1 needs a value").arg(name);
        i = argument.index();
        if (name == QLatin1String("--port")) {
            options.port = value;
        } else if (name == QLatin1String("--listen")) {
            if (!parseListen(value, options.server))
                return OptionValues::refusal(name, QStringLiteral("ADDRESS:PORT"), value);
        } else if (name == QLatin1String("--data-dir")) {
            options.server.dataDirectory = QFileInfo(value).absoluteFilePath();
        } else {
            const auto seconds = OptionValues::wholeNumber(value, 0, 24 * 3600);
            if (!seconds)
                return OptionValues::refusal(name, QStringLiteral("0 to 86400 seconds"), value);
            options.server.idleTimeoutMs = *seconds * 1000;
        }
    }
    if (options.port.isEmpty())
        return QStringLiteral("--port is required");
    return options;
}

int fail(QTextStream &err, int code, const QString &problem)
{
    err << "kz7305evm-cli serve: " << problem << (code == UsageProblem ? " (see --help)\n" : "\n");
    return code;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    auto parsed = parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed))
        return fail(err, UsageProblem, *problem);
    const ServeOptions &options = std::get<ServeOptions>(parsed);
    if (!QFileInfo(options.server.dataDirectory).isDir())
        return fail(err, FileProblem, QStringLiteral("no data directory %1").arg(options.server.dataDirectory));

    BoardSession board;
    QString problem;
    if (!BoardPort::loadDriver(board, problem) || !BoardPort::connect(board, options.port, problem))
        return fail(err, BoardProblem, problem);

    RemoteServer server(board, options.server);
    if (!server.listen(&problem))
        return fail(err, BoardProblem, QStringLiteral("cannot listen on %1: %2").arg(server.address(), problem));
    out << server.port() << Qt::endl;
    err << "kz7305evm-cli serve: listening on " << server.address() << '\n';
    err.flush();
    QObject::connect(&server, &RemoteServer::clientChanged, [&err](const QString &client) {
        err << "kz7305evm-cli serve: " << (client.isEmpty() ? QStringLiteral("no client") : QStringLiteral("client %1").arg(client))
            << Qt::endl;
    });
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    return Success;
}

} // namespace ServeCommand
