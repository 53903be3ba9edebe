// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartTestSupport.h"

#include "app/charts/GraphView.h"
#include "app/charts/HistogramWindow.h"
#include "core/exposure/LnTable.h"
#include "support/TempFolder.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;
using Mode = GraphView::TrackMode;

namespace {

LevelDistribution someLevels()
{
    LevelDistribution d;
    for (int i = 0; i < 100; ++i)
        d.addLevel(70.0 + (i % 25) * 0.4); // 70.0 .. 79.6
    d.addCell("----");
    return d;
}

struct HistogramBench {
    ChartDialogAnswers answers;
    QPointer<HistogramWindow> window;

    explicit HistogramBench(Resolution r)
    {
        const LevelDistribution d = someLevels();
        const auto rows = gridLnRows(computeLnTable(d, r, Regional::point()));
        window = HistogramWindow::showHistogram(r, d, rows, QString::fromStdString(leftOutNote(d)), nullptr,
                                                answers.dialogs());
    }
    ~HistogramBench() { delete window.data(); }

    void choose(const QString& item)
    {
        const int index = window->combo1()->findText(item);
        window->combo1()->setCurrentIndex(index);
        emit window->combo1()->activated(index);
    }
    QAction* key(const QString& k) { return window->toolbar1()->findChild<QAction*>(k); }
};

} // namespace

TEST(HistogramWindow, LevelAxisSpansFiveBinsAroundTheCounts)
{
    HistogramBench tenth(Resolution::tenth);
    EXPECT_EQ(tenth.window->objectName(), "Histogram");
    EXPECT_EQ(tenth.window->windowTitle(), "Histograma");
    EXPECT_EQ(tenth.window->lblMessage(), nullptr);
    GraphView& g = *tenth.window->graph();
    EXPECT_NEAR(g.axisMinimum(1), 69.5, 1e-9);
    EXPECT_NEAR(g.axisMaximum(1), 80.1, 1e-9);
    EXPECT_EQ(g.pointCount(), 25u);
    EXPECT_EQ(g.axisCaption(2), "FREQUENCY");
    EXPECT_GT(g.axisMaximum(2), 4.0); // the highest bar (4 counts) fits

    HistogramBench whole(Resolution::whole);
    EXPECT_EQ(whole.window->objectName(), "Histogram1");
    EXPECT_EQ(whole.window->graph()->axisMinimum(1), 65);
    EXPECT_EQ(whole.window->graph()->axisMaximum(1), 84);
    ASSERT_NE(whole.window->lblMessage(), nullptr);
    EXPECT_EQ(whole.window->lblMessage()->text(), "1 record without a level left out");

    // GridLn: the ten rows under their headers.
    const QAbstractItemModel* m = tenth.window->gridLn()->model();
    ASSERT_EQ(m->columnCount(), 11);
    ASSERT_EQ(m->rowCount(), 10);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Ln");
    EXPECT_EQ(m->headerData(10, Qt::Horizontal).toString(), " 9");
    EXPECT_EQ(m->index(9, 0).data().toString(), "L(90)");
    EXPECT_EQ(m->index(0, 1).data().toString(), "79.6"); // L0: the highest level
    EXPECT_EQ(m->index(5, 1).data().toString(), "74.8"); // L50
}

TEST(HistogramWindow, LimitTogglesTheListWhichSetsTheTrackMode)
{
    HistogramBench b(Resolution::tenth);
    EXPECT_EQ(b.window->graph()->trackMode(), Mode::normal);
    EXPECT_FALSE(b.window->combo1()->isHidden());
    b.key("Limit")->trigger();
    EXPECT_TRUE(b.window->combo1()->isHidden());
    b.key("Limit")->trigger();
    EXPECT_FALSE(b.window->combo1()->isHidden());

    b.choose("ZoomX");
    EXPECT_EQ(b.window->graph()->trackMode(), Mode::zoomX);
    b.window->graph()->redraw();
    dragOnGraph(*b.window->graph(), {72, 2}, {76, 3});
    EXPECT_NEAR(b.window->graph()->axisMinimum(1), 72, 0.1);
    b.choose("PanY");
    EXPECT_EQ(b.window->graph()->trackMode(), Mode::panY);
    b.choose("Reset");
    EXPECT_EQ(b.window->graph()->trackMode(), Mode::normal);
    EXPECT_NEAR(b.window->graph()->axisMinimum(1), 69.5, 1e-9);
    EXPECT_EQ(b.window->combo1()->currentText(), "Normal");
}

TEST(HistogramWindow, KeepsItsMinimumSizeAndPrints)
{
    TempFolder folder;
    HistogramBench b(Resolution::whole);
    b.window->resize(200, 150);
    EXPECT_EQ(b.window->width(), 644);  // 9660 twips
    EXPECT_EQ(b.window->height(), 519); // 7785 twips
    // The table sits under the graph, 2800 twips high.
    EXPECT_EQ(b.window->gridLn()->y(), b.window->graph()->geometry().bottom() + 1);
    EXPECT_EQ(b.window->gridLn()->height(), 187);

    const QColor plotArea = b.window->graph()->plotAreaColor();
    b.answers.pdfPath = QString::fromStdString((folder / "histogram.pdf").string());
    b.key("Print")->trigger();
    QFile pdf(b.answers.pdfPath);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_EQ(b.window->graph()->plotAreaColor(), plotArea);
    EXPECT_FALSE(b.window->toolbar1()->isHidden());
}
