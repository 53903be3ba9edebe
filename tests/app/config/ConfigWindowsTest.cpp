// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration windows on the in-process virtual meter: the bytes they
// send, in order and with their waits, and what the meter keeps afterwards.
#include "support/Hearing.h"
#include "support/PanelBench.h"

#include "app/config/ButtonsWindow.h"
#include "app/config/MeterDrawing.h"
#include "app/config/MeterSetupWindow.h"
#include "app/ui/PickCombo.h"
#include "app/config/RecWindow.h"
#include "app/config/RtcWindow.h"
#include "app/config/SetupWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

using Col = PresetColumn;
using Field = SettingsPanel::Field;

// The user picks `text` from the combo's list.
void pick(PickCombo* box, const QString& text)
{
    const int at = box->findText(text);
    ASSERT_GE(at, 0) << text.toStdString() << " is not in " << box->objectName().toStdString();
    box->setCurrentIndex(at);
    emit box->activated(at);
}

// Sends bytes to the meter as one block, between the worker's exchanges.
void tell(PanelBench& b, std::initializer_list<Bytes> writes)
{
    b.meter->with([&](VirtualMeter& m) {
        for (const Bytes& w : writes)
            ASSERT_TRUE(m.write(w).ok());
    });
}

// The shown window of that kind, once there is one.
template <typename W>
W* waitForWindow(PanelBench& b)
{
    W* w = nullptr;
    waitFor([&] { return (w = b.context->windows().shown<W>()) != nullptr; }, 5000);
    return w;
}

// Waits until the window has closed; it may be deleted by then.
bool waitClosed(QWidget* w)
{
    QPointer<QWidget> p(w);
    return waitFor([&] { return !p || !p->isVisible(); }, 5000);
}

// The bytes from the first `command` on, `count` of them.
Bytes from(const Bytes& sent, std::uint8_t command, std::size_t count)
{
    const auto at = std::find(sent.begin(), sent.end(), command);
    if (at == sent.end() || static_cast<std::size_t>(sent.end() - at) < count)
        return {};
    return Bytes(at, at + static_cast<std::ptrdiff_t>(count));
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

MeterState meterState(PanelBench& b)
{
    MeterState s;
    b.meter->with([&](VirtualMeter& m) { s = m.state(); });
    return s;
}

} // namespace

