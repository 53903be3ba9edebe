// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace km740 {

// The one owner of the program's top-level windows. A window handed to it
// is deleted when it closes; whatever is still open when the main window
// goes is deleted with it. Windows are parentless, except the modal
// dialogs, which stand over the main window.
class WindowOwner {
public:
    WindowOwner() = default;
    ~WindowOwner();
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;

    template <typename W>
    W* adopt(W* window)
    {
        window->setAttribute(Qt::WA_DeleteOnClose);
        forgetGone();
        windows_.emplace_back(window);
        return window;
    }

    // The shown window of class W, or null. A window closed a moment ago
    // may still wait for its deletion: only a shown one counts.
    template <typename W>
    W* shown() const
    {
        for (const QPointer<QWidget>& w : windows_)
            if (auto* found = qobject_cast<W*>(w.data()); found && found->isVisible())
                return found;
        return nullptr;
    }

    // Closes every window and deletes what is left of them.
    void deleteAll();

private:
    void forgetGone();

    std::vector<QPointer<QWidget>> windows_;
};

} // namespace km740
