// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/GraphView.h"
#include "app/charts/HistogramWindow.h"
#include "app/charts/PlotWindow.h"
#include "core/files/DataFileWriter.h"
#include "app/files/FileListModel.h"
#include "app/files/FileListWindow.h"
#include "core/lists/FileRows.h"
#include "app/files/FileWindows.h"
#include "app/panel/PanelToolbar.h"
#include "app/ui/SettingsPanel.h"
#include "support/PanelBench.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace km740 {
namespace {

using Field = SettingsPanel::Field;

// The panel with no meter ("No Device Found!"), its file windows answering
// through the test.
struct FileBench {
    test::PanelBench bench;
    test::TempFolder dir;
    QStringList messages;
    std::vector<PlotRequest> plots;
    std::vector<HistogramRequest> histograms;
    QStringList perRowAnswers;
    int perRowAsked = 0;
    QString pdfPath;
    QString csvPath;

    explicit FileBench(test::PanelBenchOptions options = {.failOpen = true}) : bench(options)
    {
        FileListDialogs d;
        d.message = [this](QWidget*, const QString& text, bool) { messages << text; };
        d.printer = [this](QWidget*) {
            auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdfPath);
            return p;
        };
        d.recordsPerRow = [this](QWidget*) -> std::optional<QString> {
            ++perRowAsked;
            return perRowAnswers.isEmpty() ? std::nullopt : std::optional(perRowAnswers.takeFirst());
        };
        d.saveCsv = [this](QWidget*, const QString&) -> std::optional<QString> { return csvPath; };
        windows().setDialogs(d);
    }

    FileWindows& windows() { return bench.keys->files(); }

    void connectCharts()
    {
        windows().setChartSink({[this](const PlotRequest& r) { plots.push_back(r); },
                                [this](const HistogramRequest& r) { histograms.push_back(r); },
                                {}});
    }

    QString write(const std::string& name, const DataFile& file)
    {
        EXPECT_TRUE(writeDataFile(dir / name, file));
        return QString::fromStdString((dir / name).string());
    }

    // "Open" on the toolbar with `path` chosen; the window once it has read.
    FileListWindow* open(const QString& path, FileListKind kind)
    {
        bench.openAnswer = path;
        bench.panel->toolbar()->button(ToolKey::Open)->trigger();
        FileListWindow* w = windows().window(kind);
        if (!w)
            return nullptr;
        EXPECT_TRUE(test::waitFor([&] { return windows().window(kind) && windows().window(kind)->table(); }, 10000));
        return windows().window(kind);
    }
};

QString cellText(FileListWindow* w, int row, int column)
{
    return w->gridN()->model()->index(row, column).data().toString();
}

QStringList headers(FileListWindow* w)
{
    QStringList h;
    for (int c = 0; c < w->gridN()->model()->columnCount(); ++c)
        h << w->gridN()->model()->headerData(c, Qt::Horizontal).toString();
    return h;
}

QStringList rowOf(QTableWidget* grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << (grid->item(row, c) ? grid->item(row, c)->text() : QString());
    return cells;
}

