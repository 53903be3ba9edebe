// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/LoggerKeys.h"

#include "panel/PanelWindow.h"

namespace km740 {

void installLoggerKeys(PanelWindow& panel)
{
    (void)panel;
}

} // namespace km740
