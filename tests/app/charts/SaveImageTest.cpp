// SPDX-License-Identifier: GPL-3.0-or-later
// "Save Image" of the Plot, histogram and real-time chart windows: a PNG
// of the chart's size drawn as the print is, an SVG that parses, and a
// write that fails says so and leaves nothing behind.
#include "ChartTestSupport.h"

#include "app/charts/GraphView.h"
#include "app/charts/HistogramWindow.h"
#include "app/charts/PlotWindow.h"
#include "app/charts/RealTimeSLM.h"
#include "app/ui/AppState.h"
#include "core/exposure/LnTable.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using namespace km740;
using namespace km740::test;

namespace {

// The root element and every text drawn, or an empty root when it does not parse.
struct Svg {
    QString root;
    QString text;
};

Svg readSvg(const std::filesystem::path& path)
{
    QFile f(QString::fromStdString(path.string()));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&f);
    Svg svg;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && svg.root.isEmpty())
            svg.root = xml.name().toString();
        if (xml.isCharacters())
            svg.text += xml.text().toString() + QLatin1Char('\n');
    }
    if (xml.hasError())
        return {};
    return svg;
}

QString pathIn(const TempFolder& dir, const char* name)
{
    return QString::fromStdString((dir / name).string());
}

} // namespace

TEST(SaveImage, PlotWritesItsGraphAsPngAndSvg)
{
    AppState state;
    ChartDialogAnswers answers;
    std::vector<double> values;
    for (int i = 0; i < 300; ++i)
        values.push_back(80.0 + 10.0 * std::sin(i / 20.0));
    QPointer<PlotWindow> w = PlotWindow::showPlot(state, PlotInputs{2, 300, 70, 100, "dB", "dB ( Y ) :", 1}, values,
                                                  Regional::point(), nullptr, answers.dialogs());
    w->resize(900, 560);
    w->graph()->redraw();
    TempFolder dir;

    answers.imagePath = pathIn(dir, "plot.png");
    w->cmdSaveImage()->click();
    QImage png(answers.imagePath);
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), w->graph()->size());
    // The line is drawn where the graph on screen has it.
    const QPointF top = w->graph()->pixelOf(32, 80.0 + 10.0 * std::sin(31 / 20.0));
    bool dark = false;
    for (int dy = -3; dy <= 3; ++dy)
        dark = dark || qGray(png.pixel(top.toPoint() + QPoint(0, dy))) < 160;
    EXPECT_TRUE(dark);

    answers.imagePath = pathIn(dir, "plot.svg");
    w->cmdSaveImage()->click();
    const Svg svg = readSvg(dir / "plot.svg");
    EXPECT_EQ(svg.root, "svg");
    EXPECT_TRUE(svg.text.contains("dB")) << svg.text.toStdString();
    EXPECT_TRUE(answers.messages.isEmpty());

    // Cancelled: nothing asked to be written, nothing said.
    answers.imagePath.clear();
    w->cmdSaveImage()->click();
    EXPECT_TRUE(answers.messages.isEmpty());
    delete w.data();
}

TEST(SaveImage, HistogramAndRealTimeChartSaveWhatTheyPrint)
{
    TempFolder dir;
    {
        ChartDialogAnswers answers;
        LevelDistribution d;
        for (int i = 0; i < 100; ++i)
            d.addLevel(70.0 + (i % 25) * 0.4);
        QPointer<HistogramWindow> h = HistogramWindow::showHistogram(
            Resolution::whole, d, gridLnRows(computeLnTable(d, Resolution::whole, Regional::point())),
            QStringLiteral("1 cell left out"), nullptr, answers.dialogs());
        answers.imagePath = pathIn(dir, "histogram.png");
        h->toolbar1()->findChild<QAction*>(QStringLiteral("SaveImage"))->trigger();
        QImage png(answers.imagePath);
        ASSERT_FALSE(png.isNull());
        // Message line, graph and level table, one above the other.
        EXPECT_EQ(png.width(), h->graph()->width());
        EXPECT_GT(png.height(), h->graph()->height());
        answers.imagePath = pathIn(dir, "histogram.svg");
        h->toolbar1()->findChild<QAction*>(QStringLiteral("SaveImage"))->trigger();
        EXPECT_TRUE(readSvg(dir / "histogram.svg").text.contains("FREQUENCY"));
        EXPECT_TRUE(answers.messages.isEmpty());
        delete h.data();
    }

    AppState state;
    state.chartOpen = true;
    ChartDialogAnswers answers;
    QPointer<RealTimeSLM> chart = new RealTimeSLM(
        state, [] { return Regional::point(); }, nullptr, answers.dialogs());
    chart->setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)); });
    chart->resize(600, 420);
    chart->show();
    state.live.valid = true;
    state.live.polledAt = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    state.live.level.text = "85.2";
    for (int i = 0; i < 10; ++i)
        chart->onTimer1Timer();
    answers.imagePath = pathIn(dir, "level.png");
    chart->toolbar1()->findChild<QAction*>(QStringLiteral("SaveImage"))->trigger();
    QImage png(answers.imagePath);
    ASSERT_FALSE(png.isNull());
    const int top = chart->toolbar1()->height();
    EXPECT_EQ(png.size(), QSize(chart->width(), chart->height() - top));
    // The trace at 85.2 dB sits on the same row as on the screen, less the toolbar.
    const RealTimeGeometry& g = chart->plotGeometry();
    const int column = static_cast<int>(std::lround(g.screenX(5)));
    const int row = static_cast<int>(std::lround(g.screenY((85.2 - 60) / 80 * g.plotHeight))) - top;
    bool black = false;
    for (int r = row - 1; r <= row + 1; ++r)
        black = black || png.pixelColor(column, r) == QColor(Qt::black);
    EXPECT_TRUE(black);

    // A folder that is not there: the user is told, and no file appears.
    answers.imagePath = pathIn(dir, "missing/level.svg");
    chart->toolbar1()->findChild<QAction*>(QStringLiteral("SaveImage"))->trigger();
    ASSERT_EQ(answers.messages.size(), 1);
    EXPECT_TRUE(answers.messages[0].startsWith("The image was not saved")) << answers.messages[0].toStdString();
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    // A name that is neither picture kind is refused the same way.
    answers.imagePath = pathIn(dir, "level.bmp");
    chart->toolbar1()->findChild<QAction*>(QStringLiteral("SaveImage"))->trigger();
    ASSERT_EQ(answers.messages.size(), 2);
    EXPECT_TRUE(answers.messages[1].contains(".png or .svg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "level.bmp"));
    delete chart.data();
}