// "Open" is the key left after "No Device Found!", and it works: each kind
// opens in its window with the settings and the record texts of the file.
TEST(FileListWindow, EachKindOpensAfterNoDeviceFound)
{
    FileBench f;
    ASSERT_TRUE(test::waitFor([&] { return f.bench.messages == QStringList{"No Device Found!"}; }, 3000));
    EXPECT_TRUE(f.bench.visibleKeys().contains("Open"));
    EXPECT_FALSE(f.bench.visibleKeys().contains("Logger"));
    EXPECT_TRUE(f.bench.panel->toolbar()->button(ToolKey::Open)->isEnabled());

    const QString rtPath = f.write("walk.sonx", test::sampleRealTime(300, 50));
    FileListWindow* rt = f.open(rtPath, FileListKind::realTime);
    ASSERT_TRUE(rt);
    EXPECT_EQ(rt->objectName(), "FileListReal");
    EXPECT_EQ(rt->windowTitle(), "walk.sonx");
    EXPECT_EQ(rt->settingsPanel()->title(Field::Peak), "Peak  Value");
    EXPECT_EQ(rt->settingsPanel()->value(Field::Peak), "Lcpk");
    EXPECT_EQ(rt->settingsPanel()->value(Field::Criterion), "90");
    EXPECT_EQ(rt->settingsPanel()->value(Field::CalTime), "2026/12/01 07:55:00");
    EXPECT_EQ(headers(rt), (QStringList{"No.s", "     Date Time    ", "dB", "TWA", "Dose", "SEL", "SE", "LEP,d", "Leq",
                                        "PTWA", "PDose", "LAvg"}));
    ASSERT_EQ(rt->gridN()->model()->rowCount(), 300);
    EXPECT_EQ(cellText(rt, 0, 0), "1");
    EXPECT_EQ(cellText(rt, 0, 1), "2026/12/01 08:00:00");
    EXPECT_EQ(cellText(rt, 0, 2), "73.7");
    EXPECT_EQ(cellText(rt, 0, 3), "----"); // below the threshold: no dose yet
    EXPECT_EQ(cellText(rt, 0, 8), "73.7");
    EXPECT_EQ(cellText(rt, 49, 2), "----");
    // Every derived text is the core's.
    std::vector<QStringList> core;
    FileRows rows(Regional::point(), {}, [&](std::span<const std::string_view> cells) {
        QStringList r;
        for (auto c : cells)
            r << QString::fromStdString(std::string(c));
        core.push_back(r);
        return true;
    });
    ASSERT_TRUE(readDataFile(rtPath.toStdString(), rows));
    for (int r = 0; r < 300; r += 7) {
        QStringList shown;
        for (int c = 0; c < 12; ++c)
            shown << cellText(rt, r, c);
        EXPECT_EQ(shown, core[static_cast<std::size_t>(r)]) << r;
    }

    FileListWindow* dose = f.open(f.write("dose.sonx", test::sampleDoseLogger()), FileListKind::dose);
    ASSERT_TRUE(dose);
    EXPECT_EQ(dose->objectName(), "FileList");
    EXPECT_EQ(dose->settingsPanel()->value(Field::Peak), "120.5");
    EXPECT_EQ(headers(dose), (QStringList{"No.s", "     Date Time    ", "Dose", "TWA"}));
    EXPECT_TRUE(dose->gridPause()->isVisibleTo(dose));
    EXPECT_EQ(dose->plPause()->text(), "Pause Time");
    ASSERT_EQ(dose->gridPause()->rowCount(), 2);
    EXPECT_EQ(rowOf(dose->gridPause(), 1), (QStringList{"2", "11:00:00", "11:30:00", "00:30:00"}));
    EXPECT_EQ(cellText(dose, 1, 3), "----");
    EXPECT_EQ(cellText(dose, 2, 2), "1.2500");
    // "Export CSV" writes the list as a spreadsheet reads it.
    f.csvPath = QString::fromStdString((f.dir / "dose.csv").string());
    dose->action("ExportCsv")->trigger();
    EXPECT_EQ(test::readBytes(f.dir / "dose.csv"), "No.s,Date Time,Dose [%],TWA [dB]\r\n"
                                                   "1,2026-12-01T09:00:00,0.5000,85.1\r\n"
                                                   "2,2026-12-01T09:01:00,0,\r\n"
                                                   "3,2026-12-01T09:02:00,1.2500,87.3\r\n");

    FileListWindow* level = f.open(f.write("level.sonx", test::sampleLevelLogger()), FileListKind::level);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->objectName(), "FileListdB");
    EXPECT_FALSE(level->gridPause()->isVisibleTo(level));
    EXPECT_EQ(rowOf(level->gridSummary(), 0), (QStringList{"12.5", "81.0"}));
    EXPECT_EQ(headers(level), (QStringList{"No.s", "     Date Time    ", "dB"}));
    EXPECT_EQ(cellText(level, 2, 2), "-");
    EXPECT_EQ(cellText(level, 6, 0), "7");

    // A second file of a kind replaces the window of that kind.
    QPointer<FileListWindow> first = rt;
    FileListWindow* again = f.open(f.write("again.sonx", test::sampleRealTime(3)), FileListKind::realTime);
    ASSERT_TRUE(again);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(again->gridN()->model()->rowCount(), 3);
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join('\n').toStdString();
}

// While the link is lost "Open" is the key left, and it opens a file even
// when a window holds the meter: reading a file never touches it.
TEST(FileListWindow, OpensWhileTheLinkIsLostAndTheMeterHeld)
{
    FileBench f(test::PanelBenchOptions{});
    ASSERT_TRUE(f.bench.waitForFirstPoll());
    f.bench.meter->with([](VirtualMeter& m) { m.setSilentAfter(m.commandsTaken()); });
    ASSERT_TRUE(test::waitFor([&] { return f.bench.state.linkBusy; }, 5000));
    EXPECT_TRUE(f.bench.visibleKeys().contains("Open"));
    EXPECT_FALSE(f.bench.visibleKeys().contains("Logger"));
    f.bench.state.meterInUse = true;
    FileListWindow* w = f.open(f.write("lost.sonx", test::sampleLevelLogger()), FileListKind::level);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->gridN()->model()->rowCount(), 7);
}

