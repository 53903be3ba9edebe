// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

namespace km740 {

class WindowContext;

// "Erase" (the toolbar key and the Memory window's LblRemain): asks over
// parent whether to delete the logger memory; on OK sends "S" and calls
// sent. Cancel sends nothing.
void eraseLogger(WindowContext& context, QWidget* parent = nullptr, const std::function<void()>& sent = {});

} // namespace km740
