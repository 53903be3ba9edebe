// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartTestSupport.h"

#include "app/charts/GraphView.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace km740;
using namespace km740::test;
using Mode = GraphView::TrackMode;

namespace {

// 100 points (x 1..100, y = x / 2) on X 1..101, Y 0..100.
struct Graph {
    GraphView view;
    Graph()
    {
        std::vector<double> y;
        for (int i = 1; i <= 100; ++i)
            y.push_back(i / 2.0);
        view.resize(600, 400);
        view.show();
        view.plotSeries(y);
        reset();
    }
    void reset()
    {
        view.setAxisRange(1, 1, 101);
        view.setAxisRange(2, 0, 100);
        view.redraw();
    }
    std::array<double, 4> ranges() const
    {
        return {view.axisMinimum(1), view.axisMaximum(1), view.axisMinimum(2), view.axisMaximum(2)};
    }
};

void expectRanges(const std::array<double, 4>& got, const std::array<double, 4>& want)
{
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], want[i], 0.6) << "range value " << i;
}

} // namespace

TEST(GraphView, PanAndZoomMoveOnlyTheAxesTheTrackModeNames)
{
    Graph g;
    struct Case {
        Mode mode;
        QPointF from, to;
        std::array<double, 4> after;
    };
    const Case cases[] = {
        {Mode::normal, {50, 50}, {40, 40}, {1, 101, 0, 100}}, {Mode::panX, {50, 50}, {40, 40}, {11, 111, 0, 100}},
        {Mode::panY, {50, 50}, {40, 40}, {1, 101, 10, 110}},  {Mode::panXY, {50, 50}, {40, 40}, {11, 111, 10, 110}},
        {Mode::zoomX, {20, 80}, {40, 30}, {20, 40, 0, 100}},  {Mode::zoomY, {20, 80}, {40, 30}, {1, 101, 30, 80}},
        {Mode::zoomXY, {40, 30}, {20, 80}, {20, 40, 30, 80}}, {Mode::cursorDrag, {50, 50}, {40, 40}, {1, 101, 0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        g.reset();
        g.view.setTrackMode(c.mode);
        EXPECT_EQ(g.view.trackMode(), c.mode);
        QSignalSpy changed(&g.view, &GraphView::axisRangesChanged);
        dragOnGraph(g.view, c.from, c.to);
        expectRanges(g.ranges(), c.after);
        const std::array<double, 4> whole{1, 101, 0, 100};
        EXPECT_EQ(changed.isEmpty(), c.after == whole);
    }
    // A click in a zoom mode is not a zoom to nothing.
    g.reset();
    g.view.setTrackMode(Mode::zoomXY);
    dragOnGraph(g.view, {30, 30}, {30, 30});
    expectRanges(g.ranges(), {1, 101, 0, 100});

    EXPECT_FALSE(GraphView::trackModeFromNumber(0));
    EXPECT_FALSE(GraphView::trackModeFromNumber(9));
    EXPECT_EQ(GraphView::trackModeFromNumber(7), Mode::zoomX);
}

TEST(GraphView, DraggedCursorsReportWhereTheyAre)
{
    Graph g;
    QSignalSpy moved(&g.view, &GraphView::cursorMoved);
    g.view.setTrackMode(Mode::cursorDrag);
    g.view.setCursorVisible(1, true);
    g.view.setCursorSnap(1, true);
    g.view.setCursorPosition(1, 49.7, 90);
    EXPECT_DOUBLE_EQ(g.view.cursorX(1), 50);
    EXPECT_DOUBLE_EQ(g.view.cursorY(1), 25); // on the point, not where it was asked
    g.view.redraw();

    dragOnGraph(g.view, {50, 25}, {70.2, 60});
    ASSERT_FALSE(moved.isEmpty());
    const QList<QVariant> last = moved.takeLast();
    EXPECT_EQ(last.at(0).toInt(), 1);
    EXPECT_DOUBLE_EQ(last.at(1).toDouble(), 70);
    EXPECT_DOUBLE_EQ(last.at(2).toDouble(), 35);
    EXPECT_DOUBLE_EQ(g.view.cursorX(1), 70);

    // A free cursor follows the mouse; a hidden one cannot be grabbed.
    moved.clear();
    g.view.setCursorVisible(2, true);
    g.view.setCursorPosition(2, 10, 10);
    g.view.redraw();
    dragOnGraph(g.view, {10, 10}, {30, 40});
    ASSERT_FALSE(moved.isEmpty());
    EXPECT_EQ(moved.last().at(0).toInt(), 2);
    EXPECT_NEAR(g.view.cursorX(2), 30, 0.3);
    EXPECT_NEAR(g.view.cursorY(2), 40, 0.5);
    moved.clear();
    g.view.setCursorVisible(2, false);
    g.view.redraw();
    dragOnGraph(g.view, {30, 40}, {60, 60});
    EXPECT_TRUE(moved.isEmpty());
    EXPECT_NEAR(g.view.cursorX(2), 30, 0.3);

    // Outside the cursor drag mode the cursors stay put.
    g.view.setTrackMode(Mode::normal);
    dragOnGraph(g.view, {70, 35}, {20, 20});
    EXPECT_TRUE(moved.isEmpty());
    EXPECT_DOUBLE_EQ(g.view.cursorX(1), 70);
}

TEST(GraphView, SnappingStepsOverGaps)
{
    GraphView view;
    const double gap = std::numeric_limits<double>::quiet_NaN();
    view.plotSeries({80, 81, gap, gap, gap, 85});
    view.setCursorSnap(1, true);
    view.setCursorPosition(1, 4.2, 0);
    EXPECT_DOUBLE_EQ(view.cursorX(1), 2);
    EXPECT_DOUBLE_EQ(view.cursorY(1), 81);
    view.setCursorPosition(1, 5, 0);
    EXPECT_DOUBLE_EQ(view.cursorX(1), 6);
    view.setCursorPosition(1, -40, 0);
    EXPECT_DOUBLE_EQ(view.cursorX(1), 1);

    view.plotBars({70.0, 70.1, 75.0}, {3, 1, 2}, 0.1);
    view.setCursorPosition(1, 74.0, 0);
    EXPECT_DOUBLE_EQ(view.cursorX(1), 75.0);
    EXPECT_DOUBLE_EQ(view.cursorY(1), 2);
}

TEST(GraphView, ANonNumericPointIsAGapInTheLine)
{
    GraphView view;
    view.resize(400, 300);
    view.show();
    const double gap = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> y(40, 90.0);
    for (int i = 15; i < 25; ++i)
        y[static_cast<std::size_t>(i)] = gap;
    view.plotSeries(y);
    view.setAxisRange(1, 1, 40);
    view.setAxisRange(2, 0, 100);
    view.setAxisCaption(2, QStringLiteral("dB"));
    view.redraw();
    const QImage image = view.grab().toImage();

    const auto traceAt = [&](double x) {
        const int px = static_cast<int>(std::lround(view.pixelOf(x, 0).x()));
        int dark = 0;
        for (int py = static_cast<int>(view.pixelOf(0, 95).y()); py < view.pixelOf(0, 1).y(); ++py)
            if (qBlue(image.pixel(px, py)) - qRed(image.pixel(px, py)) > 40) // the blue trace, not the grey grid
                ++dark;
        return dark;
    };
    EXPECT_GT(traceAt(8), 0);
    EXPECT_GT(traceAt(30), 0);
    EXPECT_EQ(traceAt(20), 0); // a 0 would have pulled the line down through here

    EXPECT_EQ(view.axisCaption(2), "dB");
    view.setGeometryTwips(150, 300, 1500, 3000);
    EXPECT_EQ(view.geometry(), QRect(10, 20, 100, 200));
    EXPECT_EQ(view.geometryTwips(), QRect(150, 300, 1500, 3000));
}

TEST(GraphView, RendersIntoJustTheTarget)
{
    GraphView view;
    view.resize(300, 200);
    view.plotSeries({1, 2, 3});
    view.setBackgroundColor(QColor(10, 20, 30));
    // A page of 300 dpi: the graph fills the target and nothing else.
    QImage page(1200, 800, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        view.render(p, QRectF(100, 100, 1000, 600));
    }
    EXPECT_EQ(page.pixelColor(50, 50), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(105, 105), QColor(10, 20, 30));
    EXPECT_EQ(page.pixelColor(1095, 695), QColor(10, 20, 30));
    EXPECT_EQ(page.pixelColor(1110, 710), QColor(Qt::white));
}
