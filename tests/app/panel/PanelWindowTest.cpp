// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PanelBench.h"

#include "app/ui/AppState.h"
#include "app/ui/SettingsPanel.h"
#include "core/link/MeterLink.h"
#include "core/link/Replies.h"
#include "app/panel/ListWindow.h"
#include "app/ui/MeterWorker.h"
#include "app/panel/PanelToolbar.h"
#include "app/panel/PanelWindow.h"
#include "core/recording/RealTimeRecorder.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

using Field = SettingsPanel::Field;

// Without the meter, of buttons 1 to 11 only "Open" is left; the help key
// needs no meter: it is shown, enabled, opens the chooser, and a language
// choice reaches the manual (or says it is not installed).
void expectReducedToOpenAndHelp(PanelBench& b)
{
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(b.panel->toolbar()->button(n)->isVisible(), n == 2) << n;
    QAction* help = b.panel->toolbar()->button(ToolKey::User);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isEnabled());
    EXPECT_TRUE(b.panel->toolbar()->isEnabled());
    help->trigger();
    ASSERT_TRUE(b.panel->picManual()->isVisibleTo(b.panel.get()));
    const auto before = b.messages.size() + b.openedFiles.size();
    b.panel->onOptManualClick(0);
    EXPECT_EQ(b.messages.size() + b.openedFiles.size(), before + 1);
    EXPECT_FALSE(b.panel->picManual()->isVisibleTo(b.panel.get()));
}

} // namespace

TEST(PanelWindow, ShowsTheMetersLevelAndSettings)
{
    PanelBench b;
    EXPECT_EQ(b.panel->windowTitle(), "KM740 Sonavex   V10.10");
    ASSERT_TRUE(waitFor([&] { return !b.value(Field::CalTime).isEmpty(); }, 10000));
    EXPECT_EQ(b.panel->lblCOM()->text(), "COM  1");

    std::uint8_t settings = 0;
    std::array<std::uint8_t, 8> cal{};
    b.meter->with([&](VirtualMeter& m) {
        settings = m.state().settings;
        cal = m.state().calibration;
    });
    const MeterSettings s = DecodeSettings(settings, 0, 0);
    EXPECT_EQ(b.value(Field::FSI).toStdString(), s.timeWeightingText);
    EXPECT_EQ(b.value(Field::AC).toStdString(), s.freqWeightingText);
    EXPECT_EQ(b.value(Field::ExchangeRate), QString::number(s.exchangeRate));
    EXPECT_EQ(b.value(Field::Range), QStringLiteral("%1-%2").arg(s.rangeTop - 70).arg(s.rangeTop));
    EXPECT_EQ(b.value(Field::Criterion), "85");
    EXPECT_EQ(b.value(Field::Threshold), "80");
    const CalibrationTexts ct = calibrationTexts(*decodeCalibration(cal), Regional::point());
    EXPECT_EQ(b.value(Field::CalTime).toStdString(), ct.time);
    EXPECT_EQ(b.value(Field::CaldB).toStdString(), ct.level);

    // The level moves; every shown value is a level in tenths.
    const QRegularExpression levelForm(QStringLiteral("^\\d{1,3}\\.\\d$"));
    QSet<QString> seen;
    ASSERT_TRUE(waitFor(
        [&] {
            const QString t = b.panel->lbldB()->text();
            EXPECT_TRUE(levelForm.match(t).hasMatch()) << t.toStdString();
            seen.insert(t);
            return seen.size() >= 3;
        },
        15000));
    EXPECT_EQ(b.state.live.level.text, b.panel->lbldB()->text().toStdString());

    // A comma locale shows a comma at the next tick.
    b.locale = QLocale(QLocale::German, QLocale::Germany);
    ASSERT_TRUE(waitFor([&] { return b.panel->lbldB()->text().contains(','); }, 10000));
    EXPECT_TRUE(b.state.decimalComma);
}

