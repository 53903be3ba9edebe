// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/LoggerKeys.h"

#include "logger/LoggerWindows.h"
#include "panel/PanelWindow.h"

namespace km740 {

void installLoggerKeys(PanelWindow& panel)
{
    auto* windows = new LoggerWindows(panel);
    panel.setKeyHandler(QStringLiteral("Logger"), [windows] { windows->onLoggerKey(); });
    panel.setKeyHandler(QStringLiteral("AddText"), [windows] { windows->onAddTextKey(); });
}

} // namespace km740
