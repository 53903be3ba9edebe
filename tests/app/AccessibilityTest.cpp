// SPDX-License-Identifier: GPL-3.0-or-later
// Every window of the program as a screen reader hears it, and every key of
// the keyboard doing what its click does.
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/logger/LoggerWindows.h"
#include "app/logger/MemoryWindow.h"
#include "app/panel/ListWindow.h"
#include "app/panel/PanelToolbar.h"
#include "app/panel/PanelWindow.h"
#include "app/ports/DeviceManagerWindow.h"
#include "app/ports/PortWindow.h"
#include "app/ui/SettingsPanel.h"
#include "core/files/DataFileWriter.h"
#include "support/Hearing.h"
#include "support/PanelBench.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <string_view>

using namespace km740;
using namespace km740::test;

namespace {

QList<QWidget*> shownWindows()
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            out << w;
    return out;
}

// Windows shown since `before`, waiting up to `ms` for the first.
QList<QWidget*> newWindows(const QList<QWidget*>& before, int ms = 5000)
{
    QList<QWidget*> fresh;
    waitFor(
        [&] {
            fresh.clear();
            for (QWidget* w : shownWindows())
                if (!before.contains(w))
                    fresh << w;
            return !fresh.isEmpty();
        },
        ms);
    return fresh;
}

std::string faultsOf(QWidget* w)
{
    const QStringList faults = hearingFaults(w);
    return faults.join(QLatin1Char('\n')).toStdString();
}

QString writeSample(const TempFolder& dir, const std::string& name)
{
    const auto path = dir / name;
    EXPECT_TRUE(writeDataFile(path, sampleRealTime(20)));
    return QString::fromStdString(path.string());
}

bool activate(QWidget* w)
{
    w->show();
    w->raise();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w) && waitFor([w] { return QApplication::activeWindow() == w; }, 2000);
}

} // namespace

// Opens every window the toolbar, a data file and the logger lead to, and
// walks what each one says over the accessibility interfaces.
TEST(Accessibility, EveryWindowIsHeardByWhatItShows)
{
    PanelBench b;
    TempFolder dir;
    b.panel->show();
    ASSERT_TRUE(b.waitForFirstPoll());
    ASSERT_TRUE(waitFor([&] { return !b.panel->lbldB()->text().isEmpty(); }, 5000));

    // The panel: the level and the nine settings are heard as they show.
    b.panel->onToolbarButtonClick(ToolKey::User); // the manual chooser too
    EXPECT_EQ(faultsOf(b.panel.get()), "");
    QAccessibleInterface* level = QAccessible::queryAccessibleInterface(b.panel->lbldB());
    EXPECT_EQ(level->text(QAccessible::Name), b.panel->lbldB()->text());
    EXPECT_EQ(level->text(QAccessible::Description), "Sound level");
    for (int f = 0; f < SettingsPanel::fieldCount; ++f) {
        const auto field = static_cast<SettingsPanel::Field>(f);
        auto* value = b.panel->settingsPanel()->findChild<QLabel*>(SettingsPanel::valueName(field));
        ASSERT_TRUE(value);
        EXPECT_FALSE(value->text().isEmpty()) << SettingsPanel::valueName(field);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(value)->text(QAccessible::Name), value->text());
    }
    b.panel->onToolbarButtonClick(ToolKey::User);

    // Each key that opens a window; those that hold the meter let it go
    // when closed, so the next key works again.
    const QSet<QString> noWindow{"Save", "Open", "Erase", "User"};
    QStringList opened;
    for (int n = 1; n <= PanelToolbar::buttonCount; ++n) {
        QAction* key = b.panel->toolbar()->button(n);
        if (noWindow.contains(key->objectName()) || !key->isEnabled())
            continue;
        ASSERT_TRUE(waitFor([&] { return !b.state.meterInUse; }, 10000)) << key->objectName().toStdString();
        const QList<QWidget*> before = shownWindows();
        key->trigger();
        const QList<QWidget*> windows = newWindows(before);
        EXPECT_FALSE(windows.isEmpty()) << key->objectName().toStdString();
        for (QWidget* w : windows) {
            opened << w->objectName();
            EXPECT_EQ(faultsOf(w), "") << key->objectName().toStdString();
        }
        if (key->objectName() == QLatin1String("Logger")) {
            // The downloaded sets open DataList and DataListdB.
            auto* memory = qobject_cast<MemoryWindow*>(windows.value(0));
            ASSERT_TRUE(memory);
            ASSERT_TRUE(
                waitFor([&] { return !memory->downloading() && memory->gridSet()->model()->rowCount() > 1; }, 10000));
            for (int row = 0; row < 2; ++row) {
                const QList<QWidget*> listed = shownWindows();
                QTableView* grid = memory->gridSet();
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualRect(grid->model()->index(row, 0)).center());
                for (QWidget* w : newWindows(listed)) {
                    opened << w->objectName();
                    EXPECT_EQ(faultsOf(w), "") << w->objectName().toStdString();
                }
            }
        }
        for (QWidget* w : shownWindows())
            if (w != b.panel.get())
                w->close();
        QApplication::processEvents();
    }
    EXPECT_TRUE(opened.contains("Memory") && opened.contains("DataList") && opened.contains("DataListdB"))
        << opened.join(' ').toStdString();

    // A data file: its list window is announced by the file's name, and its
    // plot and histogram keys open the chart windows.
    b.openAnswer = writeSample(dir, "NAME.sonx");
    ASSERT_TRUE(waitFor([&] { return !b.state.meterInUse; }, 10000));
    b.panel->toolbar()->button(ToolKey::Open)->trigger();
    FileListWindow* list = b.keys->files().window(FileListKind::realTime);
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return list->windowTitle() == "NAME.sonx"; }, 10000));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Name), "NAME.sonx");
    EXPECT_EQ(faultsOf(list), "");
    for (const char* chart : {"Plot", "Ln"}) {
        const QList<QWidget*> before = shownWindows();
        list->action(chart)->trigger();
        if (chart == std::string_view("Ln"))
            list->onCmd01dBClick();
        else
            QTest::mouseClick(list->gridN()->viewport(), Qt::LeftButton, {},
                              list->gridN()->visualRect(list->gridN()->model()->index(0, 2)).center());
        const QList<QWidget*> charts = newWindows(before);
        EXPECT_FALSE(charts.isEmpty()) << chart;
        for (QWidget* w : charts)
            EXPECT_EQ(faultsOf(w), "") << chart;
    }

    // The port chooser and the device manager, opened before the panel.
    TempFolder ports;
    PortWindow port(1);
    EXPECT_EQ(faultsOf(&port), "");
    DeviceManagerWindow manager(PortMap{}, ports / "ports.ini", [] { return QList<SerialPortEntry>{}; });
    EXPECT_EQ(faultsOf(&manager), "");

    // Whatever else is open now: nothing may be left unheard.
    for (QWidget* w : shownWindows())
        EXPECT_EQ(faultsOf(w), "") << w->objectName().toStdString();
}

