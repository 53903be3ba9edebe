// SPDX-License-Identifier: GPL-3.0-or-later
// The logger windows on the virtual meter: the download into Memory, the
// set lists and their saves, the erase, failed downloads, raw images and the
// report header window.
#include "support/ImageBuilder.h"
#include "support/PanelBench.h"
#include "support/TempFolder.h"

#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"

#include "app/ports/PortWindow.h"
#include "app/logger/AddTextWindow.h"
#include "app/logger/DataListWindow.h"
#include "app/logger/DataListdBWindow.h"
#include "core/logger/LoggerImageFile.h"
#include "app/logger/LoggerWindows.h"
#include "app/logger/MemoryWindow.h"
#include "core/logger/SetDecoder.h"
#include "app/panel/PanelToolbar.h"
#include "support/Hearing.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

LoggerWindows& windowsOf(PanelBench& b)
{
    return b.keys->logger();
}

Bytes meterImage(PanelBench& b)
{
    Bytes image;
    b.meter->with([&](VirtualMeter& m) { image = m.loggerImage(); });
    return image;
}

// Clicks "Logger" and waits for the download to end with Memory listing.
MemoryWindow* download(PanelBench& b)
{
    b.panel->onToolbarButtonClick(ToolKey::Logger);
    const bool listed = waitFor(
        [&] {
            MemoryWindow* m = windowsOf(b).memory();
            return m && !m->downloading() && m->gridSet()->model()->rowCount() > 0;
        },
        10000);
    return listed ? windowsOf(b).memory() : nullptr;
}

QStringList row(const QAbstractItemModel* model, int r)
{
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->index(r, c).data().toString();
    return cells;
}

QStringList headers(const QAbstractItemModel* model)
{
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->headerData(c, Qt::Horizontal).toString();
    return cells;
}

void clickRow(MemoryWindow* m, int r)
{
    QTableView* grid = m->gridSet();
    const QRect cell = grid->visualRect(grid->model()->index(r, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

QString toolExport(const std::filesystem::path& image, int set, const std::filesystem::path& out)
{
    QProcess tool;
    tool.start(QStringLiteral(KM740_TOOL_PATH),
               {QStringLiteral("export"), QString::fromStdString(image.string()), QStringLiteral("--set"),
                QString::number(set), QStringLiteral("-o"), QString::fromStdString(out.string())});
    if (!tool.waitForFinished(20000) || tool.exitCode() != 0)
        return QString::fromUtf8(tool.readAllStandardError());
    return {};
}

// What pdftotext reads off a printout's pages, in their layout.
QString pdfText(const QString& path)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!text.waitForFinished(20000))
        return {};
    return QString::fromUtf8(text.readAllStandardOutput());
}

} // namespace

