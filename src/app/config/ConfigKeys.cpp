// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/ConfigKeys.h"

#include "app/config/ButtonsWindow.h"
#include "app/config/MeterSetupWindow.h"
#include "app/config/RecWindow.h"
#include "app/config/RtcWindow.h"
#include "app/config/SetupWindow.h"
#include "app/panel/PanelWindow.h"

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