TEST(SetupWindow, OpensOnTheMetersPresetAndWritesPresetAndTable)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    tell(b, {{'Q'}, {12}});
    const std::size_t mark = b.sentCount();
    b.panel->onToolbarButtonClick(ToolKey::RecSetup);
    SetupWindow* w = waitForWindow<SetupWindow>(b);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Recording Setup");
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{'R', 'C'}));
    EXPECT_TRUE(b.state.meterInUse);

    // Preset 12: user mode on User5, the edit row a copy of user row 4.
    EXPECT_TRUE(w->opt(12)->isChecked());
    EXPECT_TRUE(w->newOpt(1)->isChecked());
    EXPECT_EQ(w->comboUser()->text(), "User5");
    EXPECT_FALSE(w->comboUniform()->isEnabled());
    EXPECT_EQ(w->label(SetupWindow::uniformRow, Col::peak)->text(), "----");
    for (int c = 0; c < presetColumnCount; ++c)
        EXPECT_EQ(w->combo(SetupWindow::editRow, Col(c))->text(), w->combo(4, Col(c))->text());
    EXPECT_EQ(w->userRow(3), presetRowFromRecord({0x75, 75, 75, 2}));
    EXPECT_EQ(w->userRow(8).average, "min");

    // Standard mode picks OSHA-80 and shows its row; back to user mode picks User1.
    w->newOpt(0)->click();
    EXPECT_EQ(b.state.presetIndex, 0);
    EXPECT_EQ(w->comboUniform()->text(), "OSHA-80");
    EXPECT_EQ(w->combo(SetupWindow::editRow, Col::range)->text(), "----");
    EXPECT_FALSE(w->combo(SetupWindow::editRow, Col::range)->isEnabled());
    pick(w->comboUniform(), "DOD");
    EXPECT_TRUE(w->opt(4)->isChecked());
    EXPECT_EQ(w->label(SetupWindow::uniformRow, Col::exchangeRate)->text(), "4");
    w->newOpt(1)->click();
    EXPECT_EQ(b.state.presetIndex, 8);
    EXPECT_EQ(w->comboUser()->text(), "User1");

    // User3 edited through the edit row into the 0x75 record.
    pick(w->comboUser(), "User3");
    EXPECT_EQ(b.state.presetIndex, 10);
    pick(w->combo(SetupWindow::editRow, Col::freqWeighting), "C");
    pick(w->combo(SetupWindow::editRow, Col::exchangeRate), "4");
    pick(w->combo(SetupWindow::editRow, Col::range), "60-130");
    // The interlock moves the criterion with the threshold, in the user row too.
    pick(w->combo(SetupWindow::editRow, Col::threshold), "88");
    EXPECT_EQ(w->combo(SetupWindow::editRow, Col::criterion)->text(), "90");
    EXPECT_EQ(w->combo(2, Col::criterion)->text(), "90");
    pick(w->combo(SetupWindow::editRow, Col::threshold), "75");
    pick(w->combo(SetupWindow::editRow, Col::criterion), "85");
    // A user row edited in place, with the interlock the other way.
    pick(w->combo(1, Col::threshold), "85");
    pick(w->combo(1, Col::criterion), "80");
    EXPECT_EQ(w->combo(1, Col::threshold)->text(), "80");

    UserPresetTable want = *decodeUserPresetTable(meterState(b).userPresets);
    want.records[2] = {0x75, 75, 75, 2};
    want.records[1] = {0x40, 80, 80, 0};
    const auto wantBytes = encodeUserPresetTable(want);

    const std::size_t okMark = b.sentCount();
    const std::size_t okWrites = b.writeCount();
    w->cmdOK()->click();
    EXPECT_FALSE(w->cmdOK()->isEnabled());
    ASSERT_TRUE(waitClosed(w));
    const Bytes sent = from(b.sentSince(okMark), 'Q', 3 + UserPresetTable::size);
    EXPECT_EQ(sent, cat({{'Q', 10, 'K'}, Bytes(wantBytes.begin(), wantBytes.end())}));
    EXPECT_GE(b.waitBetween('Q', 1, okWrites).value_or(0), 0.2);
    EXPECT_GE(b.waitBetween('Q', 2, okWrites).value_or(0), 0.7);
    EXPECT_GE(b.waitAfter('K', okWrites).value_or(0), 0.2);

    // The meter keeps them, and the next opening shows them.
    EXPECT_EQ(meterState(b).presetNumber, 10);
    EXPECT_EQ(meterState(b).userPresets, wantBytes);
    ASSERT_TRUE(waitFor([&] { return !b.state.meterInUse; }, 2000));
    b.panel->onToolbarButtonClick(ToolKey::RecSetup);
    SetupWindow* again = waitForWindow<SetupWindow>(b);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->comboUser()->text(), "User3");
    EXPECT_EQ(again->combo(SetupWindow::editRow, Col::range)->text(), "60-130");
    // Closed by its frame: nothing sent, the meter is let go.
    const std::size_t closeMark = b.sentCount();
    again->close();
    ASSERT_TRUE(waitFor([&] { return !b.state.meterInUse; }, 2000));
    QTest::qWait(100);
    EXPECT_TRUE(b.sentApartFromPolls(closeMark).empty());
}

TEST(SetupWindow, KeepsABytesNoListNamesAndSaysWhatTheMeterDidNotTake)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    // User9 carries a criterion code the window has no entry for.
    const auto presets = meterState(b).userPresets;
    Bytes table(presets.begin(), presets.end());
    table[35] = 7;
    tell(b, {{'K'}, table});
    b.panel->onToolbarButtonClick(ToolKey::RecSetup);
    SetupWindow* w = waitForWindow<SetupWindow>(b);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->combo(8, Col::criterion)->text(), "code 7");
    EXPECT_FALSE(w->combo(8, Col::criterion)->showsListed());

    // The meter ignores "Q": OK names what did not take and the window stays;
    // the code the user left alone went back as the same byte.
    b.meter->with([](VirtualMeter& m) { m.ignoreCommands("Q"); });
    w->opt(5)->click();
    b.messages.clear();
    w->cmdOK()->click();
    ASSERT_TRUE(waitFor([&] { return !b.messages.isEmpty(); }, 10000));
    EXPECT_EQ(b.messages[0], "The meter did not take the preset (it reports 0, not 5).");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(meterState(b).userPresets[35], 7);

    b.meter->with([](VirtualMeter& m) { m.ignoreCommands(""); });
    w->cmdOK()->click();
    ASSERT_TRUE(waitClosed(w));
    EXPECT_EQ(meterState(b).presetNumber, 5);
    EXPECT_EQ(meterState(b).userPresets[35], 7);
}

