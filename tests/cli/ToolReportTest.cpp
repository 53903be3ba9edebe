// SPDX-License-Identifier: GPL-3.0-or-later
// report: the PDF read back as text and as pixels, against what
// `km740-tool exposure --json` says of the same file and analysis.
#include "core/exposure/ExposureAnalysis.h"
#include "core/files/DataFileWriter.h"
#include "core/files/HeaderText.h"
#include "support/SampleShift.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <sstream>

using namespace km740;
using namespace km740::test;
using json = nlohmann::json;

namespace {

bool havePoppler()
{
    return runProgram("/usr/bin/pdftotext", {"-v"}).exitCode == 0;
}

std::string pdfText(const std::filesystem::path& pdf)
{
    return runProgram("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"}).out;
}

int pdfPages(const std::filesystem::path& pdf)
{
    const std::string info = runProgram("/usr/bin/pdfinfo", {pdf.string()}).out;
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// "%.*f" as km740-tool exposure prints its table.
std::string fixed(const json& v, int decimals)
{
    if (v.is_null())
        return "----";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v.get<double>());
    return text;
}

// The texts, in this order, on one line of the text.
::testing::AssertionResult onOneLine(const std::string& text, const std::vector<std::string>& parts)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = 0;
        bool all = true;
        for (const std::string& part : parts) {
            at = line.find(part, at);
            if (at == std::string::npos) {
                all = false;
                break;
            }
            at += part.size();
        }
        if (all)
            return ::testing::AssertionSuccess();
    }
    std::string wanted;
    for (const std::string& p : parts)
        wanted += "[" + p + "] ";
    return ::testing::AssertionFailure() << "no line holds " << wanted << "in\n" << text;
}

// Pixels of the excluded span's shade on page 1 at 50 dpi, and where they lie
// across the page (0 left edge, 1 right edge).
struct Shade {
    long pixels = 0;
    double middle = 0.0;
};

Shade shadeOnFirstPage(const std::filesystem::path& pdf, const std::filesystem::path& folder)
{
    const auto stem = folder / "page";
    runProgram("/usr/bin/pdftoppm", {"-r", "50", "-f", "1", "-l", "1", "-singlefile", pdf.string(), stem.string()});
    const std::string ppm = readBytes(stem.string() + ".ppm");
    std::istringstream in(ppm);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    Shade s;
    if (magic != "P6" || width <= 0)
        return s;
    const auto start = static_cast<std::size_t>(in.tellg());
    double sumX = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto at = start + 3 * (static_cast<std::size_t>(y) * width + x);
            if (at + 2 >= ppm.size())
                return s;
            const auto r = static_cast<unsigned char>(ppm[at]), g = static_cast<unsigned char>(ppm[at + 1]),
                       b = static_cast<unsigned char>(ppm[at + 2]);
            if (std::abs(r - 0xcc) <= 3 && std::abs(g - 0xd8) <= 3 && std::abs(b - 0xe8) <= 3) {
                ++s.pixels;
                sumX += x;
            }
        }
    if (s.pixels > 0)
        s.middle = sumX / static_cast<double>(s.pixels) / width;
    return s;
}

class ToolReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!havePoppler())
            GTEST_SKIP() << "pdftotext is not installed";
        ASSERT_TRUE(writeDataFile(dir / "shift.sonx", sampleSurveyShift()));
        ExposureOptions options;
        const TimeSpan compressor{*parseLocalTime("2026-12-01T10:00:00"), *parseLocalTime("2026-12-01T10:30:00")};
        options.exclusions = {compressor};
        options.reasons[{compressor.from, compressor.to}] = "Badge left on the compressor";
        ASSERT_TRUE(writeAnalysis(analysisPathFor(dir / "shift.sonx"), options, "shift.sonx"));
        ASSERT_TRUE(writeHeaderText(dir / "who.nse", {"Ana Lima", "Stamping, line 2", "Metalurgica Norte"}));
    }

    ToolResult report(std::vector<std::string> more)
    {
        std::vector<std::string> args = {"report", (dir / "shift.sonx").string(), "--paper", "a4"};
        args.insert(args.end(), more.begin(), more.end());
        return runProgram(KM740_TOOL_PATH, args);
    }

    TempFolder dir;
};

} // namespace

