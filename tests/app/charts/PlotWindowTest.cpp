// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartTestSupport.h"

#include "app/charts/GraphView.h"
#include "app/charts/PlotWindow.h"
#include "app/ui/AppState.h"
#include "support/TempFolder.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

#include <limits>

using namespace km740;
using namespace km740::test;
using Mode = GraphView::TrackMode;

namespace {

PlotInputs inputsOf(int kind, int rows, double yMin, double yMax, const char* unit, int decimals)
{
    return PlotInputs{kind, rows, yMin, yMax, unit, std::string(unit) + " ( Y ) :", decimals};
}

PlotInputs doseInputs(int rows)
{
    return inputsOf(4, rows, 0, 3, "%", 4);
}
PlotInputs levelInputs(int rows)
{
    return inputsOf(2, rows, 70, 140, "dB", 1);
}

std::vector<double> ramp(int n, double from, double step)
{
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(from + i * step);
    return v;
}

struct PlotBench {
    AppState state;
    ChartDialogAnswers answers;
    QPointer<PlotWindow> window;

    PlotBench(const PlotInputs& inputs, std::vector<double> values, Regional regional = Regional::point())
    {
        window = PlotWindow::showPlot(state, inputs, std::move(values), regional, nullptr, answers.dialogs());
        window->resize(900, 560);
        window->graph()->redraw();
    }
    ~PlotBench() { delete window.data(); }

    void choose(const QString& item)
    {
        const int index = window->combo1()->findText(item);
        window->combo1()->setCurrentIndex(index);
        emit window->combo1()->activated(index);
    }
    GraphView& graph() { return *window->graph(); }
};

} // namespace

TEST(PlotWindow, OpensOnTheWholeSeriesWithTheColumnsCaptions)
{
    PlotBench b(doseInputs(200), ramp(200, 0, 0.01));
    EXPECT_EQ(b.state.plotKind, 4);
    EXPECT_EQ(b.state.plotXMax, 200);
    EXPECT_EQ(b.state.plotYMin, 0);
    EXPECT_EQ(b.state.plotYMax, 3);
    EXPECT_EQ(b.graph().pointCount(), 200u);
    EXPECT_DOUBLE_EQ(b.graph().axisMinimum(1), 1);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(1), 200);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(2), 3);
    EXPECT_EQ(b.graph().axisCaption(2), "%");
    EXPECT_EQ(b.window->label2()->text(), "% ( Y ) :");
    EXPECT_EQ(b.window->combo1()->currentText(), "Normal");
    EXPECT_EQ(b.window->txtDescription()->toPlainText(), "Normal mode");
    EXPECT_EQ(b.window->axisMax(1)->value(), 200);
    EXPECT_EQ(b.graph().trackMode(), Mode::normal);
}

TEST(PlotWindow, TrackModeListShowsAndHidesTheCursors)
{
    PlotBench b(doseInputs(101), ramp(101, 0, 0.0125), Regional::comma());
    b.choose("Cursor Coordinates");
    EXPECT_EQ(b.graph().trackMode(), Mode::cursorDrag);
    EXPECT_TRUE(b.graph().cursorVisible(1));
    EXPECT_FALSE(b.graph().cursorVisible(2));
    EXPECT_TRUE(b.graph().cursorSnap(1));
    EXPECT_TRUE(b.graph().cursorSnap(2));
    // Placed mid-range, on the point there: record 51, 0.625 %.
    EXPECT_DOUBLE_EQ(b.graph().cursorX(1), 51);
    EXPECT_EQ(b.window->xPosition()->text(), "51");
    EXPECT_EQ(b.window->yPosition()->text(), "0,6250");
    EXPECT_EQ(b.window->txtDescription()->toPlainText(),
              "Drag the cursor with your mouse to get X (Count) and Y (dB) position.");

    b.graph().redraw();
    dragOnGraph(b.graph(), {51, 0.625}, {81, 2});
    EXPECT_EQ(b.window->xPosition()->text(), "81");
    EXPECT_EQ(b.window->yPosition()->text(), "1,0000");

    b.choose("PanXY");
    EXPECT_TRUE(b.graph().cursorVisible(1));
    b.choose("Normal");
    EXPECT_TRUE(b.graph().cursorVisible(1));
    for (const char* hiding : {"PanX", "PanY", "ZoomXY", "ZoomX", "ZoomY"}) {
        b.choose("Cursor Coordinates");
        b.choose(hiding);
        EXPECT_FALSE(b.graph().cursorVisible(1)) << hiding;
        EXPECT_FALSE(b.graph().cursorVisible(2)) << hiding;
    }
    EXPECT_EQ(b.graph().trackMode(), Mode::zoomY);
    EXPECT_EQ(b.window->txtDescription()->toPlainText(), "Select a region on the graph to zoom vertically.");

    b.window->onCombo1Click(8);
    EXPECT_EQ(b.window->txtDescription()->toPlainText(), "Select a valid TrackMode.");
    EXPECT_EQ(b.graph().trackMode(), Mode::zoomY);
}

