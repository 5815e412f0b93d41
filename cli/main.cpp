// SPDX-License-Identifier: GPL-3.0-or-later
// kz7305evm-cli: acquires blocks from the board and analyses saved time-domain
// data files, without a window.
#include "AcquireCommand.h"
#include "AnalyzeCommand.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

constexpr auto Usage = R"(Usage: kz7305evm-cli analyze FILE [options]
       kz7305evm-cli acquire --port DEVICE|COMn [options] -o OUT.csv
       kz7305evm-cli --help

acquire: acquires blocks from the board through the board driver the program
binds, saves each as a time-domain data file (several blocks: OUT-0001.csv,
OUT-0002.csv, ...) and prints its statistics as analyze does. Progress goes to
stderr.

  --port DEVICE|COMn  the board's serial port: a device path, or a port number
                      of the program's port table (COM1 .. COM16)
  --samples N         samples per block, 8..43690 (default 4096)
  --rate HZ           sample rate in hertz (default the driver's, 20833)
  --channel C         input 1..4 (default 1)
  --averaging A       2^A conversions averaged per sample, 0..15 (default 0)
  --vref V            reference voltage, 0.5..5.0 V (default 4.096)
  --count K           blocks to acquire, 1..9999 (default 1)
  --continuous-until-interrupted
                      acquire blocks until Ctrl+C (exit code 0)
  --analyze fft       also print each block's FFT figures; --window, --bins,
                      --harmonics and --normalize as for analyze

  Exit codes: 0 done, 1 a file cannot be written, 2 bad usage, 3 no such port,
  no driver, or the board does not answer (also after 3 reception retries),
  130 interrupted before --count blocks were saved.

analyze:

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
    const bool acquire = !arguments.isEmpty() && arguments.first() == QLatin1String("acquire");
    if (arguments.isEmpty() || (!acquire && arguments.first() != QLatin1String("analyze"))) {
        err << "kz7305evm-cli: "
            << (arguments.isEmpty() ? QStringLiteral("no command given") : QStringLiteral("unknown command \"%1\"").arg(arguments.first()))
            << "; try: kz7305evm-cli analyze FILE, kz7305evm-cli acquire --port DEVICE -o OUT.csv, or --help\n";
        return AnalyzeCommand::UsageProblem;
    }
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        out << Usage;
        return AnalyzeCommand::Success;
    }
    if (acquire)
        return AcquireCommand::run(arguments.mid(1), out, err);
    return AnalyzeCommand::run(arguments.mid(1), out, err);
}
