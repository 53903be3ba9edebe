// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program on the virtual meter for window tests: the panel, its
// worker, recorder, window context and keys, the desktop dialogs answered by
// the test, and every byte that went out on the wire.
#pragma once

#include "support/TempFolder.h"
#include "support/WaitFor.h"
#include "support/WorkerBench.h"

#include "app/Keys.h"
#include "app/panel/PanelWindow.h"
#include "app/ui/WindowContext.h"
#include "app/ui/AppState.h"
#include "core/recording/RealTimeRecorder.h"
#include "app/ui/SettingsPanel.h"

#include <QLocale>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace km740::test {

struct PanelBenchOptions {
    double speed = 10.0;   // link time runs this many times faster
    bool failOpen = false; // the port cannot be opened
    long long recordsPerPart = RealTimeRecorder::kRecordsPerPart;
    std::string portDevice{};                   // a device no COM number stands for; else COM 1
    int sampleMs = PanelWindow::timer2Interval; // Timer2: tests that count records shorten it
};

struct PanelBench : WorkerBench {
    AppState state;
    RealTimeRecorder recorder;
    TempFolder archive; // the measurement archive's folder
    std::unique_ptr<WindowContext> context;
    std::unique_ptr<Keys> keys;
    std::unique_ptr<PanelWindow> panel;

    // The answers the dialogs give, the times they were asked, the messages shown.
    QStringList messages;
    QStringList openedFiles; // what the desktop viewer was asked to open
    bool viewerOpens = true; // false: the desktop has no viewer for it
    std::optional<QString> saveAnswer;
    std::optional<QString> codeAnswer;
    std::optional<QString> openAnswer; // the file "Open" picks
    bool eraseAnswer = false;
    int eraseAsked = 0;
    QLocale locale{QLocale::c()};

    explicit PanelBench(PanelBenchOptions options = {});
    ~PanelBench() override;

    AppDialogs dialogs();

    // The keys of the toolbar buttons now visible.
    QStringList visibleKeys() const;
    // A value of the main window's settings panel.
    QString value(SettingsPanel::Field f) const;
    // Waits until the live poll has run at least once.
    bool waitForFirstPoll(int ms = 3000);
    // What `action` sends apart from polls: the live poll is held off, the
    // worker left to finish what the action gave it, then polling resumes.
    Bytes sentBy(const std::function<void()>& action, int ms = 5000);
};

} // namespace km740::test