// A damaged recording shows what it holds and says what was passed over; a
// file that is no data file gives a message naming it and no window.
TEST(FileListWindow, DamagedFilesOpenPartlyAndGarbageNotAtAll)
{
    FileBench f;
    std::string bytes = dataFileBytes(test::sampleRealTime(20));
    bytes += "21\t2026/12/01 08:00:20\r\n";                   // no level
    bytes += "22\t\x01\x02\x03garbage\t\r\n";                 // binary
    bytes += "23\t2026/12/01 08:00:22\t88.0\t\r\n24\t2026/1"; // cut off
    test::writeBytes(f.dir / "damaged.sonx", bytes);
    FileListWindow* w = f.open(QString::fromStdString((f.dir / "damaged.sonx").string()), FileListKind::realTime);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->gridN()->model()->rowCount(), 22);
    EXPECT_EQ(cellText(w, 21, 2), "88.0");
    ASSERT_EQ(w->readCounts().notes.size(), 3u);
    EXPECT_TRUE(w->lblMessage()->text().contains("3 line(s) of the file were odd"))
        << w->lblMessage()->text().toStdString();
    EXPECT_TRUE(w->lblMessage()->text().contains("1 level cells without a reading"));
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("line 35: a record with fewer than 3 Tab-separated fields"));
    EXPECT_TRUE(f.messages[0].contains("line 36: binary data was left out"));
    EXPECT_TRUE(f.messages[0].contains("line 38: the last record is cut off (no Tab and line end after it); left out"));

    f.messages.clear();
    test::writeBytes(f.dir / "junk.sonx", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    f.bench.openAnswer = QString::fromStdString((f.dir / "junk.sonx").string());
    f.bench.panel->toolbar()->button(ToolKey::Open)->trigger();
    EXPECT_EQ(f.messages, QStringList{"junk.sonx: not a data file (binary data on line 2)"});
    EXPECT_EQ(f.windows().window(FileListKind::dose), nullptr);
}

// A column click hands the core's plot inputs to the charts, and "Ln" the
// distribution with its L(n) rows.
TEST(FileListWindow, PlotAndDistributionGoToTheCharts)
{
    FileBench f;
    FileListWindow* rt = f.open(f.write("rt.sonx", test::sampleRealTime(10, 4)), FileListKind::realTime);
    ASSERT_TRUE(rt);
    EXPECT_TRUE(rt->action("Print")->isEnabled());
    f.connectCharts();
    EXPECT_TRUE(rt->action("Plot")->isEnabled());

    rt->onGridNClick(1); // the date column does not plot
    EXPECT_TRUE(f.plots.empty());
    rt->action("Plot")->trigger();
    EXPECT_EQ(f.messages, QStringList{"Move mouse pointer to the list data then click to plot."});
    QTest::mouseClick(rt->gridN()->viewport(), Qt::LeftButton, {},
                      rt->gridN()->visualRect(rt->gridN()->model()->index(0, 2)).center());
    ASSERT_EQ(f.plots.size(), 1u);
    const PlotRequest& p = f.plots[0];
    EXPECT_EQ(p.inputs.plotKind, 2);
    EXPECT_EQ(p.inputs.plotXMax, 10);
    EXPECT_EQ(p.inputs.plotYMin, 70);
    EXPECT_EQ(p.inputs.plotYMax, 140);
    EXPECT_EQ(p.inputs.label, "dB ( Y ) :");
    ASSERT_EQ(p.series.size(), 10u);
    EXPECT_DOUBLE_EQ(p.series[0], 73.7);
    EXPECT_TRUE(std::isnan(p.series[3])); // "----" is a gap
    EXPECT_EQ(p.caption, "rt.sonx");

    rt->action("Ln")->trigger();
    EXPECT_TRUE(rt->picResolution()->isVisibleTo(rt));
    rt->picResolution()->findChild<QPushButton*>("Cmd01dB")->click();
    EXPECT_FALSE(rt->picResolution()->isVisibleTo(rt));
    ASSERT_EQ(f.histograms.size(), 1u);
    const HistogramRequest& h = f.histograms[0];
    EXPECT_EQ(h.resolution, Resolution::tenth);
    const auto& counts = h.distribution.counts(Resolution::tenth);
    EXPECT_EQ(counts.size(), 1401u);
    EXPECT_EQ(counts[737], 1u);
    EXPECT_EQ(h.distribution.lowestBin(Resolution::tenth), 733u); // 73.3 dB, record 9
    EXPECT_TRUE(h.gridLnRows[0].starts_with("L(00)\t"));
    EXPECT_FALSE(h.message.isEmpty()); // the two "----" cells left out

    // FileListdB plots its level column at once; FileList counts its TWA.
    FileListWindow* level = f.open(f.write("l.sonx", test::sampleLevelLogger()), FileListKind::level);
    ASSERT_TRUE(level);
    level->action("Plot")->trigger();
    ASSERT_EQ(f.plots.size(), 2u);
    EXPECT_EQ(f.plots[1].inputs.plotKind, 2);
    FileListWindow* dose = f.open(f.write("d.sonx", test::sampleDoseLogger()), FileListKind::dose);
    ASSERT_TRUE(dose);
    dose->onCmd1dBClick();
    ASSERT_EQ(f.histograms.size(), 2u);
    EXPECT_EQ(f.histograms[1].distribution.counts(Resolution::whole)[85], 1u);
    EXPECT_EQ(f.histograms[1].distribution.counts(Resolution::whole)[87], 1u);
}