TEST(PlotWindow, LevelReadOutHasOneDecimal)
{
    PlotBench b(levelInputs(10), ramp(10, 80.25, 1.0));
    b.choose("Cursor Coordinates");
    EXPECT_EQ(b.window->xPosition()->text(), "6");
    EXPECT_EQ(b.window->yPosition()->text(), "85.3");
}

TEST(PlotWindow, RangeBoxesAndZoomsAgreeAndResetReturnsToTheWhole)
{
    PlotBench b(levelInputs(1000), ramp(1000, 70, 0.05));
    b.window->axisMin(1)->setValue(100);
    b.window->axisMax(2)->setValue(120);
    EXPECT_DOUBLE_EQ(b.graph().axisMinimum(1), 100);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(1), 1000);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(2), 120);

    b.choose("ZoomX");
    b.graph().redraw();
    dragOnGraph(b.graph(), {300, 100}, {500, 90});
    EXPECT_NEAR(b.graph().axisMinimum(1), 300, 2);
    EXPECT_NEAR(b.graph().axisMaximum(1), 500, 2);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(2), 120);
    EXPECT_NEAR(b.window->axisMin(1)->value(), 300, 2);
    EXPECT_NEAR(b.window->axisMax(1)->value(), 500, 2);

    b.choose("PanX");
    b.graph().redraw();
    dragOnGraph(b.graph(), {400, 100}, {350, 100});
    EXPECT_NEAR(b.window->axisMin(1)->value(), 350, 2);

    b.choose("Cursor Coordinates");
    b.window->cmdReset()->click();
    EXPECT_FALSE(b.graph().cursorVisible(1));
    EXPECT_EQ(b.graph().trackMode(), Mode::normal);
    EXPECT_EQ(b.window->combo1()->currentText(), "Normal");
    EXPECT_DOUBLE_EQ(b.graph().axisMinimum(1), 1);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(1), 1000);
    EXPECT_DOUBLE_EQ(b.graph().axisMinimum(2), 70);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(2), 140);
    EXPECT_EQ(b.window->axisMin(1)->value(), 1);
}

TEST(PlotWindow, ARangeTheGraphCannotTakeIsTakenBackInTheBoxes)
{
    PlotBench b(levelInputs(100), ramp(100, 70, 0.5));
    b.window->axisMax(1)->setValue(0);
    EXPECT_DOUBLE_EQ(b.graph().axisMinimum(1), 1);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(1), 100);
    EXPECT_EQ(b.window->axisMin(1)->value(), 1);
    EXPECT_EQ(b.window->axisMax(1)->value(), 100);

    b.window->axisMin(2)->setValue(150);
    EXPECT_DOUBLE_EQ(b.graph().axisMinimum(2), 70);
    EXPECT_DOUBLE_EQ(b.window->axisMin(2)->value(), 70);
    EXPECT_DOUBLE_EQ(b.window->axisMax(2)->value(), 140);

    // A good range after a refused one still applies.
    b.window->axisMax(1)->setValue(50);
    EXPECT_DOUBLE_EQ(b.graph().axisMaximum(1), 50);
    EXPECT_EQ(b.window->axisMax(1)->value(), 50);
}

TEST(PlotWindow, PrintGraphWritesThePageAndKeepsTheScreenColours)
{
    TempFolder folder;
    PlotBench b(levelInputs(50), ramp(50, 75, 0.5));
    b.graph().setBackgroundColor(QColor(200, 200, 255));

    b.window->cmdPrint()->click(); // cancelled
    EXPECT_EQ(b.answers.printerDialogs, 1);

    b.answers.pdfPath = QString::fromStdString((folder / "plot.pdf").string());
    b.window->cmdPrint()->click();
    QFile pdf(b.answers.pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_GT(pdf.size(), 1000);
    EXPECT_EQ(b.graph().backgroundColor(), QColor(200, 200, 255));
    EXPECT_EQ(b.graph().axisCaption(2), "dB");
}

TEST(PlotWindow, AnEmptyOrSingleRecordColumnStillGetsAnAxis)
{
    PlotBench one(levelInputs(1), {85.0});
    EXPECT_LT(one.graph().axisMinimum(1), one.graph().axisMaximum(1));
    PlotInputs flat = doseInputs(0);
    flat.plotYMax = 0;
    PlotBench none(flat, {});
    EXPECT_LT(none.graph().axisMinimum(2), none.graph().axisMaximum(2));
}
