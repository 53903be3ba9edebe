// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigKeys.h"

#include "panel/PanelWindow.h"

namespace km740 {

void installConfigKeys(PanelWindow& panel)
{
    (void)panel;
}

} // namespace km740
