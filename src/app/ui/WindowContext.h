// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/AppDialogs.h"
#include "app/ui/ArchiveFiling.h"
#include "app/ui/WindowOwner.h"
#include "core/common/Regional.h"

#include <QObject>
#include <QPointer>

#include <filesystem>

class QLabel;

namespace km740 {

struct AppState;
class MeterWorker;

// What the windows share: the program's state, the meter worker, the
// desktop dialogs, the regional settings of the last poll tick and the owner
// of the top-level windows. Made before the main window and outlives it.
class WindowContext : public QObject {
    Q_OBJECT
public:
    // worker may be null: the port could not be set up, "No Device Found!".
    WindowContext(AppState& state, MeterWorker* worker, AppDialogs dialogs);
    ~WindowContext() override;

    AppState& state() const { return state_; }
    MeterWorker* worker() const;
    const AppDialogs& dialogs() const { return dialogs_; }
    WindowOwner& windows() { return windows_; }

    // The separators of the regional settings, as read at the last poll tick.
    const Regional& regional() const { return regional_; }
    void setRegional(const Regional& regional) { regional_ = regional; }

    // The main window: new windows stand beside it and messages over it.
    QWidget* mainWindow() const { return mainWindow_.data(); }
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    // The folder of the measurement archive.
    const std::filesystem::path& archiveFolder() const { return archiveFolder_; }
    void setArchiveFolder(std::filesystem::path folder) { archiveFolder_ = std::move(folder); }
    // Files measurements into that archive, off the window thread.
    ArchiveFiling& filing() { return filing_; }
    // How a saving window hears how its file was filed: on its status line
    // while that is shown, else (a failure only) in a note over the main window.
    ArchiveFiling::Done filingReport(QLabel* statusLine);

    // Shows a message through the dialogs, over `over` or the main window.
    void message(const QString& text, bool critical, QWidget* over = nullptr) const;

    // The main window showed a live poll; state().live holds what it read.
    void notifyPolled() { emit polled(); }

signals:
    void polled();

private:
    AppState& state_;
    QPointer<MeterWorker> worker_;
    AppDialogs dialogs_;
    Regional regional_ = Regional::point();
    QPointer<QWidget> mainWindow_;
    std::filesystem::path archiveFolder_;
    ArchiveFiling filing_{[this] { return archiveFolder_; }};
    WindowOwner windows_;
};

} // namespace km740