TEST(PanelWindow, OnlyAMissingReplyLosesTheLinkAndTheLabelComesBack)
{
    // A device given by path that no COM number stands for shows as itself.
    PanelBench b({.portDevice = "/dev/pts/77"});
    ASSERT_TRUE(waitFor([&] { return b.state.live.valid; }, 10000));
    EXPECT_EQ(b.panel->lblCOM()->text(), "pts/77");

    // Four whole frames without their framing end one tick; the next polls again.
    QSignalSpy lost(b.worker.get(), &MeterWorker::linkLost);
    b.meter->with([](VirtualMeter& m) { m.corruptNextStatusFrames(4); });
    ASSERT_TRUE(waitFor(
        [&] {
            int left = 1;
            b.meter->with([&](VirtualMeter& m) { left = m.faults().corruptFrames; });
            return left == 0;
        },
        10000));
    const double corruptedAt = b.state.live.polledAt;
    ASSERT_TRUE(waitFor([&] { return b.state.live.polledAt > corruptedAt; }, 10000));
    EXPECT_EQ(lost.count(), 0);
    EXPECT_FALSE(b.state.linkBusy);
    EXPECT_EQ(b.visibleKeys().size(), PanelToolbar::buttonCount);

    // Silence is a lost link: "No COM", only "Open", and "F" asked again and again.
    b.meter->with([](VirtualMeter& m) { m.setSilentAfter(m.commandsTaken()); });
    ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "No COM"; }, 10000));
    EXPECT_TRUE(b.state.linkBusy);
    expectReducedToOpenAndHelp(b);
    const QString frozen = b.panel->lbldB()->text();
    const std::size_t mark = b.sentCount();
    ASSERT_TRUE(waitFor([&] { return b.sentCount() > mark + 3; }, 10000));
    EXPECT_TRUE(b.sentApartFromPolls(mark).empty());
    EXPECT_EQ(b.panel->lbldB()->text(), frozen);

    b.meter->with([](VirtualMeter& m) { m.setSilentAfter(std::nullopt); });
    ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "pts/77"; }, 10000));
    EXPECT_FALSE(b.state.linkBusy);
    EXPECT_EQ(b.visibleKeys().size(), PanelToolbar::buttonCount);
    const double restoredAt = b.state.live.polledAt;
    EXPECT_TRUE(waitFor([&] { return b.state.live.polledAt > restoredAt; }, 10000)) << "polling resumed";
}

TEST(PanelWindow, NoDeviceLeavesOnlyOpen)
{
    // The port does not open.
    PanelBenchOptions noPort;
    noPort.failOpen = true;
    PanelBench b(noPort);
    ASSERT_TRUE(waitFor([&] { return !b.messages.isEmpty(); }, 10000));
    EXPECT_EQ(b.messages, QStringList{"No Device Found!"});
    expectReducedToOpenAndHelp(b);
    EXPECT_FALSE(b.panel->timer1()->isActive());
    EXPECT_FALSE(b.panel->timer2()->isActive());
    EXPECT_EQ(b.panel->lblCOM()->text(), "No COM");

    // No transport at all (no port chosen): the same.
    AppState state;
    RealTimeRecorder recorder;
    QStringList messages;
    AppDialogs d;
    d.message = [&](QWidget*, const QString& text, bool critical) {
        EXPECT_TRUE(critical);
        messages << text;
    };
    WindowContext context(state, nullptr, d);
    PanelWindow panel(context, recorder);
    EXPECT_EQ(messages, QStringList{"No Device Found!"});
    EXPECT_FALSE(panel.toolbar()->button(ToolKey::Save)->isVisible());
    EXPECT_TRUE(panel.toolbar()->button(ToolKey::Open)->isVisible());
    EXPECT_TRUE(panel.toolbar()->button(ToolKey::User)->isVisible());
}

