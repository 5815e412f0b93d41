// SPDX-License-Identifier: GPL-3.0-or-later
// kz7305evm-cli: acquires blocks from the board, and analyses and plots saved
// time-domain data files, without a window.
#include "AcquireCommand.h"
#include "AnalyzeCommand.h"
#include "PlotCommand.h"
#include "ServeCommand.h"
#include "SweepCommand.h"

#include <QApplication>
#include <QTextStream>
#include <cstring>
#include <memory>

namespace {

constexpr auto Usage = R"(Usage: kz7305evm-cli analyze FILE... [options] [--json|--table]
       kz7305evm-cli analyze FILE [options] [--save OUT] [--json|--table]
       kz7305evm-cli analyze --view fft --average FILE1 FILE2... [options] [--save OUT]
       kz7305evm-cli plot FILE [options] [--marks M] [--units U] -o OUT.png|.svg|.pdf [--size WxH]
       kz7305evm-cli acquire --port DEVICE|COMn [options] -o OUT.csv
       kz7305evm-cli serve --port DEVICE|COMn [--listen ADDRESS:PORT] [--data-dir DIR]
       kz7305evm-cli sweep --port DEVICE|COMn [plan] [--json|--table] [-o DIR]
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
  --analyze fft|noise also print each block's FFT figures (--window, --bins,
                      --harmonics and --normalize as for analyze), its noise
                      figures, or both (noise,fft)
  --trend FILE        append each block's noise trend row to the CSV FILE:
                      UTC timestamp, block, offset, RMS and p-p noise (uV)
  -o OUT.csv          the data file; "-": one block to stdout, the report to
                      stderr. -o and --trend must be regular files that can
                      be written, and not the same file: checked first

  Exit codes: 0 done, 1 a file cannot be written, 2 bad usage, 3 no such port,
  no driver, or the board does not answer (also after 3 reception retries),
  130 interrupted before --count blocks were saved.

serve: the board as an instrument for lab scripts: SCPI commands over TCP
(PyVISA resource TCPIP::127.0.0.1::5025::SOCKET), one controlling client at a
time, others wait their turn. Runs until Ctrl+C. The first line of stdout is
the TCP port listened on.

  --port DEVICE|COMn  the board's serial port, as for acquire
  --listen ADDR:PORT  address and TCP port to listen on (default 127.0.0.1:5025;
                      port 0: any free port)
  --data-dir DIR      where MMEMory:STORe:DATA saves (default the current folder)
  --idle-timeout S    close a controlling client silent for S seconds (default
                      never)
sweep: a characterisation run. Every point (each input, then each averaging
setting, then each rate, as listed) is set, its settling blocks are taken
and dropped, then its blocks are taken and its figures summed up: one JSON
Lines object (or CSV row) per point as it completes, with each figure's mean
under its analyze --json key and its spread as KEY_min and KEY_max, plus the
settings read back from the driver and tone_blocks, the blocks that found a
tone. A failed point gives {"channel":..,"averaging":..,"rate":..,"error":..}
and the run goes on. Progress and the time left go to stderr.

  --channels LIST     inputs, 1..4, comma-separated (default 1)
  --averaging LIST    averaging settings, 0..15 (default 0)
  --rates LIST        rates in hertz the driver takes (default 1000)
  --vref V            reference voltage, 0.5..5.0 V (default 4.096, on-board)
  --samples N         samples per block (default 4096)
  --blocks K          blocks per point, 1..9999 (default 1)
  --settle-blocks S   blocks dropped after each change of settings (default 1)
  --analyze noise|fft|noise,fft
                      the figures to record (default noise); fft takes
                      --window (default blackman-harris-7), --bins (default
                      auto), --harmonics and --normalize as analyze does
  --table             CSV rows instead of JSON Lines
  -o DIR              keep every block as DIR/ch1-avg0-rate1000-0001.csv, ...
                      and the run's record as DIR/run.json; DIR must be new
                      or empty

  Exit codes: 0 done, 1 a point failed or a file cannot be written, 2 bad
  usage (a plan the driver does not take included), 3 no such port, no
  driver, or the board is gone (the points done are kept), 130 interrupted
  (the points done are printed and kept).

analyze and plot:

analyze loads time-domain data files, analyses each as the plot window's view
does and prints the view's figures, file by file in one process. A file that
cannot be loaded is reported (on stderr, and in its place with --json or
--table) and the others are still analysed.

plot draws the view's graph as the plot window shows and prints it (titles,
marks, figures in the subtitle) into a PNG, SVG or PDF file.

