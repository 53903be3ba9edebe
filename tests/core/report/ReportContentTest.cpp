// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileWriter.h"
#include "core/report/ReportMaker.h"
#include "support/SampleShift.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

LocalSeconds at(const char* text)
{
    return *parseLocalTime(text);
}

std::string field(const std::vector<ReportField>& fields, std::string_view label)
{
    for (const ReportField& f : fields)
        if (f.label == label)
            return f.value;
    return "(no " + std::string(label) + ")";
}

const StandardLine& row(const ReportContent& r, std::string_view name)
{
    for (const StandardLine& l : r.standards)
        if (l.cells[0] == name)
            return l;
    throw std::runtime_error("no row " + std::string(name));
}

} // namespace

TEST(Report, FourHoursAt92dBAreJudgedOnTheShiftTheyStandFor)
{
    TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "92.sonx", sampleShift({{4 * 3600, 92.0}})));
    ReportRequest request = requestFor(dir / "92.sonx");
    request.options.standards = {"OSHA-90", "ACGIH", "ISO85"};

    // Four hours measured: OSHA dose 50 % * 2^(2/5) = 65.98 %; ACGIH
    // 50 % * 2^(7/3) = 252 %; LEX,8h 92 + 10 lg(4/8) = 89.0 dB.
    auto measured = makeReport(request);
    ASSERT_TRUE(measured) << measured.error().message;
    EXPECT_EQ(row(*measured, "OSHA-90").cells[7], "65.98");
    EXPECT_EQ(row(*measured, "OSHA-90").judgement, "above action");
    EXPECT_EQ(row(*measured, "ACGIH").judgement, "above limit");
    EXPECT_EQ(row(*measured, "ISO85").judgement, "above limit");
    EXPECT_EQ(field(measured->overall, "LEX,8h"), "89.0 dB");
    EXPECT_EQ(field(measured->overall, "Exposure time"), "4:00:00 (the time measured)");

    // The same four hours standing for an eight-hour shift double the dose.
    request.options.exposureSeconds = 8 * 3600.0;
    request.language = Language::fr;
    auto shift = makeReport(request);
    ASSERT_TRUE(shift) << shift.error().message;
    EXPECT_EQ(row(*shift, "OSHA-90").cells[7], "131,95");
    EXPECT_EQ(row(*shift, "OSHA-90").cells[8], "92,0");
    EXPECT_EQ(row(*shift, "OSHA-90").verdict, Verdict::aboveLimit);
    EXPECT_EQ(row(*shift, "OSHA-90").judgement, "au-dessus de la valeur limite");
    EXPECT_EQ(field(shift->overall, "Durée d'exposition"), "8:00:00 (fixée pour le poste)");
    EXPECT_EQ(field(shift->overall, "LEX,8h"), "92,0 dB");
    EXPECT_EQ(shift->legend.size(), 3u);
    EXPECT_EQ(shift->legend[0],
              "OSHA-90 : action à 50 % (85,0 dB), limite au-delà de 100 % (90,0 dB), sur la dose du poste.");
}