TEST(PanelWindow, ToolbarKeysAndTheMeterInUseRule)
{
    PanelBench b;
    const QStringList keys{"Save",   "Open", "RecOption", "List",  "Graph", "RecSetup", "RTC",
                           "Logger", "Btn",  "Erase",     "Setup", "User",  "AddText",  "Measurements"};
    const QStringList tips{"Save As",         "Open File to Read", "Recording Option", "List Display",
                           "Graphic Display", "Recording Setup",   "Real Time Clock",  "Data Logger",
                           "Control Panel",   "Erase Data Logger", "Meter Setup",      "Help",
                           "Report Header",   "Measurements"};
    for (int n = 1; n <= PanelToolbar::buttonCount; ++n) {
        QAction* a = b.panel->toolbar()->button(n);
        EXPECT_EQ(a->objectName(), keys[n - 1]);
        EXPECT_TRUE(a->toolTip().startsWith(tips[n - 1] + " (")) << a->toolTip().toStdString();
        EXPECT_FALSE(a->icon().isNull()) << keys[n - 1].toStdString();
    }
    ASSERT_TRUE(waitFor([&] { return b.state.live.valid; }, 10000));

    // "User" toggles the manual chooser, unless the meter is in use.
    b.panel->onToolbarButtonClick(ToolKey::User);
    EXPECT_TRUE(b.panel->picManual()->isVisibleTo(b.panel.get()));
    b.state.meterInUse = true;
    b.panel->onToolbarButtonClick(ToolKey::User);
    EXPECT_TRUE(b.panel->picManual()->isVisibleTo(b.panel.get()));
    // Erase while another window holds the meter: not even asked.
    b.eraseAnswer = true;
    EXPECT_TRUE(b.sentBy([&] { b.panel->onToolbarButtonClick(ToolKey::Erase); }).empty());
    EXPECT_EQ(b.eraseAsked, 0);
    b.state.meterInUse = false;
    b.panel->onToolbarButtonClick(ToolKey::User);
    EXPECT_FALSE(b.panel->picManual()->isVisibleTo(b.panel.get()));

    // A manual that is not installed is reported; the chooser closes and
    // can be used again.
    b.panel->onToolbarButtonClick(ToolKey::User);
    b.messages.clear();
    b.panel->onOptManualClick(4);
    ASSERT_EQ(b.messages.size(), 1);
    EXPECT_TRUE(b.messages[0].contains(QStringLiteral("help/KM740-SW-HELP-BPT_V1.7.pdf")))
        << b.messages[0].toStdString();
    EXPECT_FALSE(b.panel->picManual()->isVisibleTo(b.panel.get()));
    for (QAbstractButton* opt : b.panel->picManual()->findChildren<QAbstractButton*>())
        EXPECT_FALSE(opt->isChecked());

    // "List" opens one List window, however often it is clicked.
    b.panel->onToolbarButtonClick(ToolKey::List);
    ASSERT_NE(b.panel->listWindow(), nullptr);
    QWidget* list = b.panel->listWindow();
    EXPECT_TRUE(b.state.recording.listMode);
    b.panel->onToolbarButtonClick(ToolKey::List);
    EXPECT_EQ(b.panel->listWindow(), list);
    list->close();
    ASSERT_TRUE(waitFor([&] { return b.panel->listWindow() == nullptr; }, 10000));
    EXPECT_FALSE(b.state.recording.listMode);

    // "Erase": Cancel sends nothing, OK sends "S".
    b.eraseAnswer = false;
    EXPECT_TRUE(b.sentBy([&] { b.panel->onToolbarButtonClick(ToolKey::Erase); }).empty());
    EXPECT_EQ(b.eraseAsked, 1);
    b.eraseAnswer = true;
    EXPECT_EQ(b.sentBy([&] { b.panel->onToolbarButtonClick(ToolKey::Erase); }), Bytes{'S'});
    EXPECT_EQ(b.eraseAsked, 2);
}

