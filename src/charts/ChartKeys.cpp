// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartKeys.h"

#include "panel/PanelWindow.h"

namespace km740 {

void installChartKeys(PanelWindow& panel)
{
    (void)panel;
}

} // namespace km740
