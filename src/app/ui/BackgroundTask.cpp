// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/BackgroundTask.h"

#include <QThread>

#include <algorithm>

namespace km740 {

QThreadPool& backgroundPool()
{
    static QThreadPool pool;
    // A few more than the cores, so a short job (a save) need not wait
    // behind two long summaries.
    static const bool sized = (pool.setMaxThreadCount(std::max(4, QThread::idealThreadCount())), true);
    (void)sized;
    return pool;
}

} // namespace km740
