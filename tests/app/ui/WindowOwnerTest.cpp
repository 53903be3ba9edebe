// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PanelBench.h"

#include "app/charts/PlotWindow.h"
#include "app/charts/RealTimeSLM.h"
#include "app/config/ButtonsWindow.h"
#include "app/files/FileWindows.h"

#include <QPointer>
#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

// Every window opened from the toolbar or a file list goes with the main
// window, whichever way it was opened; a closed one is no longer "shown".
TEST(WindowOwner, WindowsGoWithTheMainWindow)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.panel->onToolbarButtonClick(ToolKey::Graph);
    b.panel->onToolbarButtonClick(ToolKey::Btn);
    PlotRequest plot;
    plot.inputs.plotXMax = 3;
    plot.inputs.plotYMax = 100.0;
    plot.series = {80.0, 81.0, 82.0};
    b.keys->files().chartSink().showPlot(plot);

    QPointer<RealTimeSLM> chart = b.context->windows().shown<RealTimeSLM>();
    QPointer<ButtonsWindow> keypad = b.context->windows().shown<ButtonsWindow>();
    QPointer<PlotWindow> plotWindow = b.context->windows().shown<PlotWindow>();
    ASSERT_TRUE(chart && keypad && plotWindow);

    keypad->close();
    EXPECT_EQ(b.context->windows().shown<ButtonsWindow>(), nullptr);
    EXPECT_TRUE(waitFor([&] { return keypad.isNull(); }, 5000));

    b.panel.reset();
    EXPECT_TRUE(chart.isNull());
    EXPECT_TRUE(plotWindow.isNull());
    EXPECT_FALSE(b.state.chartOpen);
}
