// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/WindowContext.h"

#include "app/ui/MeterWorker.h"

namespace km740 {

WindowContext::WindowContext(AppState& state, MeterWorker* worker, AppDialogs dialogs)
    : state_(state), worker_(worker), dialogs_(std::move(dialogs))
{
}

WindowContext::~WindowContext() = default;

MeterWorker* WindowContext::worker() const { return worker_.data(); }

void WindowContext::message(const QString& text, bool critical, QWidget* over) const
{
    if (dialogs_.message)
        dialogs_.message(over ? over : mainWindow(), text, critical);
}

} // namespace km740
