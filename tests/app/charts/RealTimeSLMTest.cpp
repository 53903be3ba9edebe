// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartTestSupport.h"

#include "app/charts/RealTimeSLM.h"
#include "app/ui/AppState.h"
#include "support/PanelBench.h"
#include "support/TempFolder.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using namespace km740;
using namespace km740::test;

namespace {

double steadyNow()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

struct ChartBench {
    AppState state;
    Regional regional = Regional::point();
    ChartDialogAnswers answers;
    QPointer<RealTimeSLM> chart;
    int second = 0;

    ChartBench()
    {
        chart = new RealTimeSLM(
            state, [this] { return regional; }, nullptr, answers.dialogs());
        chart->setClock([this] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)).addSecs(second++); });
        chart->resize(600, 420);
        chart->show();
        state.chartOpen = true;
    }
    ~ChartBench() { delete chart.data(); }

    void level(const char* text)
    {
        state.live.valid = true;
        state.live.polledAt = steadyNow();
        state.live.level.text = text;
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            chart->onTimer1Timer();
    }
    // Screen row of a height above the base line.
    int rowOf(double y) const { return static_cast<int>(std::lround(chart->plotGeometry().screenY(y))); }
    int columnOf(double x) const { return static_cast<int>(std::lround(chart->plotGeometry().screenX(x))); }
    // The trace colour found in a column within a row or two of `row`.
    QColor near(const QImage& image, int column, int row) const
    {
        for (int r = row - 1; r <= row + 1; ++r) {
            const QColor c = image.pixelColor(column, r);
            if (c != QColor(Qt::white) && c != QColor(192, 192, 192) && c != chart->palette().color(QPalette::Window))
                return c;
        }
        return QColor();
    }
    QAction* key(const QString& k) { return chart->toolbar1()->findChild<QAction*>(k); }
};

} // namespace

TEST(RealTimeSLM, DrawsTheLevelAtItsShareOfThePlotHeight)
{
    ChartBench b;
    const RealTimeGeometry& g = b.chart->plotGeometry();
    ASSERT_GT(g.plotHeight, 200);
    b.level("85.2");
    b.ticks(10);
    QImage image = b.chart->grab().toImage();
    const double y = (85.2 - 60) / 80 * g.plotHeight;
    EXPECT_EQ(b.near(image, b.columnOf(5), b.rowOf(y)), QColor(Qt::black));
    EXPECT_FALSE(b.near(image, b.columnOf(5), b.rowOf(y) - 10).isValid());

    b.level("OL");
    b.ticks(5);
    b.level("----");
    b.ticks(5);
    image = b.chart->grab().toImage();
    EXPECT_EQ(b.near(image, b.columnOf(13), b.rowOf(g.plotHeight + 5)), QColor(Qt::black)); // above the top
    EXPECT_EQ(b.near(image, b.columnOf(18), b.rowOf(-3)), QColor(Qt::black));               // below the base
    EXPECT_EQ(image.pixelColor(b.columnOf(18), b.rowOf(-3) - 6), QColor(Qt::white));        // inside the plot
}

TEST(RealTimeSLM, ReadsADecimalCommaLevelWithItsTenths)
{
    ChartBench b;
    b.regional = Regional::comma();
    b.chart->redraw();
    b.level("85,9");
    b.ticks(10);
    const QImage image = b.chart->grab().toImage();
    const int h = b.chart->plotGeometry().plotHeight;
    EXPECT_EQ(b.near(image, b.columnOf(5), b.rowOf((85.9 - 60) / 80 * h)), QColor(Qt::black));
    // Read up to the comma only, it would stand at 85 dB, rows lower.
    ASSERT_GE(b.rowOf((85.0 - 60) / 80 * h) - b.rowOf((85.9 - 60) / 80 * h), 3);
    EXPECT_FALSE(b.near(image, b.columnOf(5), b.rowOf((85.0 - 60) / 80 * h)).isValid());
}

TEST(RealTimeSLM, AStaleLevelIsNoReading)
{
    ChartBench b;
    b.level("85.2");
    b.state.live.polledAt = steadyNow() - 10;
    b.ticks(10);
    const QImage image = b.chart->grab().toImage();
    EXPECT_EQ(b.near(image, b.columnOf(5), b.rowOf(-3)), QColor(Qt::black));
}