TEST(MeterSetupWindow, WritesTheSettingsByteAndSetsThePanelLevels)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.panel->onToolbarButtonClick(ToolKey::Setup);
    MeterSetupWindow* w = waitForWindow<MeterSetupWindow>(b);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Current Meter Setup");
    const MeterSettings now = b.state.live.settings;
    EXPECT_EQ(w->combo(Col::timeWeighting)->stdText(), now.timeWeightingText);
    EXPECT_EQ(w->combo(Col::range)->stdText(), rangeText(now.rangeTop));
    EXPECT_EQ(w->combo(Col::threshold)->text(), "80");
    EXPECT_EQ(w->combo(Col::criterion)->text(), "85");
    EXPECT_FALSE(b.state.meterInUse);

    pick(w->combo(Col::timeWeighting), "Fast");
    pick(w->combo(Col::freqWeighting), "C");
    pick(w->combo(Col::peak), "Lcpk");
    pick(w->combo(Col::range), "60-130");
    pick(w->combo(Col::exchangeRate), "3");
    pick(w->combo(Col::threshold), "86");
    EXPECT_EQ(w->combo(Col::criterion)->text(), "90");

    const std::size_t mark = b.sentCount();
    const std::size_t writes = b.writeCount();
    w->cmdOK()->click();
    ASSERT_TRUE(waitClosed(w));
    EXPECT_EQ(from(b.sentSince(mark), '_', 4), (Bytes{'_', 0x35, 0x00, 0x00}));
    EXPECT_GE(b.waitAfter('_', writes).value_or(0), 0.2);
    EXPECT_EQ(b.state.panelThreshold, 86);
    EXPECT_EQ(b.state.panelCriterion, 90);
    EXPECT_EQ(meterState(b).settings, 0x35);
    // The next polls show the meter's new settings and the panel's levels.
    ASSERT_TRUE(waitFor([&] { return b.value(Field::Range) == "60-130" && b.value(Field::Threshold) == "86"; }, 3000));
    EXPECT_EQ(b.value(Field::Criterion), "90");
    EXPECT_EQ(b.value(Field::FSI), "Fast");

    // A meter averaging "min" keeps it: the window has no control for it.
    tell(b, {{'_'}, {0x08, 0, 0}});
    ASSERT_TRUE(waitFor([&] { return b.state.live.settings.averageText == "min"; }, 3000));
    b.panel->onToolbarButtonClick(ToolKey::Setup);
    w = waitForWindow<MeterSetupWindow>(b);
    ASSERT_NE(w, nullptr);
    pick(w->combo(Col::exchangeRate), "6");
    const std::size_t mark2 = b.sentCount();
    w->cmdOK()->click();
    ASSERT_TRUE(waitClosed(w));
    EXPECT_EQ(from(b.sentSince(mark2), '_', 4), (Bytes{'_', 0xC8, 0x00, 0x00}));
    EXPECT_EQ(meterState(b).settings, 0xC8);
}

TEST(MeterSetupWindow, RefusesOKBeforeTheMeterWasRead)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.state.live.valid = false;
    MeterSetupWindow::open(*b.context);
    MeterSetupWindow* w = waitForWindow<MeterSetupWindow>(b);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->combo(Col::timeWeighting)->text(), "");
    const std::size_t mark = b.sentCount();
    w->cmdOK()->click();
    ASSERT_EQ(b.messages.size(), 1);
    EXPECT_TRUE(b.messages[0].contains("time weighting")) << b.messages[0].toStdString();
    QTest::qWait(100);
    const Bytes sent = b.sentSince(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), '_'), 0);
    EXPECT_TRUE(w->isVisible());
    w->close();
}