Options:
  --view time|fft|histogram|list  the view to analyse (default time)
  --window W          FFT window: 0..7 or rectangular, hamming, hanning (hann),
                      blackman, blackman-harris, continuous-5th-derivative,
                      triangular, blackman-harris-7 (default rectangular)
  --bins NB|auto      bins of signal power, odd 1..51 (default 11; an even
                      number is raised to the next odd one, with a note), or
                      auto: the window's own main lobe, with the noise taken
                      from the mean of the noise bins (the default with
                      blackman-harris-7)
  --harmonics H       highest harmonic order, 2..20 (default 10)
  --normalize         0 dB at the highest level found instead of full scale
  --format F          data list format: integer, hex, percent, lsb (default integer)
  --save OUT          analyze: also write the view's data file to OUT (one
                      input file only, or the averaged levels with --average);
                      "-": to stdout, the report then goes to stderr
  --average           analyze, fft view: average the files' spectra in linear
                      power and print one report of the average (2..1000
                      files of one FFT length, sample rate and scale; any
                      other set is refused)
  --json              analyze: print one JSON object per file and line (JSON
                      Lines); a file that failed: {"file": ..., "error": ...}
  --table             analyze: print a CSV table: a header row, one row per
                      file (file, device, samples, view, the figures, error)
  -o, --output OUT    plot: the picture to write; .png, .svg or .pdf
  --size WxH          plot: picture size in pixels at 96 dpi (default 1200x800)
  --marks M           plot: FFT bins to mark: dc, main, harmonics, comma-separated,
                      or all or none (default none)
  --units U           plot: the FFT's Y axis: db (dB against the 0 dB
                      reference, the default), dbfs (dBFS, window-corrected),
                      dbfs-hz (dBFS/Hz) or nv-rthz (nV/sqrt(Hz)); the last
                      three are absolute, --normalize leaves them alone

Figures: time: Std Dev (ppm), Mean, Maximum, Minimum, RMS and peak-to-peak
noise (codes, uV), offset (uV), effective, noise-free and measured noise-free
resolution (bits); fft: FFT length, SNR, SINAD, THD, SFDR (dB; 999999999 when
uncomputed), fundamental bin and frequency, ENOB, fundamental (dBFS), tone
found (SNR >= 10 dB, or a peak 30 dB above the median bin whose own leakage
limits SNR), what limits the figures (limited_by: leakage, signal_bins or
null), the coherent frequency (Hz);
histogram: bin width, minimum and maximum; list: the line count. A figure that cannot be computed prints "-" or 999999999 (JSON
null; the fundamental is null for a block without signal power).

Exit codes: 0 done, 1 a file cannot be read, loaded or written (analyze: any
of them), 2 bad usage (an option value out of its range included).
)";

// The tool's stderr carries its own one-line problems only; the platform's
// notes (a missing runtime folder and the like) stay out of scripts' way.
void quietQtMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << message << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    // Plotting draws with the window's graph; it never needs a display.
    const bool plotting = argc > 1 && std::strcmp(argv[1], "plot") == 0;
    if (plotting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (plotting)
        qInstallMessageHandler(quietQtMessages);
    const std::unique_ptr<QCoreApplication> app =
        plotting ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!arguments.isEmpty() && (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h"))) {
        out << Usage;
        return AnalyzeCommand::Success;
    }
    const bool acquire = !arguments.isEmpty() && arguments.first() == QLatin1String("acquire");
    const bool serve = !arguments.isEmpty() && arguments.first() == QLatin1String("serve");
    const bool sweep = !arguments.isEmpty() && arguments.first() == QLatin1String("sweep");
    if (arguments.isEmpty() ||
        (!acquire && !serve && !sweep && !plotting && arguments.first() != QLatin1String("analyze"))) {
        err << "kz7305evm-cli: "
            << (arguments.isEmpty() ? QStringLiteral("no command given") : QStringLiteral("unknown command \"%1\"").arg(arguments.first()))
            << "; try: kz7305evm-cli analyze FILE, kz7305evm-cli plot FILE -o OUT.png, kz7305evm-cli acquire --port DEVICE -o OUT.csv, or --help\n";
        return AnalyzeCommand::UsageProblem;
    }
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        out << Usage;
        return AnalyzeCommand::Success;
    }
    if (acquire)
        return AcquireCommand::run(arguments.mid(1), out, err);
    if (serve)
        return ServeCommand::run(arguments.mid(1), out, err);
    if (sweep)
        return SweepCommand::run(arguments.mid(1), out, err);
    if (plotting)
        return PlotCommand::run(arguments.mid(1), out, err);
    return AnalyzeCommand::run(arguments.mid(1), out, err);
}
