// SPDX-License-Identifier: GPL-3.0-or-later
// A printed page holds the graph as the screen shows it, scaled to the
// printer's resolution, below its header: texts keep their size relative to
// the graph at any resolution.
#include "GraphOutput.h"
#include "Plot.h"
#include "PlotDocument.h"
#include "ViewGraph.h"

#include <QApplication>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <numbers>

namespace {

// Mean difference of grey levels (0 .. 255) of two pictures of one size.
double meanGreyDifference(const QImage &a, const QImage &b)
{
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y < ga.height(); ++y)
        for (int x = 0; x < ga.width(); ++x)
            sum += std::abs(int(ga.constScanLine(y)[x]) - int(gb.constScanLine(y)[x]));
    return sum / (double(ga.width()) * ga.height());
}

// Share of dark pixels in the rows top .. bottom - 1 of a grey picture.
double ink(const QImage &grey, int top, int bottom)
{
    int dark = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < grey.width(); ++x)
            dark += grey.constScanLine(y)[x] < 128 ? 1 : 0;
    return double(dark) / (double(grey.width()) * (bottom - top));
}

// A 24-bit block of 1 µV codes at 1 kHz.
SampleBlock blockOf(std::vector<std::int32_t> samples)
{
    return {QStringLiteral("KZ7305"), 24, 1e-6, 1000, std::move(samples), {}, false};
}

// cycles periods of a sine of amplitude codes over count samples.
std::vector<std::int32_t> sine(int count, int cycles, double amplitude)
{
    std::vector<std::int32_t> samples;
    for (int i = 0; i < count; ++i)
        samples.push_back(std::int32_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * cycles * i / count))));
    return samples;
}

// A time-domain graph of a few periods of a sine, with the figures a
// printout adds.
void drawSine(PlotDocument &document, Plot &plot)
{
    document.setBlock(blockOf(sine(512, 5, 100000)));
    document.setView(PlotDocument::TimeDomain);
    document.runAnalysisPass();
    ViewGraph::draw(document, plot, ViewGraph::defaultStyle(PlotDocument::TimeDomain),
                    ViewGraph::TimeAxis::SampleNumbers);
    ViewGraph::addPrintFigures(document, plot); // a subtitle of two lines
}

const QStringList Header{QStringLiteral("Printed now"), QStringLiteral("Device: KZ7305"), QStringLiteral("Samples: 512")};

} // namespace

class TestGraphOutput : public QObject
{
    Q_OBJECT

private slots:
    void pageHoldsTheScreenGraphBelowItsHeader_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("96 dpi") << 96;
        QTest::newRow("600 dpi") << 600;
    }

    void pageHoldsTheScreenGraphBelowItsHeader()
    {
        QFETCH(int, dpi);
        PlotDocument document;
        Plot plot;
        drawSine(document, plot);

        // A landscape page of 8 x 5 inches at dpi, under a header of three lines.
        QImage page(8 * dpi, 5 * dpi, QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(dpi / 0.0254));
        page.setDotsPerMeterY(qRound(dpi / 0.0254));
        page.fill(Qt::white);
        QVERIFY(GraphOutput::paintPage(plot, page, page.rect(), Header));

        // Three lines of 10-point text, and a gap of one line, lie above the graph.
        const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
        const int headerBottom = qRound(4 * 10.0 / 72 * dpi * 1.4);
        QVERIFY(ink(grey, 0, headerBottom / 2) > 0.001);
        const int graphTop = [&] {
            for (int y = headerBottom / 2; y < page.height(); ++y)
                if (ink(grey, y, y + 2) == 0)
                    return y;
            return -1;
        }();
        QVERIFY(graphTop > 0 && graphTop < headerBottom);

        // The rest of the page is the screen's picture of the graph, enlarged.
        // Where in the blank rows under the header the graph's area starts is
        // for the comparison to find: the best of the rows a third of an inch
        // down, a screen pixel apart.
        double difference = 255;
        for (int top = graphTop; top <= graphTop + dpi / 3; top += std::max(1, dpi / 96)) {
            const QRect graphArea(0, top, page.width(), page.height() - top);
            const QSize screenSize(qRound(graphArea.width() * 96.0 / dpi), qRound(graphArea.height() * 96.0 / dpi));
            const QImage onScreen = plot.renderImage(screenSize);
            const QImage printed = page.copy(graphArea).scaled(screenSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            difference = std::min(difference, meanGreyDifference(onScreen, printed));
        }
        QVERIFY2(difference < 6, qPrintable(QString::number(difference)));
    }

    // A PDF printout, read back by a PDF renderer at 96 dpi, is the page drawn
    // on a picture of that resolution: texts are not scaled twice.
    void pdfPrintoutIsThePage()
    {
        const QString renderer = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (renderer.isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        QTemporaryDir dir;
        PlotDocument document;
        Plot plot;
        drawSine(document, plot);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setFullPage(true);
        QString error;
        QVERIFY2(GraphOutput::print(plot, printer, Header, &error), qPrintable(error));
        QProcess pdftoppm;
        pdftoppm.start(renderer, {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                  QStringLiteral("-singlefile"), printer.outputFileName(), dir.filePath(QStringLiteral("page"))});
        QVERIFY(pdftoppm.waitForFinished(30000) && pdftoppm.exitCode() == 0);
        const QImage printed(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!printed.isNull());

        QImage page(printed.size(), QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(96 / 0.0254));
        page.setDotsPerMeterY(qRound(96 / 0.0254));
        page.fill(Qt::white);
        QVERIFY(GraphOutput::paintPage(plot, page, page.rect(), Header));
        const double difference = meanGreyDifference(page, printed);
        QVERIFY2(difference < 6, qPrintable(QString::number(difference)));
    }

    // A printout of noise alone shows no tone figures, as the screen does;
    // a tone's printout shows its numbers.
    void printedFiguresOfNoiseAreDashes()
    {
        PlotDocument document;
        std::vector<std::int32_t> noise;
        for (int i = 0; i < 1024; ++i)
            noise.push_back((i * 7919) % 61 - 30); // no tone: a flat spread of codes
        document.setBlock(blockOf(noise));
        document.setView(PlotDocument::FFTPlot);
        document.runAnalysisPass();
        Plot plot;
        ViewGraph::draw(document, plot, ViewGraph::defaultStyle(PlotDocument::FFTPlot), ViewGraph::TimeAxis::SampleNumbers);
        ViewGraph::addPrintFigures(document, plot);
        QVERIFY2(plot.subTitle().endsWith(QStringLiteral("SNR:-     SINAD:-     THD:-     SFDR:-")), qPrintable(plot.subTitle()));

        document.setBlock(blockOf(sine(1024, 37, 1e6)));
        document.runAnalysisPass();
        ViewGraph::addPrintFigures(document, plot);
        QVERIFY2(!plot.subTitle().contains(QStringLiteral("SNR:-")), qPrintable(plot.subTitle()));
    }
};

QTEST_MAIN(TestGraphOutput)
#include "tst_graphoutput.moc"