TEST(LoggerWindows, DownloadListsTheSetsAndEachOpensItsList)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    const std::size_t mark = b.sentCount();
    MemoryWindow* m = download(b);
    ASSERT_TRUE(m);
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{'A', 'I'}));
    EXPECT_EQ(m->windowTitle(), "Data Logger");
    EXPECT_FALSE(b.state.meterInUse) << "the poll runs again once the download is in";
    EXPECT_TRUE(b.state.memoryOpen);
    EXPECT_EQ(m->lblSize()->text(), "192 K");
    EXPECT_EQ(m->ssMessage()->value(), 0);
    EXPECT_EQ(m->ssMessage()->text(), "Recorded Data Set(s)");

    // One row per set of the meter's memory, as the split finds them.
    const Bytes image = meterImage(b);
    const LoggerSetTable table = splitSets(LoggerImage(image));
    const QAbstractItemModel* dir = m->gridSet()->model();
    EXPECT_EQ(headers(dir), (QStringList{"Set", "Date Time", "Sampling", "Records"}));
    ASSERT_EQ(dir->rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        const auto cells = directoryCells(table.sets[static_cast<std::size_t>(r)]);
        EXPECT_EQ(row(dir, r), (QStringList{QString::fromStdString(cells[0]), QString::fromStdString(cells[1]),
                                            QString::fromStdString(cells[2]), QString::fromStdString(cells[3])}));
    }
    EXPECT_EQ(row(dir, 0)[2], "60");
    EXPECT_EQ(row(dir, 1)[2], "1");

    // A dose set: DataList with its panel, header labels and Print.
    clickRow(m, 0);
    DataListWindow* dl = windowsOf(b).dataList();
    ASSERT_TRUE(dl);
    EXPECT_EQ(dl->windowTitle(), "Data List ");
    EXPECT_TRUE(b.state.dataListOpen);
    EXPECT_TRUE(dl->printAction()->isEnabled());
    EXPECT_EQ(dl->printAction()->toolTip(), "Print (Ctrl+P)");
    const auto decoded0 = std::get<DoseLoggerFile>(decodeSet(table.sets[0], Regional::point()).value());
    const QAbstractItemModel* records = dl->gridN()->model();
    EXPECT_EQ(headers(records), (QStringList{"No.s", "     Date Time    ", "Dose", "TWA"}));
    ASSERT_EQ(records->rowCount(), 120);
    const DoseRow& last = decoded0.records.back();
    EXPECT_EQ(row(records, 119),
              (QStringList{QString::fromStdString(last.number), QString::fromStdString(last.dateTime),
                           QString::fromStdString(last.dose), QString::fromStdString(last.twa)}));
    EXPECT_EQ(dl->settingsPanel()->value(SettingsPanel::Field::Peak), QString::fromStdString(decoded0.settings.peak));
    EXPECT_EQ(dl->settingsPanel()->title(SettingsPanel::Field::Peak), "Peak  Value");
    EXPECT_FALSE(dl->gridPause()->isVisibleTo(dl));

    // A level set: DataListdB with the summary.
    clickRow(m, 1);
    DataListdBWindow* db = windowsOf(b).dataListdB();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->windowTitle(), "Data List");
    const auto decoded1 = std::get<LevelLoggerFile>(decodeSet(table.sets[1], Regional::point()).value());
    EXPECT_EQ(headers(db->gridN()->model()), (QStringList{"No.s", "     Date Time    ", "dB"}));
    EXPECT_EQ(db->gridN()->model()->rowCount(), 600);
    EXPECT_EQ(headers(db->gridSummary()->model()), (QStringList{"Dose", "TWA"}));
    EXPECT_EQ(row(db->gridSummary()->model(), 0), (QStringList{QString::fromStdString(decoded1.summary.dose),
                                                               QString::fromStdString(decoded1.summary.twa)}));

    // The set with pauses replaces the first DataList; its pause list shows.
    QPointer<DataListWindow> first = dl;
    clickRow(m, 2);
    ASSERT_TRUE(waitFor([&] { return first.isNull(); }, 2000));
    dl = windowsOf(b).dataList();
    ASSERT_TRUE(dl);
    EXPECT_TRUE(dl->gridPause()->isVisibleTo(dl));
    EXPECT_EQ(dl->plPause()->text(), "Pause Time");
    EXPECT_EQ(headers(dl->gridPause()->model()), (QStringList{"Times", "Pause", "Release", "Period"}));
    EXPECT_EQ(dl->gridPause()->model()->rowCount(), 2);
    EXPECT_TRUE(db) << "a dose set leaves the level list open";

    // Save Image keeps the downloaded bytes; the lists save exactly what
    // km740-tool exports from them.
    TempFolder dir2;
    const auto imagePath = dir2 / "capture.km740img";
    windowsOf(b).setDialogs({{}, {}, {}, [&](QWidget*) { return QString::fromStdString(imagePath.string()); }, {}});
    m->cmdSaveImage()->click();
    EXPECT_EQ(readBytes(imagePath), std::string(image.begin(), image.end()));
    struct Case {
        LoggerListWindow* window;
        int set;
    };
    for (const Case& c : {Case{dl, 3}, Case{db, 2}}) {
        const auto saved = dir2 / ("set" + std::to_string(c.set) + ".sonx");
        const auto exported = dir2 / ("tool" + std::to_string(c.set) + ".sonx");
        b.saveAnswer = QString::fromStdString(saved.string());
        bool done = false;
        QObject::connect(c.window, &LoggerListWindow::saveFinished, [&](bool ok, const QString& what) {
            EXPECT_TRUE(ok) << what.toStdString();
            done = true;
        });
        c.window->onSaveClicked();
        ASSERT_TRUE(waitFor([&] { return done; }, 20000))
            << "set " << c.set << ": " << c.window->messageLine()->text().toStdString() << " / "
            << c.window->savesRunning();
        EXPECT_EQ(c.window->windowTitle(), c.window->caption());
        ASSERT_EQ(toolExport(imagePath, c.set, exported), QString());
        EXPECT_EQ(readBytes(saved), readBytes(exported)) << "set " << c.set;
    }
    // A cancelled save dialog writes nothing.
    b.saveAnswer.reset();
    dl->onSaveClicked();
    EXPECT_EQ(dl->savesRunning(), 0);

    for (QWidget* w : std::initializer_list<QWidget*>{m, dl, db, b.panel.get()})
        EXPECT_EQ(hearingFaults(w).join(QLatin1Char('\n')).toStdString(), "") << w->objectName().toStdString();

    // "Logger" again while Memory is open does nothing; closing it lets go.
    const std::size_t before = b.sentCount();
    b.panel->onToolbarButtonClick(ToolKey::Logger);
    QTest::qWait(100);
    EXPECT_EQ(b.sentApartFromPolls(before), Bytes{});
    m->close();
    EXPECT_FALSE(b.state.memoryOpen);
    dl->close();
    EXPECT_FALSE(b.state.dataListOpen);
}

