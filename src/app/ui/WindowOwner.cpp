// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/WindowOwner.h"

#include <algorithm>

namespace km740 {

WindowOwner::~WindowOwner()
{
    deleteAll();
}

void WindowOwner::deleteAll()
{
    // A window may open or close others while it closes: work on a copy.
    const std::vector<QPointer<QWidget>> windows = std::move(windows_);
    windows_.clear();
    for (const QPointer<QWidget>& w : windows)
        if (w)
            w->close();
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    if (!windows_.empty())
        deleteAll();
}

void WindowOwner::forgetGone()
{
    windows_.erase(
        std::remove_if(windows_.begin(), windows_.end(), [](const QPointer<QWidget>& w) { return w.isNull(); }),
        windows_.end());
}

} // namespace km740