TEST_F(ToolReport, PdfHoldsTheHeadEveryValueEveryStandardAndTheExclusions)
{
    const auto pdf = dir / "report.pdf";
    auto made =
        report({"-o", pdf.string(), "--header", (dir / "who.nse").string(), "--notes", "Hearing protection worn."});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.err.find("applied the analysis"), std::string::npos) << made.err;

    auto exposure = runProgram(KM740_TOOL_PATH, {"exposure", (dir / "shift.sonx").string(), "--json"});
    ASSERT_EQ(exposure.exitCode, 0) << exposure.err;
    const json s = json::parse(exposure.out);
    const std::string text = pdfText(pdf);

    EXPECT_TRUE(onOneLine(text, {"Noise exposure report"}));
    EXPECT_TRUE(onOneLine(text, {"Name", "Ana Lima"}));
    EXPECT_TRUE(onOneLine(text, {"Sector", "Stamping, line 2"}));
    EXPECT_TRUE(onOneLine(text, {"Company", "Metalurgica Norte"}));
    EXPECT_TRUE(onOneLine(text, {"Start", "2026-12-01 08:00:00"}));
    EXPECT_TRUE(onOneLine(text, {"End", "2026-12-01 12:00:00"}));
    EXPECT_TRUE(onOneLine(text, {"Calibration", "2026/12/01 07:55:00, 94.0 dB"}));
    EXPECT_TRUE(onOneLine(text, {"Exchange rate", "5"}));

    EXPECT_TRUE(onOneLine(text, {"LAeq", fixed(s["laeq"], 1) + " dB"}));
    EXPECT_TRUE(onOneLine(text, {"Lmax", fixed(s["lmax"], 1) + " dB"}));
    EXPECT_TRUE(onOneLine(text, {"Lmin", fixed(s["lmin"], 1) + " dB"}));
    EXPECT_TRUE(onOneLine(text, {"LEX,8h", fixed(s["lex8h"], 1) + " dB"}));
    EXPECT_TRUE(onOneLine(text, {"Sound exposure", fixed(s["pa2h"], 4) + " Pa²h"}));
    EXPECT_TRUE(onOneLine(text, {"Exposure points", fixed(s["points"], 0)}));
    EXPECT_TRUE(onOneLine(text, {std::to_string(s["used"].get<int>()) + " used, " +
                                 std::to_string(s["excluded"].get<int>()) + " left out"}));
    for (const char* ln : {"L10", "L50", "L90"})
        EXPECT_TRUE(onOneLine(text, {ln, fixed(s["ln"][ln], 1) + " dB"}));

    ASSERT_EQ(s["standards"].size(), 9u);
    for (const json& st : s["standards"]) {
        const std::string name = st["name"];
        // Judged by hand: ISO/EU on LEX,8h; the others on the dose.
        const double dose = st["shift_dose"].get<double>();
        const double lex = s["lex8h"].get<double>();
        std::string verdict;
        if (name.rfind("ISO", 0) == 0)
            verdict = lex > 87    ? "above limit"
                      : lex >= 85 ? "above upper action"
                      : lex >= 80 ? "above lower action"
                                  : "below action";
        else if (name == "DOD" || name == "ACGIH")
            verdict = dose > 100 ? "above limit" : "below limit";
        else
            verdict = dose > 100 ? "above limit" : dose >= 50 ? "above action" : "below action";
        EXPECT_TRUE(onOneLine(text, {name, fixed(st["dose"], 2), fixed(st["twa"], 1), fixed(st["projected_dose"], 2),
                                     fixed(st["projected_twa"], 1), fixed(st["lavg"], 1), fixed(st["shift_dose"], 2),
                                     fixed(st["shift_twa"], 1), verdict}));
    }
    EXPECT_TRUE(onOneLine(text, {"OSHA-80, OSHA-90, MSHA-80, MSHA-90", "action at 50 %"}));

    ASSERT_EQ(s["exclusions"].size(), 1u);
    EXPECT_TRUE(
        onOneLine(text, {"1", "2026-12-01 10:00:00", "2026-12-01 10:30:00",
                         std::to_string(s["exclusions"][0]["readings"].get<int>()), "Badge left on the compressor"}));
    EXPECT_TRUE(onOneLine(text, {"1 Badge left"})); // the span's label on the chart
    EXPECT_TRUE(onOneLine(text, {"Hearing protection worn."}));
    EXPECT_TRUE(onOneLine(text, {"km740 ", "Made 20", "Page 1 of 2"}));
    EXPECT_EQ(pdfPages(pdf), 2);

    // The half hour left out is shaded where it lies on the chart: from
    // 10:00 to 10:30 of a chart from 08:00 to 12:00 across the page.
    const Shade shade = shadeOnFirstPage(pdf, dir.path());
    EXPECT_GT(shade.pixels, 400);
    EXPECT_GT(shade.middle, 0.52);
    EXPECT_LT(shade.middle, 0.63);

    auto plain = report({"-o", (dir / "plain.pdf").string(), "--no-analysis"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_LT(shadeOnFirstPage(dir / "plain.pdf", dir.path()).pixels, 20);
    EXPECT_TRUE(onOneLine(pdfText(dir / "plain.pdf"), {"Nothing was left out."}));
    EXPECT_EQ(pdfPages(dir / "plain.pdf"), 2);
}

TEST_F(ToolReport, EachLanguageHasItsWordsAndDecimalSign)
{
    struct Expect {
        const char* code;
        const char* title;
        const char* page;
        const char* standard;
        const char* belowAction; // OSHA-90's verdict: 9.13 % of the dose
    };
    const Expect languages[] = {
        {"en", "Noise exposure report", "Page 1 of 2", "Standard", "below action"},
        {"fr", "Rapport d'exposition au bruit", "Page 1 sur 2", "Norme", "sous la valeur d'action"},
        {"de", "Bericht zur Lärmexposition", "Seite 1 von 2", "Norm", "unter Auslösewert"},
        {"it", "Rapporto di esposizione al rumore", "Pagina 1 di 2", "Norma", "sotto il valore di azione"},
        {"pt", "Relatório de exposição ao ruído", "Página 1 de 2", "Norma", "abaixo do nível de ação"},
        {"es", "Informe de exposición al ruido", "Página 1 de 2", "Norma", "bajo el nivel de acción"},
    };
    auto exposure = runProgram(KM740_TOOL_PATH, {"exposure", (dir / "shift.sonx").string(), "--json"});
    const json s = json::parse(exposure.out);
    std::string laeq = fixed(s["laeq"], 1);
    for (const Expect& e : languages) {
        SCOPED_TRACE(e.code);
        const auto pdf = dir / (std::string(e.code) + ".pdf");
        auto r = report({"-o", pdf.string(), "--language", e.code});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::string text = pdfText(pdf);
        EXPECT_TRUE(onOneLine(text, {e.title}));
        EXPECT_TRUE(onOneLine(text, {e.page}));
        EXPECT_TRUE(onOneLine(text, {e.standard, "C/T/Q"}));
        std::string shown = laeq;
        if (std::string(e.code) != "en")
            shown[shown.find('.')] = ',';
        EXPECT_TRUE(onOneLine(text, {"LAeq", shown + " dB"}));
        EXPECT_TRUE(onOneLine(text, {"OSHA-90", e.belowAction}));
    }
}

TEST_F(ToolReport, FailuresSayWhatAndWriteNothing)
{
    ASSERT_TRUE(writeDataFile(dir / "dose.sonx", sampleDoseLogger()));
    auto dose = runProgram(KM740_TOOL_PATH, {"report", (dir / "dose.sonx").string(), "-o", (dir / "d.pdf").string()});
    EXPECT_NE(dose.exitCode, 0);
    EXPECT_NE(dose.err.find("dose.sonx"), std::string::npos) << dose.err;

    auto standard = report({"-o", (dir / "s.pdf").string(), "--standard", "NIOSH"});
    EXPECT_EQ(standard.exitCode, 2);
    EXPECT_NE(standard.err.find("NIOSH"), std::string::npos) << standard.err;

    auto folder = report({"-o", (dir / "no-such-folder" / "r.pdf").string()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.err.find("no-such-folder"), std::string::npos) << folder.err;

    auto chart = report({"-o", (dir / "c.pdf").string(), "--chart", (dir / "chart.gif").string()});
    EXPECT_EQ(chart.exitCode, 2);
    EXPECT_NE(chart.err.find(".png or .svg"), std::string::npos) << chart.err;

    auto language = report({"-o", (dir / "l.pdf").string(), "--language", "nl"});
    EXPECT_NE(language.exitCode, 0);

    for (const char* name : {"d.pdf", "s.pdf", "c.pdf", "l.pdf"})
        EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
    EXPECT_EQ(dir.entries(), 4u); // the data files, the analysis and the header text only

    auto saved = report({"-o", (dir / "r.pdf").string(), "--chart", (dir / "chart.svg").string()});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_NE(readBytes(dir / "chart.svg").find("<svg"), std::string::npos);
    auto png = report({"-o", (dir / "r.pdf").string(), "--chart", (dir / "chart.png").string()});
    ASSERT_EQ(png.exitCode, 0) << png.err;
    EXPECT_EQ(readBytes(dir / "chart.png").substr(1, 3), "PNG");
}

namespace {

// An archive holding Ana's weeks: 2026-W10 five days at 85 dB, 2026-W11 one
// day at 92 dB; and a report of a week from it.
class WeekReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!havePoppler())
            GTEST_SKIP() << "pdftotext is not installed";
        const char* days[] = {"2026/03/02", "2026/03/03", "2026/03/04", "2026/03/05", "2026/03/06", "2026/03/11"};
        for (const char* day : days) {
            const std::string name = std::string(day).substr(5, 2) + std::string(day).substr(8, 2) + ".sonx";
            ASSERT_TRUE(writeDataFile(dir / name, sampleShiftOn(day, day[9] == '1' ? "92.0" : "85.0")));
            const auto filed = runProgram(KM740_TOOL_PATH, {"archive", "--archive", (dir / "archive").string(), "add",
                                                            (dir / name).string(), "--person", "Ana Lima"});
            ASSERT_EQ(filed.exitCode, 0) << filed.err;
        }
    }

    ToolResult week(std::vector<std::string> more)
    {
        std::vector<std::string> args = {"report", "--archive", (dir / "archive").string(), "--paper", "a4"};
        args.insert(args.end(), more.begin(), more.end());
        return runProgram(KM740_TOOL_PATH, args);
    }

    TempFolder dir;
};

} // namespace

