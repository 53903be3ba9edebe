// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileKeys.h"

#include "panel/PanelWindow.h"

namespace km740 {

void installFileKeys(PanelWindow& panel)
{
    (void)panel;
}

} // namespace km740
