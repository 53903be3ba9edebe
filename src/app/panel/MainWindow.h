// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/ToolKey.h"

#include <QMainWindow>

#include <memory>

namespace km740 {

class RealTimeRecorder;
class WindowContext;

// The program's main window (form Panel), shown; closing it ends the program.
// The context and recorder outlive it.
std::unique_ptr<QMainWindow> showMainWindow(WindowContext& context, RealTimeRecorder& recorder, ToolKeyHandlers keys);

} // namespace km740