// The printout goes through the printer as the layout's lines; "Print to
// PDF" gives a PDF whose text is those lines.
TEST(FileListWindow, PrintsTheLayoutToPdf)
{
    FileBench f;
    FileListWindow* level = f.open(f.write("l.sonx", test::sampleLevelLogger()), FileListKind::level);
    ASSERT_TRUE(level);
    f.pdfPath = QString::fromStdString((f.dir / "l.pdf").string());
    f.perRowAnswers = QStringList{"6", "2.7"};
    level->action("Print")->trigger();
    EXPECT_EQ(f.perRowAsked, 2);
    // The printer note: six lines, one line break each (a CR shows as a blank).
    ASSERT_TRUE(f.messages.size() >= 1 && f.messages.last().startsWith("Note\n"));
    EXPECT_EQ(f.messages.last().split('\n').size(), 6);
    EXPECT_FALSE(f.messages.last().contains('\r'));

    QProcess text;
    text.start("pdftotext", {"-layout", f.pdfPath, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QStringList got = QString::fromUtf8(text.readAllStandardOutput()).split('\n');
    auto squeeze = [](const QString& s) { return s.simplified(); };
    QStringList shown;
    for (const QString& l : got)
        if (!squeeze(l).isEmpty())
            shown << squeeze(l);
    QStringList expected;
    for (const std::string& l : printLines(PrintKind::fileDb, level->table()->printSource(Regional::point()), 2))
        if (!squeeze(QString::fromStdString(l)).isEmpty())
            expected << squeeze(QString::fromStdString(l));
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(expected.contains("1 2026/12/01 08:00:02 81.5 82.5"));

    // An empty answer cancels before anything is printed.
    QFile::remove(f.pdfPath);
    f.perRowAnswers = QStringList{""};
    level->action("Print")->trigger();
    EXPECT_FALSE(QFile::exists(f.pdfPath));
}

// In the program, "Plot" and "Ln" open the chart windows themselves.
TEST(FileListWindow, PlotAndLnOpenTheChartWindows)
{
    FileBench f;
    FileListWindow* rt = f.open(f.write("rt.sonx", test::sampleRealTime(10, 4)), FileListKind::realTime);
    ASSERT_TRUE(rt);
    rt->action("Plot")->trigger();
    QTest::mouseClick(rt->gridN()->viewport(), Qt::LeftButton, {},
                      rt->gridN()->visualRect(rt->gridN()->model()->index(0, 2)).center());
    auto shown = [](auto* type) {
        using W = std::remove_pointer_t<decltype(type)>;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<W*>(w); c && c->isVisible())
                return c;
        return static_cast<W*>(nullptr);
    };
    PlotWindow* plot = shown(static_cast<PlotWindow*>(nullptr));
    ASSERT_TRUE(plot);
    EXPECT_DOUBLE_EQ(plot->graph()->axisMaximum(1), 10.0); // X: records 1 .. 10

    rt->action("Ln")->trigger();
    rt->onCmd01dBClick();
    HistogramWindow* histogram = shown(static_cast<HistogramWindow*>(nullptr));
    ASSERT_TRUE(histogram);
    EXPECT_EQ(histogram->resolution(), Resolution::tenth);
    ASSERT_TRUE(histogram->levelSpan());
    EXPECT_DOUBLE_EQ(histogram->levelSpan()->min, 72.8); // five bins below 73.3 dB
}

} // namespace
} // namespace km740