TEST(Report, SurveyShiftHeadChartExclusionsAndHistogram)
{
    TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "shift.sonx", sampleSurveyShift()));
    ReportRequest request = requestFor(dir / "shift.sonx");
    const TimeSpan compressor{at("2026-12-01T10:00:00"), at("2026-12-01T10:30:00")};
    request.options.exclusions = {compressor};
    request.options.reasons[{compressor.from, compressor.to}] = "Kompressor in der Pause";
    request.header = HeaderText{"A. Weber", "Presswerk", ""};
    request.notes = "Gehörschutz getragen.";
    request.language = Language::de;
    request.madeAt = "2026-12-07 14:05";
    request.program = "km740 0.1.0";

    auto r = makeReport(request);
    ASSERT_TRUE(r) << r.error().message;
    EXPECT_EQ(r->title, "Bericht zur Lärmexposition");
    ASSERT_EQ(r->who.size(), 2u); // no company given
    EXPECT_EQ(field(r->who, "Name"), "A. Weber");
    EXPECT_EQ(field(r->who, "Bereich"), "Presswerk");
    EXPECT_EQ(field(r->measurement, "Datendatei"), "shift.sonx");
    EXPECT_EQ(field(r->measurement, "Beginn"), "2026-12-01 08:00:00");
    EXPECT_EQ(field(r->measurement, "Ende"), "2026-12-01 12:00:00");
    EXPECT_EQ(field(r->measurement, "Dauer"), "4:00:00");
    EXPECT_EQ(field(r->measurement, "Kalibrierung"), "2026/12/01 07:55:00, 94.0 dB");
    ASSERT_EQ(r->settings.size(), 9u);
    EXPECT_EQ(field(r->settings, "Halbierungsparameter"), "5");
    EXPECT_EQ(field(r->overall, "Messwerte"), "12600 verwendet, 1800 ausgeschlossen");
    EXPECT_EQ(r->standards.size(), 9u); // "File" and the eight presets

    ASSERT_EQ(r->exclusions.size(), 1u);
    const ExclusionLine& e = r->exclusions[0];
    EXPECT_EQ(e.number, "1");
    EXPECT_EQ(e.from, "2026-12-01 10:00:00");
    EXPECT_EQ(e.to, "2026-12-01 10:30:00");
    EXPECT_EQ(e.readings, "1800");
    EXPECT_EQ(e.reason, "Kompressor in der Pause");

    ASSERT_EQ(r->chart.excluded.size(), 1u);
    EXPECT_DOUBLE_EQ(r->chart.excluded[0].fromSeconds, 7200.0);
    EXPECT_DOUBLE_EQ(r->chart.excluded[0].toSeconds, 9000.0);
    EXPECT_EQ(r->chart.excluded[0].label, "1 Kompressor in der Pause");
    EXPECT_DOUBLE_EQ(r->chart.spanSeconds, 4 * 3600.0);
    ASSERT_EQ(r->chart.runs.size(), 1u); // the excluded readings stay on the chart
    EXPECT_LE(r->chart.runs[0].size(), kChartColumns);

    // The histogram counts the used readings only: nothing of the 97 dB
    // half hour, whose readings lie between 96 and 98 dB.
    const ReportHistogram& h = r->histogram;
    double total = 0;
    for (double p : h.percent)
        total += p;
    EXPECT_NEAR(total, 100.0, 1e-9);
    EXPECT_LE(h.firstLevel + static_cast<double>(h.percent.size()), 93.0);
    ASSERT_EQ(h.ln.size(), 7u);
    EXPECT_EQ(h.ln[0].label, "L1");
    EXPECT_EQ(r->pagePattern, "Seite %1 von %2");
    EXPECT_EQ(r->made, "Erstellt am 2026-12-07 14:05");
    EXPECT_EQ(r->notes, "Gehörschutz getragen.");
}

TEST(Report, FilesWithoutALevelHistoryFailWithTheirName)
{
    TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "dose.sonx", sampleDoseLogger()));
    auto dose = makeReport(requestFor(dir / "dose.sonx"));
    ASSERT_FALSE(dose);
    EXPECT_NE(dose.error().message.find("dose.sonx"), std::string::npos) << dose.error().message;

    auto absent = makeReport(requestFor(dir / "absent.sonx"));
    ASSERT_FALSE(absent);
    EXPECT_NE(absent.error().message.find("absent.sonx"), std::string::npos) << absent.error().message;

    ASSERT_TRUE(writeDataFile(dir / "ok.sonx", sampleShift({{60, 85.0}})));
    ReportRequest bad = requestFor(dir / "ok.sonx");
    bad.options.standards = {"NIOSH"};
    auto unknown = makeReport(bad);
    ASSERT_FALSE(unknown);
    EXPECT_NE(unknown.error().message.find("NIOSH"), std::string::npos) << unknown.error().message;
}