TEST(RecWindow, ShowsTheReadsAndStartsTheSchedule)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    TimedTable table;
    table.entries[0] = {0, 5, 30, 12, 23, 59};
    table.entries[3] = {2, 255, 15, 0, 7, 45};
    const auto tableBytes = encodeTimedTable(table);
    tell(b, {{'J'},
             Bytes(tableBytes.begin(), tableBytes.end()),
             {'P'},
             {255},
             {'T'},
             {0x80, 0x01},
             {'V'},
             {8},
             {'O'},
             {0}});

    const std::size_t mark = b.sentCount();
    b.panel->onToolbarButtonClick(ToolKey::RecOption);
    RecWindow* w = waitForWindow<RecWindow>(b);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Recording Option");
    EXPECT_TRUE(w->isModal());
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{'B', 'E', 'G', 'H', 'U'}));
    ASSERT_TRUE(waitFor([&] { return !w->timer1()->isActive(); }, 2000));
    EXPECT_EQ(w->comboRepeat()->text(), "Always");
    EXPECT_EQ(w->comboIntv()->text(), " 1 Min");
    EXPECT_EQ(w->comboSingle()->text(), "Off");
    for (int i = 0; i < RecWindow::rows; ++i)
        EXPECT_EQ(w->ckEnable(i)->isChecked(), i == 0 || i == 15) << i;
    EXPECT_EQ(w->field(0, ScheduleField::startDay)->text(), "Any");
    EXPECT_EQ(w->field(0, ScheduleField::stopMinute)->text(), "59");
    EXPECT_EQ(w->field(3, ScheduleField::startHour)->text(), "Any");
    EXPECT_TRUE(w->cmd16()->isEnabled());
    EXPECT_FALSE(w->cmdLimit()->isEnabled());

    // A period switches to the duration-limited start and back.
    pick(w->comboSingle(), " 1 Hour");
    EXPECT_FALSE(w->frameSchedule()->isEnabled());
    EXPECT_FALSE(w->cmd16()->isEnabled());
    EXPECT_TRUE(w->cmdLimit()->isEnabled());
    pick(w->comboSingle(), "Off");
    EXPECT_TRUE(w->cmd16()->isEnabled());

    pick(w->comboRepeat(), "0");
    pick(w->field(5, ScheduleField::stopDay), "9");
    w->ckEnable(5)->setChecked(true);
    table.entries[5].stopDay = 9;
    const auto wantTable = encodeTimedTable(table);

    const std::size_t startMark = b.sentCount();
    const std::size_t writes = b.writeCount();
    // Written and read back, but a schedule shows nothing before its first
    // entry begins: the window says so and stays open.
    b.messages.clear();
    w->cmd16()->click();
    ASSERT_TRUE(waitFor([&] { return !b.messages.isEmpty(); }, 10000));
    EXPECT_TRUE(b.messages[0].contains("its start could not be confirmed")) << b.messages[0].toStdString();
    EXPECT_TRUE(w->isVisible());
    w->close();
    ASSERT_TRUE(waitClosed(w));
    EXPECT_EQ(
        from(b.sentSince(startMark), 'V', 2 + 2 + 97 + 2 + 3 + 2),
        cat({{'V', 8, 'O', 0, 'J'}, Bytes(wantTable.begin(), wantTable.end()), {'P', 0, 'T', 0x80, 0x21, 'W', 'Y'}}));
    EXPECT_GE(b.waitBetween('V', 1, writes).value_or(0), 0.1);
    EXPECT_GE(b.waitBetween('V', 2, writes).value_or(0), 0.3);
    EXPECT_GE(b.waitAfter('J', writes).value_or(0), 0.1);
    EXPECT_GE(b.waitAfter('W', writes).value_or(0), 0.2);
    ASSERT_TRUE(waitFor([&] { return !b.state.meterInUse; }, 2000));
    const MeterState s = meterState(b);
    EXPECT_EQ(s.repeatCount, 0);
    EXPECT_EQ(s.enableMask, 0x8021);
    EXPECT_EQ(s.schedule, wantTable);
    EXPECT_TRUE(s.scheduled);

    // Opened again it shows what was written; Start Rec sends V, X, Y only.
    b.panel->onToolbarButtonClick(ToolKey::RecOption);
    RecWindow* again = waitForWindow<RecWindow>(b);
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(waitFor([&] { return !again->timer1()->isActive(); }, 2000));
    EXPECT_EQ(again->comboRepeat()->text(), "0");
    EXPECT_TRUE(again->ckEnable(5)->isChecked());
    pick(again->comboIntv(), "10 Sec");
    const std::size_t recMark = b.sentCount();
    again->cmdStartRec()->click();
    ASSERT_TRUE(waitClosed(again));
    // Then REC on the display and "E" read back prove it.
    EXPECT_EQ(b.sentApartFromPolls(recMark), (Bytes{'V', 4, 'X', 'Y', 'E'}));
    EXPECT_EQ(meterState(b).intervalCode, 4);
    EXPECT_TRUE(meterState(b).recording);
}

