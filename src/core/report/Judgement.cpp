// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/Judgement.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string_view>

namespace km740 {

namespace {

bool named(const Standard& s, std::string_view name)
{
    return s.name.size() == name.size() && std::equal(name.begin(), name.end(), s.name.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           });
}

} // namespace

Regulation regulationOf(const Standard& standard)
{
    for (std::string_view n : {"OSHA-80", "OSHA-90", "MSHA-80", "MSHA-90"})
        if (named(standard, n))
            return {Basis::shiftDose, 50.0, std::nullopt, 100.0};
    if (named(standard, "DOD") || named(standard, "ACGIH"))
        return {Basis::shiftDose, std::nullopt, std::nullopt, 100.0};
    if (named(standard, "ISO85") || named(standard, "ISO90"))
        return weeklyRegulation();
    return {Basis::shiftDose, 50.0, std::nullopt, 100.0};
}

Regulation weeklyRegulation()
{
    return {Basis::lex8h, 80.0, 85.0, 87.0};
}

Verdict judge(const Regulation& regulation, const StandardExposure& result, std::optional<double> lex8h)
{
    return judgeValue(regulation, regulation.basis == Basis::lex8h ? lex8h : result.shiftDose);
}

Verdict judgeValue(const Regulation& regulation, std::optional<double> value)
{
    if (!value || !std::isfinite(*value))
        return Verdict::notJudged;
    if (*value > regulation.limit)
        return Verdict::aboveLimit;
    if (regulation.upperAction && *value >= *regulation.upperAction)
        return Verdict::aboveUpperAction;
    if (regulation.action && *value >= *regulation.action)
        return regulation.upperAction ? Verdict::aboveLowerAction : Verdict::aboveAction;
    return regulation.action ? Verdict::belowAction : Verdict::belowLimit;
}

int severityOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::aboveAction:
    case Verdict::aboveLowerAction: return 1;
    case Verdict::aboveUpperAction: return 2;
    case Verdict::aboveLimit: return 3;
    default: return 0;
    }
}

Word wordOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::notJudged: return Word::notJudged;
    case Verdict::belowAction: return Word::belowAction;
    case Verdict::belowLimit: return Word::belowLimit;
    case Verdict::aboveAction: return Word::aboveAction;
    case Verdict::aboveLowerAction: return Word::aboveLowerAction;
    case Verdict::aboveUpperAction: return Word::aboveUpperAction;
    case Verdict::aboveLimit: return Word::aboveLimit;
    }
    return Word::notJudged;
}

double levelOf(const Standard& standard, Basis basis, double value)
{
    if (basis == Basis::lex8h)
        return value;
    const double q = standard.exchangeRate / std::log10(2.0);
    return standard.criterion + q * std::log10(value / 100.0);
}

std::vector<LevelLine> levelLines(const std::vector<Standard>& standards)
{
    std::map<long, LevelLine> lines; // by tenths of a dB
    auto at = [&](double level) -> LevelLine& {
        const long key = std::lround(level * 10.0);
        LevelLine& line = lines[key];
        line.level = static_cast<double>(key) / 10.0;
        return line;
    };
    for (const Standard& s : standards) {
        const Regulation r = regulationOf(s);
        at(s.criterion).criterion = true;
        if (r.action)
            at(levelOf(s, r.basis, *r.action)).action = true;
        if (r.upperAction)
            at(levelOf(s, r.basis, *r.upperAction)).action = true;
        at(levelOf(s, r.basis, r.limit)).limit = true;
    }
    std::vector<LevelLine> out;
    for (const auto& [key, line] : lines)
        out.push_back(line);
    return out;
}

} // namespace km740
