// SPDX-License-Identifier: GPL-3.0-or-later
// kz7305evm-cli: analyses saved time-domain data files without a window.
#include "AnalyzeCommand.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

constexpr auto Usage = R"(Usage: kz7305evm-cli analyze FILE [options]
       kz7305evm-cli --help

Loads a time-domain data file, analyses it as the plot window's view does and
prints the view's figures.

Options:
  --view time|fft|histogram|list  the view to analyse (default time)
  --window W          FFT window: 0..6 or rectangular, hamming, hanning (hann),
                      blackman, blackman-harris, continuous-5th-derivative,
                      triangular (default rectangular)
  --bins NB           bins of signal power, odd 1..51 (default 11)
  --harmonics H       highest harmonic order, 2..20 (default 10)
  --normalize         0 dB at the highest level found instead of full scale
  --format F          data list format: integer, hex, percent, lsb (default integer)
  --save OUT          also write the view's data file to OUT
  --json              print one JSON object instead of text

Figures: time: Std Dev (ppm), Mean, Maximum, Minimum; fft: FFT length, SNR,
SINAD, THD, SFDR (dB; 999999999 when uncomputed), fundamental bin and
frequency; histogram: bin width, minimum and maximum; list: the line count.

Exit codes: 0 done, 1 the file cannot be read, loaded or written, 2 bad usage.
)";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty() && (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h"))) {
        out << Usage;
        return AnalyzeCommand::Success;
    }
    if (arguments.isEmpty() || arguments.first() != QLatin1String("analyze")) {
        err << "kz7305evm-cli: "
            << (arguments.isEmpty() ? QStringLiteral("no command given") : QStringLiteral("unknown command \"%1\"").arg(arguments.first()))
            << "; try: kz7305evm-cli analyze FILE, or --help\n";
        return AnalyzeCommand::UsageProblem;
    }
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        out << Usage;
        return AnalyzeCommand::Success;
    }
    return AnalyzeCommand::run(arguments.mid(1), out, err);
}
