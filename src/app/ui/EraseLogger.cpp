// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/EraseLogger.h"

#include "app/ui/MeterWorker.h"
#include "app/ui/WindowContext.h"
#include "core/link/MeterLink.h"

namespace km740 {

void eraseLogger(WindowContext& context, QWidget* parent, const std::function<void()>& sent)
{
    MeterWorker* worker = context.worker();
    const AppDialogs& dialogs = context.dialogs();
    if (!worker || !dialogs.confirmErase || !dialogs.confirmErase(parent ? parent : context.mainWindow()))
        return;
    worker->post<Done>(
        &context, [](MeterLink& link) { return link.eraseLogger(); }, [](const Status&) {});
    if (sent)
        sent();
}

} // namespace km740
