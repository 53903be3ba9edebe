// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace km740 {

class PanelWindow;

// The toolbar keys of this folder's windows: "RecSetup", "Setup", "RecOption", "RTC", "Btn".
void installConfigKeys(PanelWindow& panel);

} // namespace km740
