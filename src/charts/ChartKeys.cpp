// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartKeys.h"

#include "charts/RealTimeSLM.h"
#include "panel/AppState.h"
#include "panel/PanelWindow.h"

namespace km740 {

namespace {

ChartDialogs chartDialogsOf(const PanelWindow& panel)
{
    ChartDialogs d = ChartDialogs::desktop();
    // Messages go the panel's way, so they are shown (or answered) alike.
    if (panel.dialogs().message)
        d.message = panel.dialogs().message;
    return d;
}

} // namespace

void installChartKeys(PanelWindow& panel)
{
    panel.setKeyHandler(QStringLiteral("Graph"), [&panel] {
        AppState& state = panel.state();
        if (state.chartOpen)
            return;
        auto* chart = new RealTimeSLM(state, [&panel] { return panel.regional(); }, &panel, chartDialogsOf(panel));
        chart->setAttribute(Qt::WA_DeleteOnClose);
        state.chartOpen = true;
        chart->show();
    });
}

} // namespace km740
