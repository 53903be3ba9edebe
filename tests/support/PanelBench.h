// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program on the virtual meter for window tests: the panel, its
// worker and recorder, the desktop dialogs answered by the test, and every
// byte that went out on the wire.
#pragma once

#include "support/TappedMeter.h"
#include "support/WaitFor.h"

#include "panel/AppState.h"
#include "panel/MeterWorker.h"
#include "panel/PanelWindow.h"
#include "panel/RealTimeRecorder.h"
#include "panel/SettingsPanel.h"

#include <QLocale>
#include <QStringList>

#include <memory>
#include <optional>

namespace km740::test {

struct PanelBenchOptions {
    double speed = 10.0;           // link time runs this many times faster
    bool failOpen = false;         // the port cannot be opened
    long long recordsPerPart = RealTimeRecorder::kRecordsPerPart;
};

struct PanelBench {
    double speed = 10.0;
    FastClock clock;
    std::shared_ptr<Wire> wire = std::make_shared<Wire>();
    TappedMeter* meter = nullptr;
    std::unique_ptr<MeterWorker> worker;
    AppState state;
    RealTimeRecorder recorder;
    std::unique_ptr<PanelWindow> panel;

    // The answers the dialogs give, and the messages shown.
    QStringList messages;
    QStringList openedFiles; // what the desktop viewer was asked to open
    std::optional<QString> saveAnswer;
    std::optional<QString> codeAnswer;
    std::optional<QString> openAnswer; // the file "Open" picks
    bool eraseAnswer = false;
    QLocale locale{QLocale::c()};

    explicit PanelBench(PanelBenchOptions options = {});
    ~PanelBench();
    PanelBench(const PanelBench&) = delete;
    PanelBench& operator=(const PanelBench&) = delete;

    PanelDialogs dialogs();

    // Bytes written so far.
    std::size_t sentCount();
    // Bytes sent since `from`, without the live poll's "F" and grave accent.
    Bytes sentApartFromPolls(std::size_t from = 0);
    // Bytes sent since `from`, polls included.
    Bytes sentSince(std::size_t from);
    // Writes so far (each command and each block of parameter bytes is one).
    std::size_t writeCount();
    // The link seconds between the first write after write `fromWrite` that
    // begins with `command` and the write after it; empty when there is none.
    std::optional<double> waitAfter(std::uint8_t command, std::size_t fromWrite = 0);
    // The same for the write `nth` writes after that command (1 = the next).
    std::optional<double> waitBetween(std::uint8_t command, int nth, std::size_t fromWrite = 0);
    // The keys of the toolbar buttons now visible.
    QStringList visibleKeys() const;
    // A value of the main window's settings panel.
    QString value(SettingsPanel::Field f) const;
    // Waits until the live poll has run at least once.
    bool waitForFirstPoll(int ms = 3000);
};

} // namespace km740::test
