// SPDX-License-Identifier: GPL-3.0-or-later
// The "Exposure Summary" window against km740-tool exposure on the same
// file and exclusions, and the analysis file it brings back and saves.
#include "app/exposure/ExposureSummaryWindow.h"

#include "app/charts/GraphView.h"
#include "app/charts/HistogramWindow.h"
#include "app/charts/PlotWindow.h"
#include "app/exposure/ExposureWindows.h"
#include "app/files/FileListModel.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/ui/AnalysisHub.h"

#include "core/exposure/ExposureAnalysis.h"
#include "core/files/DataFileWriter.h"
#include "support/PanelBench.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"
#include "support/WaitFor.h"

#include <QAction>
#include <QBrush>
#include <QFile>
#include <QGroupBox>
#include <QTableView>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>

namespace km740 {
namespace {

using json = nlohmann::json;

// Two hours from 08:00:00: 90 dB, then 95 dB, with levels that vary a little.
std::filesystem::path shiftFile(const test::TempFolder& dir)
{
    RealTimeFile f = test::sampleRealTime(7200);
    for (std::size_t i = 0; i < f.records.size(); ++i)
        f.records[i].level = (i < 3600 ? "90." : "95.") + std::to_string(i % 10);
    const auto path = dir / "shift.sonx";
    EXPECT_TRUE(writeDataFile(path, f));
    return path;
}

struct Opened {
    std::unique_ptr<ExposureSummaryWindow> window;
    std::vector<QString> messages;
    QString saveAsAnswer;
    int saveAsAsked = 0;
};

std::unique_ptr<Opened> open(const std::filesystem::path& file)
{
    auto o = std::make_unique<Opened>();
    ExposureDialogs dialogs;
    dialogs.message = [raw = o.get()](QWidget*, const QString& text, bool) { raw->messages.push_back(text); };
    dialogs.saveAs = [raw = o.get()](QWidget*, const QString&) {
        ++raw->saveAsAsked;
        return raw->saveAsAnswer;
    };
    ExposureRequest request;
    request.caption = QString::fromStdString(file.filename().string());
    request.dataPath = QString::fromStdString(file.string());
    o->window = std::make_unique<ExposureSummaryWindow>(request, dialogs, Regional::point());
    return o;
}

bool settled(const ExposureSummaryWindow& w)
{
    return test::waitFor([&] { return !w.isWorking(); }, 20000);
}

QString cell(QTableWidget* g, int row, int column)
{
    return g->item(row, column) ? g->item(row, column)->text() : QString();
}

TEST(ExposureSummaryWindow, ShowsTheNumbersOfTheCommandLineAndBringsTheAnalysisBack)
{
    test::TempFolder dir;
    const auto file = shiftFile(dir);
    auto tool = test::runProgram(KM740_TOOL_PATH, {"exposure", file.string(), "--json", "--save-analysis", "--standard",
                                                   "File", "--standard", "ISO85", "--exposure-time", "10", "--exclude",
                                                   "2026-12-01T08:30:00/2026-12-01T09:15:00"});
    ASSERT_EQ(tool.exitCode, 0) << tool.err;
    const json j = json::parse(tool.out);

    auto o = open(file);
    ASSERT_TRUE(settled(*o->window));
    ExposureSummaryWindow& w = *o->window;
    EXPECT_TRUE(w.lblAnalysis()->text().contains("brought back from shift.sonx.km740a"))
        << w.lblAnalysis()->text().toStdString();
    ASSERT_TRUE(w.summary());
    const ExposureSummary& s = *w.summary();
    EXPECT_EQ(s.excluded, j["excluded"].get<std::uint64_t>());
    EXPECT_EQ(s.used, j["used"].get<std::uint64_t>());
    EXPECT_EQ(s.exposureSeconds, j["exposure_seconds"].get<double>());
    EXPECT_EQ(*s.laeq, j["laeq"].get<double>());
    EXPECT_EQ(*s.lex8h, j["lex8h"].get<double>());
    EXPECT_EQ(*s.ln[3], j["ln"]["L50"].get<double>());
    ASSERT_EQ(s.standards.size(), j["standards"].size());
    for (std::size_t i = 0; i < s.standards.size(); ++i) {
        EXPECT_EQ(s.standards[i].standard.name, j["standards"][i]["name"].get<std::string>());
        EXPECT_EQ(s.standards[i].dose, j["standards"][i]["dose"].get<double>());
        EXPECT_EQ(*s.standards[i].shiftTwa, j["standards"][i]["shift_twa"].get<double>());
    }
    // And what the window shows is those numbers, rounded.
    EXPECT_EQ(cell(w.gridValues(), 5, 1),
              QString::fromStdString(formatFixed(j["laeq"].get<double>(), 1, Regional::point())));
    EXPECT_EQ(cell(w.gridStandards(), 1, 0), "ISO85");
    EXPECT_EQ(cell(w.gridStandards(), 1, 7),
              QString::fromStdString(formatFixed(j["standards"][1]["shift_dose"].get<double>(), 2, Regional::point())));
    ASSERT_EQ(w.gridExclusions()->rowCount(), 1);
    EXPECT_EQ(cell(w.gridExclusions(), 0, 0), "2026-12-01T08:30:00");
    EXPECT_EQ(cell(w.gridExclusions(), 0, 2), QString::number(45 * 60));
}

TEST(ExposureSummaryWindow, SpansTypedInAreCheckedAndTheAnalysisIsSavedBesideTheFile)
{
    test::TempFolder dir;
    const auto file = shiftFile(dir);
    auto o = open(file);
    ExposureSummaryWindow& w = *o->window;
    ASSERT_TRUE(settled(w));
    EXPECT_EQ(w.summary()->excluded, 0u);
    // The span editors start at the recording's first hour.
    EXPECT_EQ(w.txtFrom()->dateTime().toString(Qt::ISODate), "2026-12-01T08:00:00");

    w.txtFrom()->setDateTime(QDateTime::fromString("2026-12-01T09:00:00", Qt::ISODate));
    w.txtTo()->setDateTime(QDateTime::fromString("2026-12-01T09:30:00", Qt::ISODate));
    w.onCmdAddClick();
    ASSERT_TRUE(settled(w));
    EXPECT_EQ(w.summary()->excluded, 1800u);
    // One overlapping it, and one after the recording, are refused with a message.
    w.txtFrom()->setDateTime(QDateTime::fromString("2026-12-01T09:20:00", Qt::ISODate));
    w.onCmdAddClick();
    w.txtFrom()->setDateTime(QDateTime::fromString("2026-12-01T13:00:00", Qt::ISODate));
    w.txtTo()->setDateTime(QDateTime::fromString("2026-12-01T14:00:00", Qt::ISODate));
    w.onCmdAddClick();
    ASSERT_EQ(o->messages.size(), 2u);
    EXPECT_TRUE(o->messages[0].contains("overlap"));
    EXPECT_TRUE(o->messages[1].contains("outside the recording"));
    EXPECT_EQ(w.gridExclusions()->rowCount(), 1);

    w.onCmdSaveClick();
    auto saved = readAnalysis(analysisPathFor(file));
    ASSERT_TRUE(saved) << saved.error().message;
    EXPECT_EQ(saved->exclusions, w.options().exclusions);
    EXPECT_EQ(o->saveAsAsked, 0);

    // Removing the span brings the readings back.
    w.gridExclusions()->setCurrentCell(0, 0);
    w.onCmdRemoveClick();
    ASSERT_TRUE(settled(w));
    EXPECT_EQ(w.summary()->excluded, 0u);
}

TEST(ExposureSummaryWindow, AnAnalysisThatCannotBeWrittenSaysSoAndOffersAnotherPlace)
{
    test::TempFolder dir;
    const auto file = shiftFile(dir);
    // A folder where the analysis file would go: nothing can be written there.
    std::filesystem::create_directory(analysisPathFor(file));
    test::TempFolder elsewhere;
    auto o = open(file);
    ASSERT_TRUE(settled(*o->window));
    o->saveAsAnswer = QString::fromStdString((elsewhere / "mine.km740a").string());
    o->window->onCmdSaveClick();
    EXPECT_EQ(o->saveAsAsked, 1);
    ASSERT_FALSE(o->messages.empty());
    EXPECT_TRUE(o->messages[0].contains("could not be saved beside the data file"));
    EXPECT_TRUE(readAnalysis(elsewhere / "mine.km740a"));
    EXPECT_TRUE(o->window->lblAnalysis()->text().contains("mine.km740a"));
}

TEST(ExposureSummaryWindow, TheFileListsExposureKeyOpensItOncePerFile)
{
    test::PanelBench bench({.failOpen = true});
    std::vector<QString> messages;
    ExposureDialogs quiet;
    quiet.message = [&](QWidget*, const QString& text, bool) { messages.push_back(text); };
    bench.keys->exposure().setDialogs(quiet);
    test::TempFolder dir;
    const QString path = QString::fromStdString(shiftFile(dir).string());
    ASSERT_TRUE(bench.keys->files().open(path));
    FileListWindow* list = bench.keys->files().window(FileListKind::realTime);
    ASSERT_TRUE(list);
    ASSERT_TRUE(test::waitFor([&] { return list->table() != nullptr; }, 10000));
    QAction* key = list->action(QStringLiteral("Exposure"));
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->isEnabled());
    key->trigger();
    ExposureSummaryWindow* w = bench.keys->exposure().window(path);
    ASSERT_TRUE(w);
    ASSERT_TRUE(settled(*w));
    EXPECT_EQ(w->summary()->used, 7200u);
    key->trigger();
    EXPECT_EQ(bench.keys->exposure().window(path), w);

