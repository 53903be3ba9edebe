// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/WindowKeys.h"

#include "charts/ChartKeys.h"
#include "config/ConfigKeys.h"
#include "files/FileKeys.h"
#include "logger/LoggerKeys.h"

namespace km740 {

void installWindowKeys(PanelWindow& panel)
{
    installLoggerKeys(panel);
    installFileKeys(panel);
    installChartKeys(panel);
    installConfigKeys(panel);
}

} // namespace km740