TEST(LoggerWindows, EraseAsksFirstAndTheNextLoggerFindsNothing)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    MemoryWindow* m = download(b);
    ASSERT_TRUE(m);
    QPointer<MemoryWindow> memory = m;

    // Cancel: nothing sent, the window stays.
    std::size_t mark = b.sentCount();
    b.eraseAnswer = false;
    QTest::mouseClick(m->lblRemain(), Qt::LeftButton);
    b.panel->onToolbarButtonClick(ToolKey::Erase);
    QTest::qWait(100);
    EXPECT_EQ(b.sentApartFromPolls(mark), Bytes{});
    ASSERT_TRUE(memory);

    // OK: "S" goes out and Memory closes.
    mark = b.sentCount();
    b.eraseAnswer = true;
    QTest::mouseClick(m->lblRemain(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return memory.isNull(); }, 2000));
    ASSERT_TRUE(waitFor([&] { return b.sentApartFromPolls(mark) == Bytes{'S'}; }, 3000));
    EXPECT_FALSE(b.state.memoryOpen);
    EXPECT_FALSE(b.state.meterInUse);

    b.panel->onToolbarButtonClick(ToolKey::Logger);
    ASSERT_TRUE(waitFor([&] { return !b.messages.isEmpty(); }, 3000));
    EXPECT_EQ(b.messages, QStringList{"No Data in Memoy!"});
    EXPECT_FALSE(windowsOf(b).memory());
    EXPECT_FALSE(b.state.meterInUse);
}

