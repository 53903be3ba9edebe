// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Keys.h"

#include "app/charts/ChartKeys.h"
#include "app/config/ConfigKeys.h"
#include "app/files/FileKeys.h"
#include "app/logger/LoggerKeys.h"

namespace km740 {

void installWindowKeys(PanelWindow& panel)
{
    installLoggerKeys(panel);
    installFileKeys(panel);
    installChartKeys(panel);
    installConfigKeys(panel);
}

} // namespace km740
