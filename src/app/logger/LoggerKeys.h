// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace km740 {

class PanelWindow;

// The toolbar keys of this folder's windows: "Logger", "AddText".
void installLoggerKeys(PanelWindow& panel);

} // namespace km740