TEST(LoggerWindows, CutAndCancelledDownloadsLetTheMeterGo)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    // About 40 KB, so the download is still running when Cancel comes.
    ImageBuilder big;
    test::SetHeader fast;
    fast.interval = 1;
    big.set(fast);
    for (int i = 0; i < 20000; ++i)
        big.level(static_cast<std::uint16_t>(600 + i % 300));
    big.dose("1");
    b.meter->with([&](VirtualMeter& meter) {
        meter.setLoggerImage(big.bytes());
        meter.stallDumpAfter(3000);
    });

    auto pollsAgain = [&] {
        const std::size_t from = b.sentCount();
        return waitFor(
                   [&] {
                       std::lock_guard lock(b.wire->mutex);
                       return b.wire->sent.size() > from + 2 && b.wire->sent.back() != 'I';
                   },
                   8000) &&
               !b.state.meterInUse && !b.state.linkBusy;
    };

    // The meter stops part-way: a message, no Memory, nothing kept.
    b.panel->onToolbarButtonClick(ToolKey::Logger);
    ASSERT_TRUE(waitFor([&] { return !b.messages.isEmpty(); }, 15000));
    EXPECT_TRUE(b.messages.front().startsWith("The logger download failed: the meter stopped sending after 3000 of"))
        << b.messages.front().toStdString();
    EXPECT_FALSE(windowsOf(b).memory());
    EXPECT_FALSE(b.state.memoryOpen);
    ASSERT_TRUE(waitFor([&] { return !b.state.linkBusy; }, 8000));
    EXPECT_TRUE(pollsAgain());

    // Cancelled part-way: no message, the same clean end.
    b.messages.clear();
    b.meter->with([](VirtualMeter& meter) { meter.stallDumpAfter(std::nullopt); });
    b.panel->onToolbarButtonClick(ToolKey::Logger);
    ASSERT_TRUE(waitFor(
        [&] {
            MemoryWindow* m = windowsOf(b).memory();
            return m && m->ssMessage()->value() > 0;
        },
        10000));
    QPointer<MemoryWindow> m = windowsOf(b).memory();
    EXPECT_TRUE(b.state.meterInUse);
    EXPECT_TRUE(m->cmdCancel()->isVisible());
    m->cmdCancel()->click();
    ASSERT_TRUE(waitFor([&] { return m.isNull(); }, 5000));
    EXPECT_TRUE(b.messages.isEmpty());
    EXPECT_FALSE(b.state.memoryOpen);
    EXPECT_TRUE(pollsAgain());

    // Closing Memory mid-download does the same.
    b.panel->onToolbarButtonClick(ToolKey::Logger);
    ASSERT_TRUE(waitFor([&] { return windowsOf(b).memory() && windowsOf(b).memory()->downloading(); }, 5000));
    windowsOf(b).memory()->close();
    EXPECT_FALSE(b.state.meterInUse);
    EXPECT_TRUE(pollsAgain());
}