TEST(PanelWindow, SaveRecordsToAFileAndStopsWithoutTheMeter)
{
    PanelBenchOptions fourSamplesASecond;
    fourSamplesASecond.sampleMs = 250;
    PanelBench b(fourSamplesASecond);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rt.sonx"));
    ASSERT_TRUE(waitFor([&] { return !b.value(Field::CalTime).isEmpty(); }, 10000));

    b.saveAnswer = std::nullopt; // cancelled: nothing changes
    EXPECT_TRUE(b.sentBy([&] { b.panel->onToolbarButtonClick(ToolKey::Save); }).empty());
    EXPECT_FALSE(b.state.recording.fileRecording);

    b.meter->with([](VirtualMeter& m) { m.write(Bytes{'Q', 7}); });
    b.saveAnswer = path;
    EXPECT_EQ(b.sentBy([&] { b.panel->onToolbarButtonClick(ToolKey::Save); }), (Bytes{'R', 'C'}));
    ASSERT_TRUE(b.state.recording.fileRecording);
    EXPECT_EQ(b.state.recording.peakTypeText, "Lcpk");
    EXPECT_EQ(b.panel->toolbar()->button(1)->toolTip(), "Stop Recording (Ctrl+S)");
    EXPECT_EQ(b.panel->lblFileName()->text(), "rt.sonx");
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecordCount >= 2; }, 10000));
    EXPECT_EQ(b.panel->lblCount()->text(), QString::number(b.state.recording.fileRecordCount));

    // A window that merely holds the meter does not stop the poll: the
    // records keep their levels.
    b.state.meterInUse = true;
    const double polledBefore = b.state.live.polledAt;
    const long long held = b.state.recording.fileRecordCount;
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecordCount >= held + 4; }, 10000));
    EXPECT_GT(b.state.live.polledAt, polledBefore);
    EXPECT_EQ(b.panel->lblRecording()->text(), "Recording");
    b.state.meterInUse = false;
    // An exchange longer than 2 s (a logger download): each tick still
    // writes its record, the level "-", and the panel says it waits.
    b.worker->post<Done>(
        b.panel.get(), [](MeterLink& link) { return link.delay(35.0); }, [](const Status&) {});
    ASSERT_TRUE(waitFor([&] { return b.panel->lblRecording()->text() == "Waiting for the meter"; }, 10000));
    const long long waiting = b.state.recording.fileRecordCount;
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecordCount >= waiting + 2; }, 10000));
    EXPECT_TRUE(b.panel->lblRecording()->isVisibleTo(b.panel.get()));
    ASSERT_TRUE(waitFor([&] { return b.panel->lblRecording()->text() == "Recording"; }, 10000));

    // Stopping sends nothing, even to a meter that has gone quiet.
    b.meter->with([](VirtualMeter& m) { m.setSilentAfter(m.commandsTaken()); });
    EXPECT_TRUE(b.sentBy([&] { b.panel->onToolbarButtonClick(ToolKey::Save); }).empty());
    EXPECT_FALSE(b.state.recording.fileRecording);
    EXPECT_EQ(b.panel->toolbar()->button(1)->toolTip(), "Save As (Ctrl+S)");
    EXPECT_TRUE(b.panel->lblCount()->text().isEmpty());

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 15);
    EXPECT_EQ(lines[0], "Real Time Data");
    EXPECT_TRUE(lines.contains(QStringLiteral("Peak Type:Lcpk")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Calibrated Time:") + b.value(Field::CalTime)));
    const int first = lines.indexOf(QRegularExpression(QStringLiteral("1\\t.*")));
    ASSERT_GT(first, 12) << lines.join(QStringLiteral("\n")).toStdString();
    // Records numbered without a gap; the busy seconds carry "-".
    int notMeasured = 0;
    for (int i = first; i < lines.size() && !lines[i].isEmpty(); ++i) {
        EXPECT_TRUE(lines[i].startsWith(QString::number(i - first + 1) + QLatin1Char('\t'))) << lines[i].toStdString();
        notMeasured += lines[i].endsWith(QStringLiteral("\t-\t"));
    }
    EXPECT_GE(notMeasured, 2);
}

TEST(PanelWindow, ServiceCodeCaptionAndServiceSends)
{
    PanelBench b;
    ASSERT_TRUE(waitFor([&] { return b.state.live.valid; }, 10000));

    // Caption: short and long form, by the decimal separator.
    b.locale = QLocale(QLocale::German, QLocale::Germany);
    ASSERT_TRUE(waitFor([&] { return b.state.decimalComma; }, 10000));
    QTest::mouseClick(b.panel->lblCOM(), Qt::LeftButton);
    EXPECT_EQ(b.panel->windowTitle(), "KM740 Sonavex   V10,10  180308,01");
    QTest::mouseClick(b.panel->lblCOM(), Qt::LeftButton);
    EXPECT_EQ(b.panel->windowTitle(), "KM740 Sonavex   V10,10");
    QTest::mouseClick(b.panel->lblCOM(), Qt::LeftButton);
    EXPECT_EQ(b.panel->windowTitle(), "KM740 Sonavex   V10,10  180308,01");
    b.locale = QLocale::c();

    // The code anywhere in the answer flips the service controls.
    auto shown = [&] {
        return b.panel->cmdDelAny()->isVisibleTo(b.panel.get()) && b.panel->combo6162()->isVisibleTo(b.panel.get());
    };
    b.codeAnswer = QStringLiteral("1234");
    b.panel->onLblCOMDblClick();
    EXPECT_FALSE(shown());
    b.codeAnswer = QStringLiteral("ab7395cd");
    b.panel->onLblCOMDblClick();
    EXPECT_TRUE(shown());
    b.codeAnswer = std::nullopt;
    b.panel->onLblCOMDblClick();
    EXPECT_TRUE(shown());
    b.codeAnswer = QStringLiteral("7395");
    b.panel->onLblCOMDblClick();
    EXPECT_FALSE(shown());
    b.codeAnswer = QStringLiteral("7395");
    b.panel->onLblCOMDblClick();
    ASSERT_TRUE(shown());

    // Typed keys: digits pass, others are dropped; Enter sends the command of
    // the range in force and the byte.
    QComboBox* combo = b.panel->combo6162();
    EXPECT_EQ(combo->count(), 256);
    EXPECT_EQ(combo->itemText(255), "255");
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("12x7"));
    EXPECT_EQ(combo->currentText(), "127");
    const std::uint8_t rangeCommand = b.state.live.settings.rangeTop == 130 ? 'a' : 'b';
    std::size_t mark = b.sentCount();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(b.panel->lblCOM()->text(), "Wait");
    ASSERT_TRUE(waitFor([&] { return b.sentApartFromPolls(mark).size() == 2; }, 10000));
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{rangeCommand, 0x7F}));
    ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "COM  1"; }, 10000));

    // Above 255: nothing sent, label back at once.
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("300"));
    EXPECT_TRUE(b.sentBy([&] {
                     QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
                     EXPECT_EQ(b.panel->lblCOM()->text(), "COM  1");
                 }).empty());

    // "Delete Any": "J" and an all-"Any" table of 96 zero bytes.
    mark = b.sentCount();
    QTest::mouseClick(b.panel->cmdDelAny(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return b.sentApartFromPolls(mark).size() >= 97; }, 10000));
    Bytes expected(97, 0);
    expected[0] = 'J';
    EXPECT_EQ(b.sentApartFromPolls(mark), expected);
    ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "COM  1"; }, 10000));
    std::array<std::uint8_t, 96> zeros{};
    b.meter->with([&](VirtualMeter& m) { EXPECT_EQ(m.state().schedule, zeros); });
}