TEST(RecWindow, DurationLimitedStartAndSetupWithoutStarting)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.panel->onToolbarButtonClick(ToolKey::RecOption);
    RecWindow* w = waitForWindow<RecWindow>(b);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(waitFor([&] { return !w->timer1()->isActive(); }, 2000));

    // Setup writes everything and leaves the window open.
    pick(w->comboSingle(), "30 Min");
    std::size_t mark = b.sentCount();
    w->cmdSetup()->click();
    ASSERT_TRUE(waitFor([&] { return w->isEnabled() && b.sentApartFromPolls(mark).size() >= 106; }, 5000));
    const Bytes setup = b.sentApartFromPolls(mark);
    EXPECT_EQ(Bytes(setup.begin(), setup.begin() + 5), (Bytes{'V', 8, 'O', 4, 'J'}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(meterState(b).periodCode, 4);
    EXPECT_FALSE(meterState(b).recording);

    mark = b.sentCount();
    w->cmdLimit()->click();
    ASSERT_TRUE(waitClosed(w));
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{'V', 8, 'O', 4, 'W', 'Y', 'E', 'G'}));
    EXPECT_TRUE(meterState(b).recording);
}

TEST(RtcWindow, SetsTheClockAndShowsIt)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.state.meterInUse = true;
    RtcWindow w(*b.context, [] { return DateTime{2026, 12, 31, 23, 59, 58}; });
    w.timer1()->stop(); // ticked by hand
    EXPECT_EQ(w.windowTitle(), "Form1");
    ASSERT_TRUE(waitFor([&] { return b.worker->idle(); }, 2000));

    // Neither display on: the captions only, nothing sent.
    const std::size_t mark = b.sentCount();
    w.onTimer1Timer();
    w.onTimer1Timer();
    QTest::qWait(50);
    EXPECT_EQ(w.lblMeterTime()->text(), "Meter Time");
    EXPECT_EQ(w.lblPCTime()->text(), "PC System Time");
    EXPECT_TRUE(b.sentApartFromPolls(mark).empty());

    w.lblPCTime()->click();
    w.onTimer1Timer();
    EXPECT_EQ(w.lblPCTime()->text(), "26/12/31 23:59:58");

    const std::size_t writes = b.writeCount();
    w.cmdSetTime()->click();
    ASSERT_TRUE(waitFor([&] { return w.cmdSetTime()->isEnabled(); }, 3000));
    // "L", then "D" reads the clock back.
    EXPECT_EQ(from(b.sentSince(mark), 'L', 8), (Bytes{'L', 0x58, 0x59, 0x23, 31, 12, 26, 'D'}));
    EXPECT_GE(b.waitAfter('L', writes).value_or(0), 0.2);

    // The meter now runs from that moment; its time is shown from "D".
    w.timer1()->stop();
    w.lblMeterTime()->click();
    w.onTimer1Timer();
    ASSERT_TRUE(waitFor([&] { return w.lblMeterTime()->text() != "Meter Time"; }, 3000));
    const QString shown = w.lblMeterTime()->text();
    EXPECT_TRUE(shown.startsWith("26/12/31 23:59:") || shown.startsWith("27/01/01 00:00:")) << shown.toStdString();
    EXPECT_EQ(b.sentApartFromPolls(mark).back(), 'D');

    // A second click stops the reads.
    w.lblMeterTime()->click();
    EXPECT_EQ(w.lblMeterTime()->text(), "Meter Time");
    const std::size_t off = b.sentCount();
    w.onTimer1Timer();
    QTest::qWait(50);
    EXPECT_TRUE(b.sentApartFromPolls(off).empty());
}

TEST(RtcWindow, GivesUpOnASilentMeterAndExitStillCloses)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.state.meterInUse = true;
    RtcWindow w(*b.context);
    w.timer1()->stop();
    w.show();
    b.meter->with([](VirtualMeter& m) { m.setSilentAfter(m.commandsTaken()); });
    w.lblMeterTime()->click();
    const std::size_t mark = b.sentCount();
    w.onTimer1Timer();
    ASSERT_TRUE(waitFor([&] { return w.lblNote()->isVisible(); }, 5000));
    EXPECT_EQ(w.lblMeterTime()->text(), "Meter Time");
    EXPECT_FALSE(w.showsMeterTime());
    const Bytes sent = b.sentApartFromPolls(mark);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 'D'), MeterLink::clockAttempts);
    // The lost-link handling runs.
    ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "No COM"; }, 3000));
    w.onTimer1Timer();
    w.cmdExit()->click();
    EXPECT_FALSE(w.isVisible());
    b.meter->with([](VirtualMeter& m) { m.setSilentAfter(std::nullopt); });
    ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "COM  1"; }, 5000));
}