// DataList and DataListdB print their set as FileList and FileListdB print
// the file km740-tool exports for it: the same text on the pages.
TEST(LoggerWindows, ListsPrintAsTheFileListsPrintTheirSavedSet)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    MemoryWindow* m = download(b);
    ASSERT_TRUE(m);
    TempFolder dir;
    const auto imagePath = dir / "capture.km740img";
    const Bytes image = meterImage(b);
    writeBytes(imagePath, std::string(image.begin(), image.end()));
    const LoggerSetTable table = splitSets(LoggerImage(image));

    QString pdf;
    QStringList notes;
    QStringList perRow;
    PrintDialogs print;
    print.message = [&](QWidget*, const QString& text, bool) { notes << text; };
    print.printer = [&](QWidget*) {
        auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
        p->setOutputFormat(QPrinter::PdfFormat);
        p->setOutputFileName(pdf);
        return p;
    };
    print.recordsPerRow = [&](QWidget*) -> std::optional<QString> {
        return perRow.isEmpty() ? std::nullopt : std::optional(perRow.takeFirst());
    };
    LoggerDialogs loggerDialogs;
    loggerDialogs.print = print;
    windowsOf(b).setDialogs(loggerDialogs);
    FileListDialogs fileDialogs;
    static_cast<PrintDialogs&>(fileDialogs) = print;
    FileWindows& files = b.keys->files();
    files.setDialogs(fileDialogs);

    // Set 3: dose records and two pauses; set 2: levels, three to a line.
    for (const int set : {3, 2}) {
        const bool dose = set == 3;
        clickRow(m, set - 1);
        LoggerListWindow* list = dose ? static_cast<LoggerListWindow*>(windowsOf(b).dataList())
                                      : static_cast<LoggerListWindow*>(windowsOf(b).dataListdB());
        ASSERT_TRUE(list);
        pdf = QString::fromStdString((dir / ("list" + std::to_string(set) + ".pdf")).string());
        perRow = QStringList{"0", "3"};
        list->printAction()->trigger();
        EXPECT_EQ(perRow.size(), dose ? 2 : 0) << "set " << set;
        EXPECT_EQ(list->windowTitle(), list->caption());
        const QString fromList = pdfText(pdf);

        const auto exported = dir / ("tool" + std::to_string(set) + ".sonx");
        ASSERT_EQ(toolExport(imagePath, set, exported), QString());
        const FileListKind kind = dose ? FileListKind::dose : FileListKind::level;
        ASSERT_TRUE(files.open(QString::fromStdString(exported.string())));
        ASSERT_TRUE(waitFor([&] { return files.window(kind) && files.window(kind)->table(); }, 10000));
        pdf = QString::fromStdString((dir / ("file" + std::to_string(set) + ".pdf")).string());
        perRow = QStringList{"3"};
        files.window(kind)->action(QStringLiteral("Print"))->trigger();
        const QString fromFile = pdfText(pdf);

        EXPECT_EQ(fromList.toStdString(), fromFile.toStdString()) << "set " << set;
        const QString flat = fromList.simplified();
        const DataFile decoded = decodeSet(table.sets[static_cast<std::size_t>(set - 1)], Regional::point()).value();
        if (dose) {
            const DoseRow& last = std::get<DoseLoggerFile>(decoded).records.back();
            EXPECT_TRUE(flat.contains(
                QString::fromStdString(last.number + " " + last.dateTime + " " + last.dose + " " + last.twa)));
            EXPECT_TRUE(flat.contains("Times Pause Release Period"));
        } else {
            const auto& r = std::get<LevelLoggerFile>(decoded).records;
            EXPECT_TRUE(flat.contains(QString::fromStdString("1 " + r[0].dateTime + " " + r[0].level + " " +
                                                             r[1].level + " " + r[2].level + " 4 ")));
        }
    }
    ASSERT_EQ(notes.size(), 4);
    for (const QString& n : notes)
        EXPECT_TRUE(n.startsWith("Note\n")) << n.toStdString();
}

// Offline: a capture opens without asking the meter; marker bytes inside a
// record and a 255th pause entry cost no record.
TEST(LoggerWindows, ImageFileDecodesWhole)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    ImageBuilder inner;
    inner.dose("5", "25");
    Bytes tricky = inner.bytes();
    tricky[12] = 0x00, tricky[13] = 0x55, tricky[14] = 0xAA, tricky[15] = 0x00; // free bytes 13-15
    ImageBuilder img;
    img.set().dose("1").add(tricky).dose("9");
    for (std::uint32_t p = 0; p < 255; ++p)
        img.pause(600 + 2 * p, 601 + 2 * p);
    img.dose("12");
    TempFolder dir;
    const auto path = dir / "customer.km740img";
    const Bytes bytes = img.bytes();
    writeBytes(path, std::string(bytes.begin(), bytes.end()));

    const std::size_t mark = b.sentCount();
    ASSERT_TRUE(windowsOf(b).openImageFile(QString::fromStdString(path.string())));
    MemoryWindow* m = windowsOf(b).memory();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->gridSet()->model()->rowCount(), 1);
    EXPECT_EQ(row(m->gridSet()->model(), 0)[3], "4");
    EXPECT_FALSE(b.state.meterInUse);
    b.eraseAnswer = true;
    QTest::mouseClick(m->lblRemain(), Qt::LeftButton); // no meter memory behind an image
    QTest::qWait(50);
    EXPECT_EQ(b.sentApartFromPolls(mark), Bytes{});

    clickRow(m, 0);
    DataListWindow* dl = windowsOf(b).dataList();
    ASSERT_TRUE(dl);
    EXPECT_EQ(dl->gridN()->model()->rowCount(), 4);
    EXPECT_EQ(dl->gridPause()->model()->rowCount(), 254);
    EXPECT_TRUE(dl->messageLine()->text().contains("255 pauses")) << dl->messageLine()->text().toStdString();
    EXPECT_TRUE(dl->messageLine()->text().contains("Every record is kept"));
    EXPECT_EQ(dl->gridN()->model()->index(1, 2).data().toString(), "5.25");

    // A file that is no image is said so, and opens nothing.
    m->close();
    b.messages.clear();
    EXPECT_FALSE(windowsOf(b).openImageFile(QString::fromStdString((dir / "absent.km740img").string())));
    ASSERT_EQ(b.messages.size(), 1);
    EXPECT_TRUE(b.messages.front().startsWith("The logger image was not opened"));
}

