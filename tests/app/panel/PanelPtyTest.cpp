// SPDX-License-Identifier: GPL-3.0-or-later
// The panel over a real tty: km740-sim on a pseudo-terminal, SerialTransport,
// the protocol's own pace.
#include "support/TappedMeter.h"
#include "support/SimProcess.h"
#include "support/WaitFor.h"

#include "app/ui/AppState.h"
#include "platform/SerialTransport.h"
#include "app/ui/MeterWorker.h"
#include "app/panel/PanelToolbar.h"
#include "app/panel/PanelWindow.h"
#include "app/ui/WindowContext.h"
#include "core/recording/RealTimeRecorder.h"

#include "app/Keys.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <optional>

using namespace km740;
using namespace km740::test;

TEST(PanelPty, PollsAtTheProtocolsPaceAndRecoversWhenTheMeterAnswersAgain)
{
    SimProcess sim(KM740_SIM_PATH, {"--seed", "7"});
    ASSERT_FALSE(sim.device().empty()) << "km740-sim did not start";

    SteadyClock clock;
    auto wire = std::make_shared<Wire>();
    auto worker = std::make_unique<MeterWorker>(
        std::make_unique<TapTransport>(std::make_unique<SerialTransport>(sim.device()), wire), clock);
    AppState state;
    state.portNumber = 1;
    RealTimeRecorder recorder;
    AppDialogs dialogs;
    QStringList messages;
    dialogs.message = [&](QWidget*, const QString& text, bool) { messages << text; };
    dialogs.locale = [] { return QLocale::c(); };
    WindowContext context(state, worker.get(), dialogs);
    PanelWindow panel(context, recorder);
    worker->start();

    ASSERT_TRUE(waitFor([&] { return state.live.valid; }, 10000)) << messages.join(' ').toStdString();
    EXPECT_EQ(panel.lblCOM()->text(), "COM  1");

    // Four more polls: "F", at least 0.2 s, grave accent, at least 0.2 s,
    // never two at once. (A loaded machine only makes the gaps longer.)
    auto writesSoFar = [&] {
        std::lock_guard lock(wire->mutex);
        return wire->timed;
    };
    const std::size_t from = writesSoFar().size();
    ASSERT_TRUE(waitFor([&] { return writesSoFar().size() >= from + 10; }, 20000));
    std::vector<std::pair<double, std::uint8_t>> writes = writesSoFar();
    writes.erase(writes.begin(), writes.begin() + static_cast<long>(from));
    while (!writes.empty() && writes.front().second != 'F')
        writes.erase(writes.begin());
    ASSERT_GE(writes.size(), 8u);
    double lastF = -1;
    for (std::size_t i = 0; i + 1 < writes.size(); i += 2) {
        ASSERT_EQ(writes[i].second, 'F') << "at write " << i;
        ASSERT_EQ(writes[i + 1].second, 0x60) << "at write " << i + 1;
        EXPECT_GE(writes[i + 1].first - writes[i].first, 0.195);
        if (lastF >= 0) {
            EXPECT_GE(writes[i].first - lastF, 0.395) << "two polls overlapped";
        }
        lastF = writes[i].first;
    }

    // The meter stops answering: "No COM", only "Open" left.
    ASSERT_EQ(::kill(sim.pid(), SIGSTOP), 0);
    ASSERT_TRUE(waitFor([&] { return panel.lblCOM()->text() == "No COM"; }, 10000));
    EXPECT_TRUE(panel.toolbar()->button(ToolKey::Open)->isVisible());
    EXPECT_FALSE(panel.toolbar()->button(ToolKey::Save)->isVisible());

    // It answers again: the port label, the toolbar and the poll come back.
    ASSERT_EQ(::kill(sim.pid(), SIGCONT), 0);
    ASSERT_TRUE(waitFor([&] { return panel.lblCOM()->text() == "COM  1"; }, 10000));
    EXPECT_TRUE(panel.toolbar()->button(ToolKey::Save)->isVisible());
    const double before = state.live.polledAt;
    EXPECT_TRUE(waitFor([&] { return state.live.polledAt > before; }, 10000));
    EXPECT_TRUE(messages.isEmpty());
    worker->stop();
}

namespace {

// The shown window of that name, once there is one.
QWidget* shownWindow(const char* name, int ms = 10000)
{
    QWidget* found = nullptr;
    waitFor(
        [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->objectName() == QLatin1String(name))
                    found = top;
            return found != nullptr;
        },
        ms);
    return found;
}