TEST(ButtonsWindow, KeysSendTheirCharacterAndTheDisplayFollowsThePoll)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    b.panel->onToolbarButtonClick(ToolKey::Btn);
    ButtonsWindow* w = waitForWindow<ButtonsWindow>(b);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Control Panel");
    EXPECT_TRUE(b.state.keypadOpen);

    // The display copy is the last poll's twelve bytes, bit by bit.
    ASSERT_TRUE(waitFor(
        [&] {
            const SegmentBits want = ShowSegments(b.state.live.segments);
            for (int k = 1; k <= 12; ++k)
                for (int i = 0; i < 8; ++i)
                    if (w->drawing()->lit(k, i) != want[k - 1][i])
                        return false;
            return true;
        },
        3000));

    // The Left button, image and label each send "\", each held 0.2 s.
    std::size_t mark = b.sentCount();
    const std::size_t writes = b.writeCount();
    w->button(Key::left)->click();
    QLabel* image = w->image(Key::left);
    QTest::mousePress(image, Qt::LeftButton);
    EXPECT_EQ(w->shape(Key::left)->palette().color(QPalette::Window), QColor(Qt::white));
    QTest::mouseRelease(image, Qt::LeftButton);
    EXPECT_NE(w->shape(Key::left)->palette().color(QPalette::Window), QColor(Qt::white));
    QTest::mouseClick(w->label(Key::left), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return b.sentApartFromPolls(mark).size() >= 3; }, 3000));
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{'\\', '\\', '\\'}));
    EXPECT_GE(b.waitAfter('\\', writes).value_or(0), 0.2);

    // Menu puts the meter into its menu: the next polls light MENU (LCD6, element 2).
    EXPECT_FALSE(w->drawing()->lit(6, 2));
    mark = b.sentCount();
    QTest::mouseClick(w->image(Key::menu), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return w->drawing()->lit(6, 2); }, 3000));
    EXPECT_EQ(b.sentApartFromPolls(mark), Bytes{'^'});

    // While another window holds the meter a key sends nothing, but the
    // press feedback still comes and goes.
    b.state.meterInUse = true;
    mark = b.sentCount();
    const QColor before = w->shape(Key::up)->palette().color(QPalette::Window);
    QTest::mousePress(w->label(Key::up), Qt::LeftButton);
    EXPECT_EQ(w->shape(Key::up)->palette().color(QPalette::Window), QColor(Qt::white));
    QTest::mouseRelease(w->label(Key::up), Qt::LeftButton);
    EXPECT_EQ(w->shape(Key::up)->palette().color(QPalette::Window), before);
    w->button(Key::up)->click();
    QTest::qWait(100);
    EXPECT_TRUE(b.sentApartFromPolls(mark).empty());
    b.state.meterInUse = false;

    // Element i of LCDk is bit i of byte k: 0x81 in byte 3 lights 0 and 7.
    std::array<std::uint8_t, 12> bytes{};
    bytes[2] = 0x81;
    w->drawing()->showSegments(bytes);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(w->drawing()->lit(3, i), i == 0 || i == 7) << i;
    EXPECT_FALSE(w->drawing()->lit(2, 0));

    w->close();
    ASSERT_TRUE(waitFor([&] { return !b.state.keypadOpen; }, 2000));
}

TEST(ConfigWindows, EveryWindowIsHeardAsItShows)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    std::vector<QWidget*> windows;
    // "RecSetup" last: its window holds the meter and the toolbar waits.
    for (ToolKey key : {ToolKey::Setup, ToolKey::Btn, ToolKey::RecSetup})
        b.panel->onToolbarButtonClick(key);
    windows.push_back(waitForWindow<SetupWindow>(b));
    windows.push_back(waitForWindow<MeterSetupWindow>(b));
    windows.push_back(waitForWindow<ButtonsWindow>(b));
    windows.push_back(new RecWindow(*b.context, RecordingRead{}, b.panel.get()));
    windows.push_back(new RtcWindow(*b.context, {}, b.panel.get()));
    for (QWidget* w : windows) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(hearingFaults(w).join('\n').toStdString(), "");
    }
}
