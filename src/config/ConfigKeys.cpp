// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigKeys.h"

#include "config/ButtonsWindow.h"
#include "config/MeterSetupWindow.h"
#include "config/RecWindow.h"
#include "config/RtcWindow.h"
#include "config/SetupWindow.h"
#include "panel/PanelWindow.h"

namespace km740 {

void installConfigKeys(PanelWindow& panel)
{
    panel.setKeyHandler(QStringLiteral("RecSetup"), [&panel] { SetupWindow::openFromMeter(panel); });
    panel.setKeyHandler(QStringLiteral("Setup"), [&panel] { MeterSetupWindow::open(panel); });
    panel.setKeyHandler(QStringLiteral("RecOption"), [&panel] { RecWindow::openFromMeter(panel); });
    panel.setKeyHandler(QStringLiteral("RTC"), [&panel] { RtcWindow::open(panel); });
    panel.setKeyHandler(QStringLiteral("Btn"), [&panel] { ButtonsWindow::open(panel); });
}

} // namespace km740