TEST(LoggerWindows, ReportHeaderTextsReachDataList)
{
    PanelBench b;
    ASSERT_TRUE(b.waitForFirstPoll());
    QAction* key = b.panel->toolbar()->button(ToolKey::AddText);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->toolTip(), "Report Header (Ctrl+H)");
    EXPECT_TRUE(key->isEnabled());

    // The key follows MeterInUse, and opens one window only.
    b.state.meterInUse = true;
    b.panel->onToolbarButtonClick(ToolKey::AddText);
    EXPECT_FALSE(windowsOf(b).addText());
    b.state.meterInUse = false;
    b.panel->onToolbarButtonClick(ToolKey::AddText);
    AddTextWindow* t = windowsOf(b).addText();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->windowTitle(), "Name, Setor, Company");
    EXPECT_TRUE(b.state.headerTextOpen);
    b.panel->onToolbarButtonClick(ToolKey::AddText);
    EXPECT_EQ(windowsOf(b).addText(), t);
    EXPECT_EQ(hearingFaults(t).join(QLatin1Char('\n')).toStdString(), "");

    MemoryWindow* m = download(b);
    ASSERT_TRUE(m);
    clickRow(m, 0);
    DataListWindow* dl = windowsOf(b).dataList();
    ASSERT_TRUE(dl);
    QTest::keyClicks(t->txtName(), "Ana Lima");
    QTest::keyClicks(t->txtCompany(), "Acme");
    EXPECT_EQ(dl->lblMessage(0)->text(), "Ana Lima");
    EXPECT_EQ(dl->lblMessage(1)->text(), "");
    EXPECT_EQ(dl->lblMessage(2)->text(), "Acme");

    // Open takes the last whole triple; save writes the three lines.
    TempFolder dir;
    writeBytes(dir / "a.nse", "Joe\r\nPress shop\r\nAcme\r\nMary\r\nPaint shop\r\nBeta, Inc\r\n");
    const auto saved = dir / "b.cna";
    windowsOf(b).setDialogs({[&](QWidget*) { return QString::fromStdString((dir / "a.nse").string()); },
                             [&](QWidget*) { return QString::fromStdString(saved.string()); },
                             {},
                             {},
                             {}});
    t->cmdOpen()->click();
    EXPECT_EQ(t->txtName()->text(), "Mary");
    EXPECT_EQ(t->txtSector()->text(), "Paint shop");
    EXPECT_EQ(t->txtCompany()->text(), "Beta");
    EXPECT_EQ(dl->lblMessage(1)->text(), "Paint shop");
    t->txtCompany()->setText("Beta, Inc");
    t->cmdSave()->click();
    const Result<HeaderText> back = readHeaderText(saved);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->company, "Beta, Inc");

    // After the window closes, typing elsewhere reaches nothing.
    t->close();
    EXPECT_FALSE(b.state.headerTextOpen);
    EXPECT_EQ(dl->lblMessage(0)->text(), "Mary");
}

TEST(LoggerWindows, PortChooserIsHeardAsItShows)
{
    PortWindow chooser(1);
    EXPECT_EQ(hearingFaults(&chooser).join('\n').toStdString(), "");
}