TEST_F(WeekReport, ThePageAddsUpTheDaysAsWorkedOutByHand)
{
    const auto pdf = dir / "w10.pdf";
    auto r = week({"--week", "2026-W10", "--person", "ana lima", "-o", pdf.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(pdfPages(pdf), 1);
    std::string text = pdfText(pdf);
    EXPECT_TRUE(onOneLine(text, {"Weekly noise exposure report"}));
    EXPECT_TRUE(onOneLine(text, {"Name", "Ana Lima"})); // as filed, not as asked
    EXPECT_TRUE(onOneLine(text, {"Week", "2026-W10"}));
    EXPECT_TRUE(onOneLine(text, {"2026-03-02", "85.0 dB", "100", "#1", "07:00", "0302.sonx", "above upper action"}));
    EXPECT_TRUE(onOneLine(text, {"2026-03-06", "85.0 dB", "100", "#5", "0306.sonx"}));
    EXPECT_TRUE(onOneLine(text, {"LEX,w", "Days worked", "Weekly points"}));
    EXPECT_TRUE(onOneLine(text, {"85.0 dB", "5", "500", "above upper action"}));
    EXPECT_TRUE(onOneLine(text, {"lower action at 80.0 dB"}));

    // One day at 92 dB spread over five nominal days: 85.0 dB, 501 points.
    r = week({"--week", "2026-W11", "--person", "Ana Lima", "-o", pdf.string(), "--language", "de"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    text = pdfText(pdf);
    EXPECT_TRUE(onOneLine(text, {"2026-03-11", "92,0 dB", "501", "#6", "0311.sonx", "über Grenzwert"}));
    EXPECT_TRUE(onOneLine(text, {"85,0 dB", "1", "501", "über oberem Auslösewert"}));

    // A week not worked is a page that says so.
    r = week({"--week", "2026-W12", "--person", "Ana Lima", "-o", pdf.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("No measurement of Ana Lima with a LEX,8h in week 2026-W12."), std::string::npos) << r.err;
    EXPECT_TRUE(onOneLine(pdfText(pdf), {"No measurement of Ana Lima with a LEX,8h in week 2026-W12."}));
}

TEST_F(WeekReport, RefusesWhatItCannotReportAndWritesNothing)
{
    const auto pdf = (dir / "w.pdf").string();
    const struct {
        std::vector<std::string> args;
        std::string says;
    } refused[] = {
        {{"--week", "2026-W54", "--person", "Ana Lima"}, "not an ISO week"},
        {{"--week", "2026-10", "--person", "Ana Lima"}, "not an ISO week"},
        {{"--week", "2026-W10", "--person", "Ana"}, "no measurement of Ana is filed"},
        {{"--week", "2026-W10"}, "--week and --person go together"},
        {{"--person", "Ana Lima"}, "--week and --person go together"},
        {{(dir / "0302.sonx").string(), "--week", "2026-W10", "--person", "Ana Lima"}, "not both"},
        {{"--week", "2026-W10", "--person", "Ana Lima", "--chart", (dir / "c.png").string()}, "data file"},
        {{}, "give a data file"},
    };
    for (const auto& r : refused) {
        std::vector<std::string> args = r.args;
        args.insert(args.end(), {"-o", pdf});
        const auto result = week(args);
        EXPECT_EQ(result.exitCode, 2) << r.says;
        EXPECT_NE(result.err.find(r.says), std::string::npos) << result.err;
    }
    const auto elsewhere = runProgram(KM740_TOOL_PATH, {"report", "--archive", (dir / "elsewhere").string(), "--week",
                                                        "2026-W10", "--person", "Ana Lima", "-o", pdf});
    EXPECT_EQ(elsewhere.exitCode, 2);
    EXPECT_NE(elsewhere.err.find("there is no archive"), std::string::npos) << elsewhere.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere")); // no archive started where there was none
    EXPECT_FALSE(std::filesystem::exists(pdf));
}
