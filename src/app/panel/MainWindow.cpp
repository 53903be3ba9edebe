// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/MainWindow.h"

#include "app/panel/PanelWindow.h"

#include <QCoreApplication>

namespace km740 {

std::unique_ptr<QMainWindow> showMainWindow(WindowContext& context, RealTimeRecorder& recorder, ToolKeyHandlers keys)
{
    auto panel = std::make_unique<PanelWindow>(context, recorder, std::move(keys));
    QObject::connect(panel.get(), &PanelWindow::closed, QCoreApplication::instance(), &QCoreApplication::quit);
    panel->show();
    return panel;
}

} // namespace km740