// Each key presses what its click presses, and is refused where the click is.
TEST(Accessibility, ShortcutsDoWhatTheirClicksDo)
{
    PanelBench b;
    TempFolder dir;
    ASSERT_TRUE(activate(b.panel.get()));
    ASSERT_TRUE(b.waitForFirstPoll());

    // Every key says its shortcut in its tooltip.
    for (int n = 1; n <= PanelToolbar::buttonCount; ++n) {
        QAction* key = b.panel->toolbar()->button(n);
        ASSERT_FALSE(key->shortcut().isEmpty()) << key->objectName().toStdString();
        EXPECT_TRUE(
            key->toolTip().endsWith(QStringLiteral("(%1)").arg(key->shortcut().toString(QKeySequence::NativeText))))
            << key->toolTip().toStdString();
    }

    // F1 shows the manual chooser as "Help" does.
    QTest::keyClick(b.panel.get(), Qt::Key_F1);
    EXPECT_TRUE(b.panel->picManual()->isVisibleTo(b.panel.get()));
    QTest::keyClick(b.panel.get(), Qt::Key_F1);
    EXPECT_FALSE(b.panel->picManual()->isVisibleTo(b.panel.get()));

    // While another window holds the meter the keys are as dead as the clicks,
    // except Open.
    b.state.meterInUse = true;
    QTest::keyClick(b.panel.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(b.panel->listWindow(), nullptr);
    b.openAnswer = writeSample(dir, "held.sonx");
    QTest::keyClick(b.panel.get(), Qt::Key_O, Qt::ControlModifier);
    FileListWindow* file = b.keys->files().window(FileListKind::realTime);
    ASSERT_TRUE(file);
    b.state.meterInUse = false;

    // Ctrl+L opens the List window; Ctrl+W closes it.
    ASSERT_TRUE(activate(b.panel.get()));
    QTest::keyClick(b.panel.get(), Qt::Key_L, Qt::ControlModifier);
    ASSERT_NE(b.panel->listWindow(), nullptr);
    QPointer<ListWindow> list = b.panel->listWindow();
    ASSERT_TRUE(activate(list));
    QTest::keySequence(list.data(), QKeySequence::Close);
    EXPECT_TRUE(waitFor([&] { return list.isNull() || !list->isVisible(); }, 2000));

    // Escape closes a small window and lets the meter go, as its close button does.
    ASSERT_TRUE(activate(b.panel.get()));
    QTest::keyClick(b.panel.get(), Qt::Key_M, Qt::ControlModifier); // Meter Setup
    QList<QWidget*> setup = newWindows({b.panel.get(), file});
    setup.removeIf([](QWidget* w) { return w->objectName() != QLatin1String("MeterSetup"); });
    ASSERT_EQ(setup.size(), 1) << shownWindows().size();
    ASSERT_TRUE(waitFor([&] { return !b.state.meterInUse; }, 10000));
    ASSERT_TRUE(activate(setup.front()));
    QTest::keyClick(setup.front(), Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !setup.front()->isVisible(); }, 2000));

    // Without a meter only Open and the keys that need none answer.
    PanelBench lost({.failOpen = true});
    ASSERT_TRUE(waitFor([&] { return lost.state.deviceGone; }, 5000));
    ASSERT_TRUE(activate(lost.panel.get()));
    QTest::keyClick(lost.panel.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(lost.panel->listWindow(), nullptr);
    QTest::keyClick(lost.panel.get(), Qt::Key_F1);
    EXPECT_TRUE(lost.panel->picManual()->isVisibleTo(lost.panel.get()));
}