    // A dose set holds no levels: its list has no such key.
    const auto dose = dir / "dose.sonx";
    ASSERT_TRUE(writeDataFile(dose, test::sampleDoseLogger()));
    ASSERT_TRUE(bench.keys->files().open(QString::fromStdString(dose.string())));
    ASSERT_TRUE(bench.keys->files().window(FileListKind::dose));
    EXPECT_EQ(bench.keys->files().window(FileListKind::dose)->action(QStringLiteral("Exposure")), nullptr);
    EXPECT_TRUE(messages.empty());
}

// The spans the analysis file holds, as its JSON lines say.
json savedSpans(const std::filesystem::path& file)
{
    std::ifstream in(analysisPathFor(file));
    const json j = json::parse(in, nullptr, false);
    return j.is_object() ? j["exclusions"] : json();
}

json span(const char* from, const char* to)
{
    return {{"from", from}, {"to", to}};
}

// One span marked on the Plot, left out and partly taken back in: the
// analysis file, the Plot's stripes, the greyed list with its running
// columns, the histogram and the Exposure Summary all follow.
TEST(ExposureSummaryWindow, ThePlotsCursorsLeaveSpansOutAndEveryWindowFollows)
{
    test::PanelBench bench({.failOpen = true});
    test::TempFolder dir;
    const auto file = shiftFile(dir);
    const QString path = QString::fromStdString(file.string());
    ASSERT_TRUE(bench.keys->files().open(path));
    FileListWindow* list = bench.keys->files().window(FileListKind::realTime);
    ASSERT_TRUE(list);
    ASSERT_TRUE(test::waitFor([&] { return list->table() != nullptr; }, 10000));
    list->action(QStringLiteral("Exposure"))->trigger();
    ExposureSummaryWindow* summary = bench.keys->exposure().window(path);
    ASSERT_TRUE(summary);
    ASSERT_TRUE(settled(*summary));
    EXPECT_FALSE(summary->cmdFromPlot()->isEnabled());
    list->onCmd1dBClick();
    auto* histogram = bench.context->windows().shown<HistogramWindow>();
    ASSERT_TRUE(histogram);
    EXPECT_EQ(histogram->lblMessage()->text(), "");

    list->onGridNClick(2);
    PlotWindow* plot = bench.context->windows().shown<PlotWindow>();
    ASSERT_TRUE(plot);
    ASSERT_TRUE(plot->frmExposure()->isVisibleTo(plot));
    EXPECT_TRUE(summary->cmdFromPlot()->isEnabled());
    EXPECT_TRUE(plot->graph()->shadedRanges().empty());

    // Records 1801 .. 3600: 08:30:00 up to 09:00:00.
    plot->onCmdSpanCursorsClick();
    plot->graph()->setCursorPosition(1, 3600, 90);
    plot->graph()->setCursorPosition(2, 1801, 90);
    plot->onCmdExcludeClick();
    ASSERT_TRUE(test::waitFor([&] { return !bench.keys->analyses().isSaving(); }, 10000));
    EXPECT_EQ(savedSpans(file), json::array({span("2026-12-01T08:30:00", "2026-12-01T09:00:00")}));
    EXPECT_EQ(plot->graph()->shadedRanges(), (std::vector<std::pair<double, double>>{{1800.5, 3600.5}}));

    ASSERT_TRUE(settled(*summary));
    EXPECT_EQ(summary->summary()->excluded, 1800u);
    ASSERT_TRUE(test::waitFor([&] { return !list->isApplyingAnalysis() && !list->table()->leftOut().empty(); }, 10000));
    const QAbstractItemModel* rows = list->gridN()->model();
    EXPECT_FALSE(rows->data(rows->index(1799, 2), Qt::ForegroundRole).isValid());
    EXPECT_EQ(rows->data(rows->index(1800, 2), Qt::ForegroundRole).value<QBrush>().color(), QColor(140, 140, 140));
    EXPECT_EQ(rows->data(rows->index(3599, 11), Qt::AccessibleDescriptionRole).toString(),
              "left out of the exposure analysis");
    // The reading stays visible; the running columns stand still over the span.
    EXPECT_EQ(rows->data(rows->index(1800, 2), Qt::DisplayRole).toString(), "90.0");
    EXPECT_EQ(rows->data(rows->index(3599, 4), Qt::DisplayRole), rows->data(rows->index(1799, 4), Qt::DisplayRole));
    // By hand: 90.x dB for 1800 s and 95.x dB for 3600 s, x = 0 .. 9 in turn.
    double dose = 0;
    for (int i = 0; i < 7200; ++i)
        if (i < 1800 || i >= 3600)
            dose += std::pow(2.0, ((i < 3600 ? 90.0 : 95.0) + (i % 10) / 10.0 - 90.0) / 5.0) / 288.0;
    EXPECT_NEAR(*list->table()->value(7199, 4), dose, 1e-9);
    EXPECT_NEAR(summary->summary()->standards.front().dose, dose, 1e-9);
    EXPECT_EQ(histogram->lblMessage()->text(), "1800 readings left out of the exposure analysis");

    // Records 2001 .. 3000 back in: two spans stay, and From Plot cursors
    // puts that span into the summary's editors.
    plot->graph()->setCursorPosition(1, 2001, 90);
    plot->graph()->setCursorPosition(2, 3000, 90);
    plot->onCmdIncludeClick();
    ASSERT_TRUE(test::waitFor([&] { return !bench.keys->analyses().isSaving(); }, 10000));
    EXPECT_EQ(savedSpans(file), json::array({span("2026-12-01T08:30:00", "2026-12-01T08:33:20"),
                                             span("2026-12-01T08:50:00", "2026-12-01T09:00:00")}));
    EXPECT_EQ(plot->graph()->shadedRanges(),
              (std::vector<std::pair<double, double>>{{1800.5, 2000.5}, {3000.5, 3600.5}}));
    ASSERT_TRUE(settled(*summary));
    EXPECT_EQ(summary->summary()->excluded, 800u);
    EXPECT_EQ(summary->gridExclusions()->rowCount(), 2);
    summary->cmdFromPlot()->click();
    EXPECT_EQ(summary->txtFrom()->dateTime().toString(Qt::ISODate), "2026-12-01T08:33:20");
    EXPECT_EQ(summary->txtTo()->dateTime().toString(Qt::ISODate), "2026-12-01T08:50:00");

    // Removing the rest in the summary clears the Plot and the list, which
    // is the meter's own list again.
    while (summary->gridExclusions()->rowCount() > 0) {
        summary->gridExclusions()->setCurrentCell(0, 0);
        summary->onCmdRemoveClick();
    }
    ASSERT_TRUE(test::waitFor([&] { return !bench.keys->analyses().isSaving(); }, 10000));
    EXPECT_EQ(savedSpans(file), json::array());
    EXPECT_TRUE(plot->graph()->shadedRanges().empty());
    ASSERT_TRUE(test::waitFor([&] { return !list->isApplyingAnalysis() && list->table()->leftOut().empty(); }, 10000));
    EXPECT_FALSE(rows->data(rows->index(1800, 2), Qt::ForegroundRole).isValid());

    // Closing the Plot withdraws its cursors.
    plot->close();
    ASSERT_TRUE(test::waitFor([&] { return !summary->cmdFromPlot()->isEnabled(); }, 3000));
}

} // namespace
} // namespace km740
