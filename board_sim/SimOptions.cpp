// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimOptions.h"

#include <QCommandLineParser>

#include <cmath>

SimOptions::SimOptions()
{
    // A clean tone on CH1, a shorted quiet input on CH2, a small low-frequency
    // tone on CH3 and a DC level on CH4.
    channels[0] = {1000.0, -1.0, -96.0, -102.0, 0.0, 3.0};
    channels[1] = {1000.0, std::nan(""), -100.0, -100.0, 25e-6, 1.5};
    channels[2] = {50.0, -20.0, -110.0, -110.0, 0.0, 2.0};
    channels[3] = {1000.0, std::nan(""), -100.0, -100.0, 1.0, 5.0};
}

bool SimOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated KZ7305 evaluation board on a pseudo-terminal. Prints the device path on the first line."));
    parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"), QStringLiteral("Also make a symbolic link to the device."), QStringLiteral("path"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Log every request received."), QStringLiteral("file"));
    const QCommandLineOption dump(QStringLiteral("dump"), QStringLiteral("Write each acquired block, one code a line."), QStringLiteral("file"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"), QStringLiteral("Pace what the board sends at N baud, 10 bits a byte (0 = unpaced)."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption paceInputOpt(QStringLiteral("pace-input"), QStringLiteral("Act on requests only once the line at --baud has carried them."));
    const QCommandLineOption drop(QStringLiteral("drop-every"), QStringLiteral("Ignore every K-th block read."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption late(QStringLiteral("late-every"), QStringLiteral("Answer every K-th block read --late-ms late."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption lateMsOpt(QStringLiteral("late-ms"), QStringLiteral("Delay of a late answer."), QStringLiteral("ms"), QStringLiteral("5500"));
    const QCommandLineOption stray(QStringLiteral("stray-every"), QStringLiteral("Answer every K-th block read with a completion notification instead."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption extraStatus(QStringLiteral("extra-status-every"), QStringLiteral("Follow the answer to every K-th block read with a status packet."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption closeOpt(QStringLiteral("close-after"), QStringLiteral("Close the line when the K-th block read arrives."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption early(QStringLiteral("early-completion"), QStringLiteral("Notify the completion before acknowledging the start write."));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-every"), QStringLiteral("Flip one bit in every K-th packet sent."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption stall(QStringLiteral("stall-every"), QStringLiteral("Send only half of every K-th packet."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption brk(QStringLiteral("break-after"), QStringLiteral("Send a line break after K packets."), QStringLiteral("K"), QStringLiteral("0"));
    const QCommandLineOption progress(QStringLiteral("progress-ms"), QStringLiteral("Interval of progress notifications."), QStringLiteral("ms"), QStringLiteral("100"));
    const QCommandLineOption silentOpt(QStringLiteral("silent"), QStringLiteral("Never answer."));
    const QCommandLineOption seedOpt(QStringLiteral("seed"), QStringLiteral("Seed of noise and faults."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption vrefOpt(QStringLiteral("vref"), QStringLiteral("Reference voltage in volts."), QStringLiteral("V"), QStringLiteral("4.096"));
    QList<QCommandLineOption> channelOpts;
    for (int c = 1; c <= 4; ++c)
        channelOpts.append(QCommandLineOption(QStringLiteral("ch%1").arg(c),
            QStringLiteral("Signal of CH%1: freq=Hz,amp=dBFS|off,h2=dBc,h3=dBc,dc=V,noise=uV").arg(c), QStringLiteral("spec")));
    parser.addOptions({link, log, dump, baudOpt, paceInputOpt, drop, late, lateMsOpt, stray, extraStatus, closeOpt, early,
        corrupt, stall, brk, progress, silentOpt, seedOpt, vrefOpt});
    parser.addOptions(channelOpts);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        *error = parser.helpText();
        return false;
    }

    auto number = [&](const QCommandLineOption &option, auto &target) {
        bool ok = false;
        const double value = parser.value(option).toDouble(&ok);
        if (!ok || value < 0) {
            *error = QStringLiteral("bad value for --%1").arg(option.names().first());
            return false;
        }
        target = static_cast<std::remove_reference_t<decltype(target)>>(value);
        return true;
    };
    linkPath = parser.value(link);
    logPath = parser.value(log);
    dumpPath = parser.value(dump);
    silent = parser.isSet(silentOpt);
    paceInput = parser.isSet(paceInputOpt);
    earlyCompletion = parser.isSet(early);
    if (!number(baudOpt, baud) || !number(drop, dropEvery) || !number(late, lateEvery) || !number(lateMsOpt, lateMs)
        || !number(stray, strayEvery) || !number(extraStatus, extraStatusEvery) || !number(closeOpt, closeAfter)
        || !number(corrupt, corruptEvery) || !number(stall, stallEvery) || !number(brk, breakAfter) || !number(progress, progressMs)
        || !number(seedOpt, seed) || !number(vrefOpt, vref))
        return false;
    for (int c = 0; c < 4; ++c) {
        if (parser.isSet(channelOpts[c]) && !channels[size_t(c)].apply(parser.value(channelOpts[c]), error))
            return false;
    }
    return true;
}
