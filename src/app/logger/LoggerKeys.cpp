// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/LoggerKeys.h"

#include "app/logger/LoggerWindows.h"
#include "app/panel/PanelWindow.h"

namespace km740 {

void installLoggerKeys(PanelWindow& panel)
{
    auto* windows = new LoggerWindows(panel);
    panel.setKeyHandler(QStringLiteral("Logger"), [windows] { windows->onLoggerKey(); });
    panel.setKeyHandler(QStringLiteral("AddText"), [windows] { windows->onAddTextKey(); });
}

} // namespace km740