TEST(PanelWindow, SaveWithoutAReplyToROrCWritesNoFileAndTheLinkComesBack)
{
    PanelBench b;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rt.sonx"));
    ASSERT_TRUE(b.waitForFirstPoll(10000));
    b.saveAnswer = path;
    for (const std::uint8_t unanswered : {std::uint8_t{'R'}, std::uint8_t{'C'}}) {
        SCOPED_TRACE(std::string("no reply to ") + static_cast<char>(unanswered));
        QSignalSpy lost(b.worker.get(), &MeterWorker::linkLost);
        QSignalSpy restored(b.worker.get(), &MeterWorker::linkRestored);
        b.meter->ignore({unanswered});
        const std::size_t mark = b.sentCount();
        b.panel->onToolbarButtonClick(ToolKey::Save);
        ASSERT_TRUE(waitFor([&] { return restored.count() == 1; }, 20000));
        b.meter->ignore({});
        EXPECT_EQ(lost.count(), 1);
        EXPECT_EQ(b.sentApartFromPolls(mark), unanswered == 'R' ? Bytes{'R'} : (Bytes{'R', 'C'}));
        EXPECT_FALSE(b.state.recording.fileRecording);
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(b.panel->toolbar()->button(1)->toolTip(), "Save As (Ctrl+S)");
        ASSERT_TRUE(waitFor([&] { return b.panel->lblCOM()->text() == "COM  1"; }, 10000));
        EXPECT_TRUE(b.panel->timer2()->isActive());
    }
    EXPECT_TRUE(b.messages.isEmpty()) << b.messages.join('\n').toStdString();

    // The meter answers again: the same key starts the recording.
    b.panel->onToolbarButtonClick(ToolKey::Save);
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecording; }, 10000));
    EXPECT_TRUE(QFile::exists(path));
    b.panel->onToolbarButtonClick(ToolKey::Save);
}

TEST(PanelWindow, AManualNoViewerOpensIsNamedWithItsFolder)
{
    TempFolder data;
    const auto folder = data / "km740" / "help";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / PanelWindow::helpFileName(0).toStdString()) << "%PDF-1.4\n";
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path().string()));

    PanelBench b;
    b.viewerOpens = false;
    b.panel->onToolbarButtonClick(ToolKey::User);
    b.panel->onOptManualClick(0);
    qputenv("XDG_DATA_HOME", before);

    ASSERT_EQ(b.openedFiles.size(), 1);
    ASSERT_EQ(b.messages.size(), 1);
    EXPECT_TRUE(b.messages[0].contains(PanelWindow::helpFileName(0))) << b.messages[0].toStdString();
    EXPECT_TRUE(b.messages[0].contains(QString::fromStdString(folder.string()))) << b.messages[0].toStdString();
    EXPECT_FALSE(b.panel->picManual()->isVisibleTo(b.panel.get()));
}
