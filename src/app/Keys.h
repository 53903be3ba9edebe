// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace km740 {

class PanelWindow;

// Hands the toolbar keys that open windows to the folders those windows
// live in, so the panel stays the panel.
void installWindowKeys(PanelWindow& panel);

} // namespace km740
