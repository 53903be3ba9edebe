// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/WeekReport.h"

#include "core/archive/WeeklyExposure.h"
#include "core/common/NoValue.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace km740 {

namespace {

// The texts of a field, each once, in the order met.
std::string distinct(const std::vector<Measurement>& measurements, std::string MeasurementLabels::*field)
{
    std::vector<std::string> seen;
    for (const Measurement& m : measurements) {
        const std::string& text = m.labels.*field;
        if (!text.empty() && std::find(seen.begin(), seen.end(), text) == seen.end())
            seen.push_back(text);
    }
    std::string out;
    for (const std::string& s : seen)
        out += (out.empty() ? "" : ", ") + s;
    return out;
}

// "#12  07:00  shift.sonx", with the measurement's own LEX,8h when the day
// has more than one.
std::string measurementLine(const Measurement& m, bool withLevel, const Regional& regional)
{
    std::string line = "#" + std::to_string(m.id);
    if (m.facts.start)
        line += "  " + reportTime(*m.facts.start).substr(11, 5);
    line += "  " + m.fileName;
    if (withLevel)
        line += "  " + reportNumber(m.facts.lex8h, 1, regional) + " dB";
    return line;
}

// A level is judged as the page prints it: a day shown as 85.0 dB is at the
// upper action value even when its sum came out a hair below.
std::optional<double> asShown(std::optional<double> level)
{
    if (!level)
        return level;
    return std::round(*level * 10.0) / 10.0;
}

} // namespace

HeaderText weekLabels(const std::string& person, const std::vector<Measurement>& measurements)
{
    // The name as filed, rather than as typed in a search.
    const std::string& name = measurements.empty() ? person : measurements.front().labels.person;
    return {name, distinct(measurements, &MeasurementLabels::sector),
            distinct(measurements, &MeasurementLabels::company)};
}

WeekReportContent composeWeekReport(const WeekReportParts& parts)
{
    const Language lang = parts.language;
    const Regional regional = regionalOf(lang);
    auto w = [lang](Word x) { return std::string(word(lang, x)); };
    auto db = [&](std::optional<double> v) { return reportNumber(v, 1, regional) + " dB"; };
    const std::string week = isoWeekOf(parts.monday);

    WeekReportContent r;
    r.language = lang;
    r.title = w(Word::weekTitle);
    const HeaderText labels = parts.header.value_or(weekLabels(parts.person, parts.measurements));
    const std::pair<Word, const std::string*> who[] = {
        {Word::name, &labels.name}, {Word::sector, &labels.sector}, {Word::company, &labels.company}};
    for (const auto& [label, text] : who)
        if (!text->empty())
            r.who.push_back({w(label), *text});
    r.when.push_back({w(Word::isoWeek), week});
    r.when.push_back({w(Word::period), fillIn(word(lang, Word::periodValue),
                                              {isoDate(parts.monday), isoDate(parts.monday + std::chrono::days{6})})});

    const WeekExposure exposure = weekExposure(parts.measurements);
    const Regulation rule = weeklyRegulation();
    std::map<std::int64_t, const Measurement*> byId;
    for (const Measurement& m : parts.measurements)
        byId[m.id] = &m;

    r.daysTitle = w(Word::daysWorked);
    r.daysHeader = {w(Word::date), "LEX,8h", w(Word::points), w(Word::measurements), w(Word::judgement)};
    for (const WeekDay& d : exposure.days) {
        WeekDayLine line;
        std::string which;
        for (const std::int64_t id : d.ids)
            if (const auto it = byId.find(id); it != byId.end())
                which += (which.empty() ? "" : "\n") + measurementLine(*it->second, d.ids.size() > 1, regional);
        line.cells = {isoDate(d.day), db(d.lex8h), reportNumber(d.points, 0, regional), which};
        line.verdict = judgeValue(rule, asShown(d.lex8h));
        line.judgement = w(wordOf(line.verdict));
        r.days.push_back(std::move(line));
    }
    if (exposure.days.empty())
        r.noDays = fillIn(word(lang, Word::noDayWorked), {parts.person, week});
    std::string left;
    for (const Measurement& m : parts.measurements)
        if (!m.facts.lex8h || !m.facts.start)
            left += (left.empty() ? "" : "; ") + measurementLine(m, false, regional);
    if (!left.empty())
        r.notCounted = fillIn(word(lang, Word::notCounted), {left});

    r.weekTitle = w(Word::weeklyExposure);
    r.weekHeader = {"LEX,w", w(Word::daysWorked), w(Word::weekPoints), w(Word::judgement)};
    r.weekCells = {exposure.lexW ? db(exposure.lexW) : kNoValueText, std::to_string(exposure.days.size()),
                   exposure.lexW ? reportNumber(exposure.points, 0, regional) : kNoValueText};
    r.verdict = judgeValue(rule, asShown(exposure.lexW));
    r.judgement = w(wordOf(r.verdict));
    r.legend = {fillIn(word(lang, Word::legendWeek),
                       {db(rule.action.value_or(0)), db(rule.upperAction.value_or(0)), db(rule.limit)}),
                w(Word::weekFormula)};

    r.notesTitle = w(Word::notes);
    r.notes = parts.notes;
    r.signature = w(Word::signature);
    r.date = w(Word::date);
    r.pagePattern = w(Word::page);
    r.made = fillIn(word(lang, Word::made), {parts.madeAt});
    r.program = parts.program;
    return r;
}

} // namespace km740
