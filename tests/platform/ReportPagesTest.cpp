// SPDX-License-Identifier: GPL-3.0-or-later
// The report's pages and pictures: how they break, their paper, what a
// failed write leaves behind.
#include "core/files/DataFileWriter.h"
#include "core/report/ReportMaker.h"
#include "platform/ReportPdf.h"
#include "support/SampleShift.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

std::string pdfText(const std::filesystem::path& pdf)
{
    return runProgram("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"}).out;
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The survey shift with `spans` one-minute spans left out, every third
// minute from 08:00, each with a reason.
ReportContent surveyReport(const TempFolder& dir, int spans)
{
    EXPECT_TRUE(writeDataFile(dir / "shift.sonx", sampleSurveyShift()));
    ReportRequest request = requestFor(dir / "shift.sonx");
    const LocalSeconds eight = *parseLocalTime("2026-12-01T08:00:00");
    for (int i = 0; i < spans; ++i) {
        const TimeSpan span{eight + 180 * i, eight + 180 * i + 60};
        request.options.exclusions.push_back(span);
        request.options.reasons[{span.from, span.to}] = "Forklift horn test number " + std::to_string(i + 1);
    }
    request.madeAt = "2026-12-07 14:05";
    request.program = "km740 test";
    auto r = makeReport(request);
    EXPECT_TRUE(r) << r.error().message;
    return r ? *r : ReportContent{};
}

} // namespace

TEST(ReportPages, LongTablesGoOnToNewPagesWithTheirHeaderAndTheCountIsStable)
{
    if (runProgram("/usr/bin/pdftotext", {"-v"}).exitCode != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    TempFolder dir;
    const ReportContent one = surveyReport(dir, 1);
    const ReportContent many = surveyReport(dir, 70);

    auto a4 = writeReportPdf(dir / "one.pdf", one, QPageSize::A4);
    ASSERT_TRUE(a4) << a4.error().message;
    EXPECT_EQ(*a4, 2);
    EXPECT_EQ(*writeReportPdf(dir / "again.pdf", one, QPageSize::A4), 2);

    auto long_ = writeReportPdf(dir / "many.pdf", many, QPageSize::A4);
    ASSERT_TRUE(long_) << long_.error().message;
    EXPECT_GT(*long_, 2);
    const std::string text = pdfText(dir / "many.pdf");
    // Every page the exclusions run on to starts with the table's header.
    EXPECT_GE(count(text, "Reason"), 2u);
    EXPECT_EQ(count(text, "Forklift horn test number"), 70u);
    EXPECT_EQ(count(text, "Page "), static_cast<std::size_t>(*long_));
    EXPECT_NE(text.find("Page " + std::to_string(*long_) + " of " + std::to_string(*long_)), std::string::npos);

    auto letter = writeReportPdf(dir / "letter.pdf", one, QPageSize::Letter);
    ASSERT_TRUE(letter);
    EXPECT_NE(runProgram("/usr/bin/pdfinfo", {(dir / "letter.pdf").string()}).out.find("612 x 792"), std::string::npos);
    EXPECT_NE(runProgram("/usr/bin/pdfinfo", {(dir / "one.pdf").string()}).out.find("(A4)"), std::string::npos);
}

TEST(ReportPages, LongNotesGoOnOverTheNextPageWithNothingCutOff)
{
    if (runProgram("/usr/bin/pdftotext", {"-v"}).exitCode != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    TempFolder dir;
    ReportContent report = surveyReport(dir, 1);
    // Numbered lines, a paragraph far wider than the page, and a word
    // longer than a line.
    std::string notes;
    for (int i = 1; i <= 90; ++i)
        notes += "Observation " + std::to_string(i) + ": hearing protection worn at the press line.\n";
    for (int i = 10; i < 50; ++i)
        notes += "wrapped" + std::to_string(i) + " ";
    notes += "\n" + std::string(150, 'x') + "\nLast line of the notes.";
    report.notes = notes;

    auto pages = writeReportPdf(dir / "notes.pdf", report, QPageSize::A4);
    ASSERT_TRUE(pages) << pages.error().message;
    // Two pages without the notes.
    EXPECT_GE(*pages, 3);
    const std::string text = pdfText(dir / "notes.pdf");
    for (int i = 1; i <= 90; ++i)
        EXPECT_EQ(count(text, "Observation " + std::to_string(i) + ":"), 1u) << i;
    for (int i = 10; i < 50; ++i)
        EXPECT_EQ(count(text, "wrapped" + std::to_string(i)), 1u) << i;
    // The word too long for a line is broken, not cut.
    std::string joined;
    for (char c : text)
        if (c != ' ' && c != '\n')
            joined += c;
    EXPECT_NE(joined.find(std::string(150, 'x')), std::string::npos);
    // The notes end on the last page, before its foot.
    const std::string last = text.substr(text.rfind('\f', text.size() - 2) + 1);
    EXPECT_NE(last.find("Last line of the notes."), std::string::npos);
    EXPECT_NE(last.find("Page " + std::to_string(*pages) + " of "), std::string::npos);
}

TEST(ReportPages, TheChartAloneShadesTheSpanLeftOutAndKeepsItsText)
{
    TempFolder dir;
    ReportContent report = surveyReport(dir, 0);
    // 10:00 to 10:30 of 08:00 to 12:00.
    report.chart.excluded.push_back({7200.0, 9000.0, "1 Compressor"});
    ASSERT_TRUE(writeReportChart(dir / "chart.png", report.chart));
    ASSERT_TRUE(writeReportChart(dir / "chart.svg", report.chart));

    QImage image(QString::fromStdString((dir / "chart.png").string()));
    ASSERT_FALSE(image.isNull());
    auto shadedAt = [&](double across) {
        int shaded = 0;
        const int x = static_cast<int>(image.width() * across);
        for (int y = 0; y < image.height(); ++y)
            shaded += image.pixelColor(x, y) == QColor(0xcc, 0xd8, 0xe8);
        return shaded;
    };
    // The plot runs from 11 mm to 1 mm short of the 180 mm width.
    const double left = 11.0 / 180.0, width = 168.0 / 180.0;
    EXPECT_GT(shadedAt(left + width * 0.5625), 50);
    EXPECT_EQ(shadedAt(left + width * 0.30), 0);
    EXPECT_EQ(shadedAt(left + width * 0.80), 0);

    const std::string svg = readBytes(dir / "chart.svg");
    EXPECT_NE(svg.find("1 Compressor"), std::string::npos);
    EXPECT_NE(svg.find("10:00"), std::string::npos);
}

TEST(ReportPages, AFailedWriteLeavesNoFile)
{
    TempFolder dir;
    const ReportContent report = surveyReport(dir, 0);
    auto missing = writeReportPdf(dir / "absent" / "r.pdf", report, QPageSize::A4);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().message.find("absent"), std::string::npos);
    auto gif = writeReportChart(dir / "chart.gif", report.chart);
    ASSERT_FALSE(gif);
    EXPECT_NE(gif.error().message.find(".png or .svg"), std::string::npos);
    EXPECT_EQ(dir.entries(), 1u); // the data file
}