TEST(RealTimeSLM, LimitPanelChecksLimitsThenCounts)
{
    ChartBench b;
    const int width = b.chart->plotGeometry().plotWidth;
    b.key("Limit")->trigger();
    EXPECT_TRUE(b.chart->pMessage()->isVisible());
    EXPECT_FALSE(b.chart->timer1()->isActive());
    EXPECT_EQ(b.chart->txtCounts()->text(), QString::number(width));
    EXPECT_EQ(b.chart->txtMax()->text(), "140");
    EXPECT_EQ(b.chart->txtMin()->text(), "60");

    b.chart->txtMax()->setText("130");
    b.chart->txtMin()->setText("130");
    b.chart->cmdOK()->click();
    EXPECT_EQ(b.answers.messages, QStringList{"60 <= dBA <= 140, try again!"});
    EXPECT_EQ(b.chart->limits().maxLevel, 140);

    b.chart->txtMin()->setText("70");
    b.chart->txtCounts()->setText("9");
    b.chart->cmdOK()->click();
    EXPECT_EQ(b.answers.messages.last(), "10 <= Counts <= 864000, try again!");
    EXPECT_EQ(b.chart->limits().minLevel, 60);
    EXPECT_DOUBLE_EQ(b.chart->sampleStep(), 1.0);
    EXPECT_TRUE(b.chart->pMessage()->isVisible());

    b.chart->txtCounts()->setText("10");
    b.chart->cmdOK()->click();
    EXPECT_EQ(b.answers.messages.size(), 2);
    EXPECT_FALSE(b.chart->pMessage()->isVisible());
    EXPECT_TRUE(b.chart->timer1()->isActive());
    EXPECT_EQ(b.chart->limits().maxLevel, 130);
    EXPECT_EQ(b.chart->limits().minLevel, 70);
    EXPECT_DOUBLE_EQ(b.chart->sampleStep(), width / 10.0);
}

TEST(RealTimeSLM, LimitFieldsTakeOnlyTheirKeysAndEnterWalksOn)
{
    ChartBench b;
    b.key("Limit")->trigger();
    b.chart->txtMax()->clear();
    QTest::keyClicks(b.chart->txtMax(), "1a3,5.5-x");
    EXPECT_EQ(b.chart->txtMax()->text(), "135.5-");
    b.chart->txtCounts()->clear();
    QTest::keyClicks(b.chart->txtCounts(), "2-0.0a");
    EXPECT_EQ(b.chart->txtCounts()->text(), "200");

    b.chart->txtMax()->setText("120");
    QTest::keyClick(b.chart->txtCounts(), Qt::Key_Return);
    EXPECT_FALSE(b.chart->pMessage()->isVisible());
    EXPECT_EQ(b.chart->limits().maxLevel, 120);
}

TEST(RealTimeSLM, WarningAndAlarmColourTheTraceAndListAlarmPeriods)
{
    TempFolder folder;
    ChartBench b;
    EXPECT_FALSE(b.chart->alertLevels().warning);
    EXPECT_FALSE(b.chart->alertLevels().alarm);
    b.key("Limit")->trigger();
    b.chart->ckWarning()->setChecked(true);
    b.chart->txtWarning()->setText("95");
    b.chart->ckAlarm()->setChecked(true);
    b.chart->txtAlarm()->setText("90");
    b.chart->cmdOK()->click();
    EXPECT_EQ(b.answers.messages.last(), "The alarm level must not be below the warning level.");
    b.chart->txtAlarm()->setText("100");
    b.chart->cmdOK()->click();
    EXPECT_EQ(b.chart->alertLevels().warning, 95.0);
    EXPECT_EQ(b.chart->alertLevels().alarm, 100.0);

    b.level("90.0");
    b.ticks(5); // x 1..5
    b.level("97.0");
    b.ticks(5); // x 6..10
    b.level("104.5");
    b.ticks(3); // x 11..13
    b.level("OL");
    b.ticks(2); // x 14..15
    b.level("99.0");
    b.ticks(5); // x 16..20
    const QImage image = b.chart->grab().toImage();
    const auto at = [&](double x, double dB) {
        return b.near(image, b.columnOf(x), b.rowOf((dB - 60) / 80 * b.chart->plotGeometry().plotHeight));
    };
    EXPECT_EQ(at(3, 90.0), QColor(Qt::black));
    EXPECT_EQ(at(8, 97.0), QColor(255, 176, 0));
    EXPECT_EQ(at(12, 104.5), QColor(220, 0, 0));

    const QAbstractItemModel* m = b.chart->gridAlarms()->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Start");
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 0).data().toString(), "2026-12-07 10:00:10");
    EXPECT_EQ(m->index(0, 1).data().toString(), "2026-12-07 10:00:14");
    EXPECT_EQ(m->index(0, 2).data().toString(), "OL");

    b.key("Alarms")->trigger();
    EXPECT_TRUE(b.chart->frmAlarms()->isVisible());
    b.answers.csvPath = QString::fromStdString((folder / "alarms.csv").string());
    b.chart->findChild<QPushButton*>("CmdSaveAlarms")->click();
    EXPECT_EQ(readBytes(folder / "alarms.csv"),
              "Start,End,Maximum (dB)\r\n2026-12-07 10:00:10,2026-12-07 10:00:14,OL\r\n");
    EXPECT_TRUE(b.chart->lblAlarmStatus()->text().startsWith("Saved to"));

    b.answers.csvPath = QString::fromStdString((folder / "missing" / "alarms.csv").string());
    b.chart->findChild<QPushButton*>("CmdSaveAlarms")->click();
    EXPECT_TRUE(b.chart->lblAlarmStatus()->text().startsWith("Not saved"));
}

