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

#include <QAction>
#include <QLabel>
#include <gtest/gtest.h>

#include <csignal>

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