QPushButton* buttonOf(QWidget* w, const char* name)
{
    return w ? w->findChild<QPushButton*>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

// A minute of file recording over the pty while each configuration window is
// opened, used and closed and the logger is downloaded: one record a second,
// numbered and timed without a gap, "-" only while the download held the
// line. Takes a minute, so it runs only when asked for
// (--gtest_also_run_disabled_tests).
TEST(PanelPty, DISABLED_AMinuteOfRecordingKeepsEverySecond)
{
    SimProcess sim(KM740_SIM_PATH, {"--seed", "7", "--fill-kb", "8"});
    ASSERT_FALSE(sim.device().empty()) << "km740-sim did not start";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("minute.sonx"));

    SteadyClock clock;
    auto worker = std::make_unique<MeterWorker>(std::make_unique<SerialTransport>(sim.device()), clock);
    AppState state;
    state.portNumber = 1;
    RealTimeRecorder recorder;
    AppDialogs dialogs;
    QStringList messages;
    dialogs.message = [&](QWidget*, const QString& text, bool) { messages << text; };
    dialogs.locale = [] { return QLocale::c(); };
    dialogs.saveFile = [&](QWidget*, const QString&) { return std::optional<QString>(path); };
    WindowContext context(state, worker.get(), dialogs);
    Keys keys(context);
    PanelWindow panel(context, recorder, keys.handlers());
    panel.show();
    worker->start();
    ASSERT_TRUE(waitFor([&] { return state.live.valid; }, 10000));

    const auto started = std::chrono::steady_clock::now();
    panel.onToolbarButtonClick(ToolKey::Save);
    ASSERT_TRUE(waitFor([&] { return state.recording.fileRecording; }, 10000));
    auto click = [](QAbstractButton* b) {
        ASSERT_NE(b, nullptr);
        b->click();
    };
    auto key = [&](ToolKey k) { panel.onToolbarButtonClick(k); };

    key(ToolKey::RecSetup);
    QWidget* setup = shownWindow("Setup");
    QTest::qWait(4000);
    click(buttonOf(setup, "CmdOK"));
    ASSERT_TRUE(waitFor([&] { return !state.meterInUse; }, 10000)) << messages.join(' ').toStdString();

    key(ToolKey::RecOption);
    QWidget* rec = shownWindow("REC");
    QTest::qWait(3000);
    click(buttonOf(rec, "CmdSetup"));
    QTest::qWait(3000);
    rec->close();
    ASSERT_TRUE(waitFor([&] { return !state.meterInUse; }, 10000));

    key(ToolKey::RTC);
    QWidget* rtc = shownWindow("RTC");
    click(buttonOf(rtc, "LblMeterTime"));
    QTest::qWait(3000);
    click(buttonOf(rtc, "CmdSetTime"));
    QTest::qWait(2000);
    click(buttonOf(rtc, "CmdExit"));
    ASSERT_TRUE(waitFor([&] { return !state.meterInUse; }, 10000));

    key(ToolKey::Setup);
    QWidget* meterSetup = shownWindow("MeterSetup");
    QTest::qWait(3000);
    click(buttonOf(meterSetup, "CmdOK"));
    QTest::qWait(1000);

    key(ToolKey::Btn);
    QWidget* keypad = shownWindow("Buttons");
    QTest::qWait(2000);
    click(buttonOf(keypad, "CmdMenu"));
    QTest::qWait(1500);
    click(buttonOf(keypad, "CmdMenu"));
    QTest::qWait(1500);
    keypad->close();

    std::cout << "logger download from record " << state.recording.fileRecordCount + 1 << '\n';
    key(ToolKey::Logger);
    QWidget* memory = shownWindow("Memory");
    ASSERT_NE(memory, nullptr) << messages.join(' ').toStdString();
    ASSERT_TRUE(waitFor([&] { return !state.meterInUse; }, 30000));
    std::cout << "logger download done at record " << state.recording.fileRecordCount << '\n';
    QTest::qWait(2000);
    memory->close();

    while (std::chrono::steady_clock::now() - started < std::chrono::seconds(61))
        QTest::qWait(100);
    key(ToolKey::Save);
    ASSERT_FALSE(state.recording.fileRecording);
    worker->stop();

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    int records = 0, notMeasured = 0, lastSecond = -1, gaps = 0;
    QStringList notMeasuredAt;
    for (const QString& line : lines) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() != 4 || cells[0].toInt() == 0)
            continue;
        ++records;
        EXPECT_EQ(cells[0].toInt(), records) << line.toStdString();
        const QStringList hms = cells[1].section(QLatin1Char(' '), 1).split(QLatin1Char(':'));
        const int second = hms.value(0).toInt() * 3600 + hms.value(1).toInt() * 60 + hms.value(2).toInt();
        if (lastSecond >= 0 && (second - lastSecond + 86400) % 86400 != 1) {
            ++gaps;
            ADD_FAILURE() << "not one second after the record before: " << line.toStdString();
        }
        lastSecond = second;
        if (cells[2] == QLatin1String("-")) {
            ++notMeasured;
            notMeasuredAt << cells[0];
        }
    }
    std::cout << "records " << records << ", not measured " << notMeasured << " (records "
              << notMeasuredAt.join(QLatin1Char(' ')).toStdString() << "), time gaps " << gaps
              << ", messages: " << messages.join(QStringLiteral(" | ")).toStdString() << '\n';
    EXPECT_GE(records, 59);
}