TEST(RealTimeSLM, TheTimeUnderTheLeftEdgeIsDrawnCleanAtEveryWrap)
{
    // Ticks until the pen has started over at the left edge and drawn its first step.
    const auto wrap = [](ChartBench& b) {
        b.ticks(1);
        while (b.chart->penX() != 0.0)
            b.ticks(1);
    };
    // The band under the plot from the window's left edge past the first time label.
    const auto band = [](ChartBench& b) {
        const RealTimeGeometry& g = b.chart->plotGeometry();
        return b.chart->surface().copy(0, g.baseLine + 4, g.screenX(RealTimeGeometry::columnStep),
                                       b.chart->height() - g.baseLine - 4);
    };
    const QDateTime later(QDate(2026, 12, 7), QTime(11, 11, 11));

    ChartBench once;
    once.level("----");
    once.chart->setClock([&] { return later; });
    wrap(once);

    ChartBench twice;
    twice.level("----");
    twice.chart->setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 48, 0)); });
    wrap(twice);
    twice.chart->setClock([&] { return later; });
    wrap(twice);

    EXPECT_EQ(band(twice), band(once));
    // The clearing does not take the level labels with it.
    EXPECT_EQ(twice.chart->surface().copy(0, 0, RealTimeGeometry::margin, twice.chart->height()),
              once.chart->surface().copy(0, 0, RealTimeGeometry::margin, once.chart->height()));
}

TEST(RealTimeSLM, SpringsBackToItsSmallestSizeAndPrints)
{
    TempFolder folder;
    ChartBench b;
    b.chart->resize(100, 100);
    EXPECT_EQ(b.chart->width(), 357);  // 5355 twips
    EXPECT_EQ(b.chart->height(), 391); // 5865 twips
    EXPECT_EQ(b.chart->plotGeometry().plotWidth % 30, 0);

    // The chart is drawn again onto the page: its labels are text, and no
    // picture of the screen is in the file.
    b.level("85.0");
    b.ticks(70);
    b.answers.pdfPath = QString::fromStdString((folder / "chart.pdf").string());
    b.key("Print")->trigger();
    const std::string pdf = readBytes(folder / "chart.pdf");
    EXPECT_GT(pdf.size(), 500u);
    EXPECT_NE(pdf.find("/Font"), std::string::npos);
    EXPECT_EQ(pdf.find("/Subtype /Image"), std::string::npos);
    EXPECT_FALSE(b.chart->toolbar1()->isHidden());
}

TEST(RealTimeSLM, GraphKeyOpensOneChartThatClosesWhenTheMeterIsTaken)
{
    PanelBench bench;
    ASSERT_TRUE(bench.waitForFirstPoll());
    const auto charts = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<RealTimeSLM*>(w) && w->isVisible())
                ++n;
        return n;
    };
    bench.panel->onToolbarButtonClick(ToolKey::Graph);
    bench.panel->onToolbarButtonClick(ToolKey::Graph);
    EXPECT_EQ(charts(), 1);
    EXPECT_TRUE(bench.state.chartOpen);

    QPointer<RealTimeSLM> chart;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = qobject_cast<RealTimeSLM*>(w))
            chart = c;
    ASSERT_TRUE(chart);
    ASSERT_TRUE(waitFor([&] { return chart->penX() >= 2; }, 5000));

    bench.state.meterInUse = true;
    ASSERT_TRUE(waitFor([&] { return chart.isNull(); }, 5000));
    EXPECT_FALSE(bench.state.chartOpen);
    bench.state.meterInUse = false;
    bench.panel->onToolbarButtonClick(ToolKey::Graph);
    EXPECT_EQ(charts(), 1);
}
