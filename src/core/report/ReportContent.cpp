// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/ReportContent.h"

#include "core/common/NoValue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace km740 {

std::string reportNumber(std::optional<double> value, int decimals, const Regional& regional)
{
    if (!value || !std::isfinite(*value))
        return kNoValueText;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    std::string out = text;
    for (char& c : out)
        if (c == '.')
            c = regional.decimal;
    return out;
}

std::string reportDuration(double seconds)
{
    const auto s = static_cast<long long>(std::llround(std::max(0.0, seconds)));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string reportTime(LocalSeconds t)
{
    std::string text = formatLocalTime(t);
    if (text.size() > 10 && text[10] == 'T')
        text[10] = ' ';
    return text;
}

namespace {

struct Composer {
    const ReportParts& p;
    Language lang = p.language;
    Regional regional = regionalOf(p.language);

    std::string w(Word x) const { return std::string(word(lang, x)); }
    std::string db(std::optional<double> v) const { return reportNumber(v, 1, regional) + " dB"; }

    void head(ReportContent& r) const
    {
        r.title = w(Word::title);
        if (p.header) {
            const std::pair<Word, const std::string*> who[] = {
                {Word::name, &p.header->name}, {Word::sector, &p.header->sector}, {Word::company, &p.header->company}};
            for (const auto& [label, text] : who)
                if (!text->empty())
                    r.who.push_back({w(label), *text});
        }
        const ExposureSummary& s = p.summary;
        r.measurement.push_back({w(Word::dataFile), p.fileName});
        if (s.firstTime && s.lastTime) {
            const double end = static_cast<double>(*s.lastTime) + s.intervalSeconds;
            r.measurement.push_back({w(Word::start), reportTime(*s.firstTime)});
            r.measurement.push_back({w(Word::end), reportTime(static_cast<LocalSeconds>(std::llround(end)))});
            r.measurement.push_back({w(Word::duration), reportDuration(end - static_cast<double>(*s.firstTime))});
        }
        std::string level = p.settings.calibratedDb;
        if (!level.empty() && level.find("dB") == std::string::npos)
            level += " dB";
        std::string calibration = p.settings.calibratedTime;
        if (!level.empty())
            calibration += (calibration.empty() ? "" : ", ") + level;
        r.measurement.push_back({w(Word::calibration), calibration});

        r.settingsTitle = w(Word::instrument);
        const Word titles[] = {Word::calibratedDb,   Word::timeWeight,     Word::freqWeight,
                               Word::thresholdLevel, Word::criterionLevel, Word::exchangeRate,
                               Word::peak,           Word::range,          Word::calibratedTime};
        const auto values = p.settings.fields();
        for (std::size_t i = 0; i < values.size(); ++i)
            r.settings.push_back({w(titles[i]), *values[i]});
    }

    void overall(ReportContent& r) const
    {
        const ExposureSummary& s = p.summary;
        r.summaryTitle = w(Word::summary);
        auto count = [](std::uint64_t n) { return std::to_string(n); };
        r.overall = {
            {w(Word::readings), fillIn(word(lang, Word::readingsValue), {count(s.used), count(s.excluded)})},
            {w(Word::measuredTime), reportDuration(s.measuredSeconds)},
            {w(Word::exposureTime), reportDuration(s.exposureSeconds) + " (" +
                                        w(p.exposureTimeSet ? Word::exposureTimeSet : Word::exposureTimeMeasured) +
                                        ")"},
            {"LAeq", db(s.laeq)},
            {"Lmax", db(s.lmax)},
            {"Lmin", db(s.lmin)},
            {"SEL", db(s.sel)},
            {"LEX,8h", db(s.lex8h)},
            {w(Word::soundExposure), reportNumber(s.pa2h, 4, regional) + " Pa²h"},
            {w(Word::exposurePoints), reportNumber(s.points, 0, regional)},
            {fillIn(word(lang, Word::timeAbove), {reportNumber(s.aboveLevel, 1, regional)}),
             reportDuration(s.aboveSeconds)},
        };
        for (std::size_t i = 0; i < kLnPercents.size(); ++i)
            if (kLnPercents[i] == 10 || kLnPercents[i] == 50 || kLnPercents[i] == 90)
                r.overall.push_back({"L" + std::to_string(kLnPercents[i]), db(s.ln[i])});
    }

    void standards(ReportContent& r) const
    {
        r.standardsHeader = {
            w(Word::standard),     "C/T/Q",       w(Word::dosePercent), w(Word::twa),      w(Word::projectedDose),
            w(Word::projectedTwa), w(Word::lavg), w(Word::shiftDose),   w(Word::shiftTwa), w(Word::judgement)};
        auto n = [&](std::optional<double> v, int decimals) { return reportNumber(v, decimals, regional); };
        for (const StandardExposure& e : p.summary.standards) {
            StandardLine line;
            line.cells = {e.standard.name, standardRule(e.standard), n(e.dose, 2),
                          n(e.twa, 1),     n(e.projectedDose, 2),    n(e.projectedTwa, 1),
                          n(e.lavg, 1),    n(e.shiftDose, 2),        n(e.shiftTwa, 1)};
            line.verdict = judge(regulationOf(e.standard), e, p.summary.lex8h);
            line.judgement = w(wordOf(line.verdict));
            r.standards.push_back(std::move(line));
        }
        legend(r);
    }

    // One sentence per regulation (and, for dose rules, per criterion and
    // exchange rate, which set the levels the values stand for).
    void legend(ReportContent& r) const
    {
        struct Group {
            Regulation regulation;
            const Standard* first = nullptr;
            std::string names;
        };
        std::vector<Group> groups;
        for (const StandardExposure& e : p.summary.standards) {
            const Regulation reg = regulationOf(e.standard);
            auto same = [&](const Group& g) {
                return g.regulation == reg &&
                       (reg.basis == Basis::lex8h || (g.first->criterion == e.standard.criterion &&
                                                      g.first->exchangeRate == e.standard.exchangeRate));
            };
            auto it = std::find_if(groups.begin(), groups.end(), same);
            if (it == groups.end()) {
                groups.push_back({reg, &e.standard, e.standard.name});
            } else {
                it->names += ", " + e.standard.name;
            }
        }
        for (const Group& g : groups) {
            const Regulation& reg = g.regulation;
            auto dose = [&](double v) {
                return reportNumber(v, 0, regional) + " % (" + db(levelOf(*g.first, reg.basis, v)) + ")";
            };
            if (reg.basis == Basis::lex8h) {
                r.legend.push_back(
                    fillIn(word(lang, Word::legendLex),
                           {g.names, db(reg.action.value_or(0)), db(reg.upperAction.value_or(0)), db(reg.limit)}));
            } else if (reg.action) {
                r.legend.push_back(fillIn(word(lang, Word::legendDose), {g.names, dose(*reg.action), dose(reg.limit)}));
            } else {
                r.legend.push_back(fillIn(word(lang, Word::legendLimit), {g.names, dose(reg.limit)}));
            }
        }
    }

    std::string reasonOf(const TimeSpan& span) const
    {
        const auto it = p.reasons.find({span.from, span.to});
        return it == p.reasons.end() ? std::string() : it->second;
    }

    void chart(ReportContent& r) const
    {
        std::vector<Standard> chosen;
        for (const StandardExposure& e : p.summary.standards)
            chosen.push_back(e.standard);
        const std::vector<LevelLine> lines = levelLines(chosen);
        std::vector<double> inView;
        for (const LevelLine& l : lines)
            inView.push_back(l.level);
        r.chart = p.readings.reduce(kChartColumns, p.summary.intervalSeconds, inView);
        r.chart.title = w(Word::timeHistory);
        r.chart.timeAxis = w(Word::clockTime);
        r.chart.levelAxis = "dB";
        for (const LevelLine& l : lines) {
            if (l.level < r.chart.levelMin || l.level > r.chart.levelMax)
                continue;
            std::string label = reportNumber(l.level, 1, regional) + " dB";
            const char* sep = " ";
            auto add = [&](bool on, Word x) {
                if (on) {
                    label += sep + w(x);
                    sep = ", ";
                }
            };
            add(l.criterion, Word::criterionLine);
            add(l.action, Word::actionLine);
            add(l.limit, Word::limitLine);
            const auto kind = l.limit       ? ChartLine::Kind::limit
                              : l.criterion ? ChartLine::Kind::criterion
                                            : ChartLine::Kind::action;
            r.chart.lines.push_back({l.level, std::move(label), kind});
        }
        for (std::size_t i = 0; i < p.summary.exclusions.size(); ++i) {
            const TimeSpan& span = p.summary.exclusions[i].span;
            std::string label = std::to_string(i + 1);
            if (const std::string reason = reasonOf(span); !reason.empty())
                label += " " + reason;
            const double from = std::max(0.0, static_cast<double>(span.from - r.chart.from));
            const double to = std::min(r.chart.spanSeconds, static_cast<double>(span.to - r.chart.from));
            if (to > from)
                r.chart.excluded.push_back({from, to, std::move(label)});
        }
    }

    void histogram(ReportContent& r) const
    {
        ReportHistogram& h = r.histogram;
        h.title = w(Word::distribution);
        h.levelAxis = "dB";
        h.shareAxis = w(Word::percentOfTime);
        h.lnCaption = w(Word::lnCaption);
        const auto low = p.used.lowestBin(Resolution::whole);
        const auto high = p.used.highestBin(Resolution::whole);
        if (low && high) {
            const auto& counts = p.used.counts(Resolution::whole);
            double total = 0.0;
            for (std::size_t b = *low; b <= *high; ++b)
                total += static_cast<double>(counts[b]);
            h.firstLevel = LevelDistribution::binLevel(Resolution::whole, *low);
            for (std::size_t b = *low; b <= *high; ++b)
                h.percent.push_back(100.0 * static_cast<double>(counts[b]) / total);
        }
        for (std::size_t i = 0; i < kLnPercents.size(); ++i)
            h.ln.push_back({"L" + std::to_string(kLnPercents[i]), reportNumber(p.summary.ln[i], 1, regional)});
    }

    void exclusions(ReportContent& r) const
    {
        r.exclusionsTitle = w(Word::exclusions);
        r.exclusionsHeader = {"", w(Word::from), w(Word::to), w(Word::readings), w(Word::reason)};
        r.nothingExcluded = w(Word::nothingExcluded);
        for (std::size_t i = 0; i < p.summary.exclusions.size(); ++i) {
            const ExclusionCount& e = p.summary.exclusions[i];
            r.exclusions.push_back({std::to_string(i + 1), reportTime(e.span.from), reportTime(e.span.to),
                                    std::to_string(e.readings), reasonOf(e.span)});
        }
    }
};

} // namespace

ReportContent composeReport(const ReportParts& parts)
{
    const Composer c{parts};
    ReportContent r;
    r.language = parts.language;
    c.head(r);
    c.chart(r);
    c.overall(r);
    c.standards(r);
    c.histogram(r);
    c.exclusions(r);
    r.notesTitle = c.w(Word::notes);
    r.notes = parts.notes;
    r.signature = c.w(Word::signature);
    r.date = c.w(Word::date);
    r.pagePattern = c.w(Word::page);
    r.made = fillIn(word(parts.language, Word::made), {parts.madeAt});
    r.program = parts.program;
    return r;
}

} // namespace km740
