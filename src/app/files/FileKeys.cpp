// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/files/FileKeys.h"

#include "app/files/FileWindows.h"
#include "app/panel/PanelWindow.h"

namespace km740 {

void installFileKeys(PanelWindow& panel)
{
    FileWindows& windows = FileWindows::of(panel);
    panel.setKeyHandler(QStringLiteral("Open"), [&windows] { windows.onOpenClick(); });
}

} // namespace km740
