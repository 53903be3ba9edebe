// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool's configuration commands: preset, user-presets, setup,
// recording, key. Input is checked whole before the meter is contacted; each
// then reads the meter, sends what the matching window sends (built by the
// same code) and reads back what it wrote.
#include "cli/PresetJson.h"
#include "cli/ToolInput.h"
#include "cli/ToolMeter.h"

#include "core/config/PresetRows.h"
#include "core/config/RecordingTexts.h"
#include "core/link/WriteCheck.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <variant>

namespace km740::cli {

namespace {

using nlohmann::json;
// Output keeps its keys in the order written, as the help shows them.
using Out = nlohmann::ordered_json;

constexpr const char* jsonHelp = R"(
JSON of the configuration commands:
  preset --json:        {"preset": 5, "name": "ACGIH"}
  user-presets --json:  {"preset": 12, "name": "User5", "user_presets": [
                           {"name": "User1", "time_weighting": "Fast", "frequency_weighting": "C",
                            "threshold": 75, "criterion": 85, "exchange_rate": 4, "peak": "Lcpk",
                            "range": "60-130", "average": "Lavg"}, ... nine in all]}
                        user-presets --set reads the same form: "user_presets" in User1..User9
                        order, a field left out keeps the meter's value, and "preset" (optional)
                        selects a preset as well.
  setup --json:         {"time_weighting": "Slow", "frequency_weighting": "A", "average": "Lavg",
                         "peak": "Llpk", "range": "70-140", "exchange_rate": 5, "settings": 128}
  recording --json:     {"interval": " 1 Min", "period": "Off", "repeat": "Always", "schedule": [
                           {"no": 1, "enabled": true, "start_date": "Any", "start_hour": "5",
                            "start_minute": "30", "stop_date": "12", "stop_hour": "23",
                            "stop_minute": "59"}, ... sixteen in all]}
  Texts are the windows' own, leading blanks included (" 1 Min"); a code the meter
  reports that no list holds shows as "code N", and is written back as it was.
  An unknown key, a wrong type or a value no list holds is refused.

Exit codes:
  0  done; a write was read back from the meter and is what was sent
  1  the meter did not answer, did not take a write, or a key press or start
     could not be confirmed from what it reports (the message says which)
  2  a value or option refused before the meter was contacted: nothing written
  3  the logger holds nothing to download)";

template <typename Run>
int withMeter(const ToolRun& run, Run&& body)
{
    auto opened = openMeter(run);
    if (auto* code = std::get_if<int>(&opened))
        return *code;
    return body(*std::get<std::unique_ptr<Meter>>(opened));
}

int refused(const std::string& message)
{
    return fail(exitUsage, "not written: " + message);
}

// A checked write that failed: the meter answered but did not take it (or
// could not show it took), or the meter or port went away.
int writeFailure(const Failure& f)
{
    return f.kind == FailureKind::protocol ? fail(exitFailure, f.message) : meterFailure(f);
}

// A row cell as JSON: a number where the text is a plain number.
Out cell(const std::string& text)
{
    if (!text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::stoi(text);
    return text;
}

// ---------------------------------------------------------------- preset / user-presets

// The window's OK: "Q" with the preset, "K" with the table its rows hold,
// then both read back.
int writePresets(Meter& meter, int preset, const UserPresetRows& rows)
{
    auto table = presetTableFromRows(rows);
    if (!table)
        return refused(table.error().message);
    if (auto s = writePresetsChecked(*meter.link, preset, *table); !s)
        return writeFailure(s.error());
    return exitOk;
}

int runPreset(const ToolRun& run, const std::string& set, bool asJson)
{
    std::optional<int> wanted;
    if (!set.empty()) {
        wanted = parsePreset(set);
        if (!wanted)
            return fail(exitUsage, "no preset \"" + set + "\": give 0..16 or a name such as ACGIH or User3");
    }
    return withMeter(run, [&](Meter& meter) -> int {
        auto now = meter.link->readPresets();
        if (!now)
            return meterFailure(now.error());
        int preset = now->presetIndex;
        if (wanted) {
            if (int rc = writePresets(meter, *wanted, presetRowsFromTable(now->table)); rc != exitOk)
                return rc;
            preset = *wanted;
        }
        if (asJson)
            std::cout << Out{{"preset", preset}, {"name", presetCaption(preset)}}.dump() << '\n';
        else
            std::cout << (wanted ? "Preset set to " : "Preset ") << preset << ' ' << presetCaption(preset) << '\n';
        return exitOk;
    });
}

Out rowsJson(int preset, const UserPresetRows& rows)
{
    Out list = Out::array();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        Out r{{"name", presetCaption(firstUserPreset + static_cast<int>(k))}};
        for (int c = 0; c < presetColumnCount; ++c)
            r[presetRowKeys[static_cast<std::size_t>(c)]] = cell(rows[k][static_cast<PresetColumn>(c)]);
        r["average"] = rows[k].average;
        list.push_back(r);
    }
    return Out{{"preset", preset}, {"name", presetCaption(preset)}, {"user_presets", list}};
}

int runUserPresets(const ToolRun& run, const std::string& file, bool asJson)
{
    // object -> "user_presets" list -> one preset: nothing nests deeper.
    constexpr int presetFileDepth = 3;
    std::optional<PresetEdits> edits;
    if (!file.empty()) {
        auto doc = readJsonFile(file, presetFileDepth);
        if (!doc)
            return fail(doc.error().kind == FailureKind::io ? exitFailure : exitUsage, doc.error().message);
        auto checked = presetEditsFromJson(*doc);
        if (!checked)
            return fail(exitUsage, file + ": " + checked.error().message);
        edits = *checked;
    }
    return withMeter(run, [&](Meter& meter) -> int {
        auto now = meter.link->readPresets();
        if (!now)
            return meterFailure(now.error());
        UserPresetRows rows = presetRowsFromTable(now->table);
        int preset = now->presetIndex;
        if (edits) {
            if (auto s = applyPresetEdits(*edits, rows, preset); !s)
                return fail(exitUsage, file + ": not written: " + s.error().message);
            if (int rc = writePresets(meter, preset, rows); rc != exitOk)
                return rc;
        }
        if (asJson) {
            std::cout << rowsJson(preset, rows).dump(2) << '\n';
            return exitOk;
        }
        std::cout << "Preset " << preset << ' ' << presetCaption(preset) << '\n'
                  << "Name   Time  Freq  Threshold  Criterion  Exchange  Peak  Range   Average\n";
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const PresetRow& r = rows[k];
            std::cout << std::left << std::setw(7) << presetCaption(firstUserPreset + static_cast<int>(k))
                      << std::setw(6) << r[PresetColumn::timeWeighting] << std::setw(6)
                      << r[PresetColumn::freqWeighting] << std::setw(11) << r[PresetColumn::threshold] << std::setw(11)
                      << r[PresetColumn::criterion] << std::setw(10) << r[PresetColumn::exchangeRate] << std::setw(6)
                      << r[PresetColumn::peak] << std::setw(8) << r[PresetColumn::range] << r.average << '\n';
        }
        return exitOk;
    });
}

// ---------------------------------------------------------------- setup

struct SetupOptions {
    std::string timeWeighting, freqWeighting, peak, range, exchangeRate;
    bool any() const
    {
        return !timeWeighting.empty() || !freqWeighting.empty() || !peak.empty() || !range.empty() ||
               !exchangeRate.empty();
    }
};

void printSettings(std::uint8_t settings, bool asJson)
{
    const MeterSettings m = DecodeSettings(settings, 0, 0);
    if (asJson) {
        std::cout << Out{{"time_weighting", m.timeWeightingText},
                         {"frequency_weighting", m.freqWeightingText},
                         {"average", m.averageText},
                         {"peak", m.peakText},
                         {"range", rangeText(m.rangeTop)},
                         {"exchange_rate", m.exchangeRate},
                         {"settings", settings}}
                         .dump()
                  << '\n';
        return;
    }
    std::cout << "Time Weight      " << m.timeWeightingText << '\n'
              << "Frequency Weight " << m.freqWeightingText << '\n'
              << "Average          " << m.averageText << '\n'
              << "Peak             " << m.peakText << '\n'
              << "Range            " << rangeText(m.rangeTop) << '\n'
              << "Exchange Rate    " << m.exchangeRate << '\n';
}

// Each given value must be one the meter setup window lists ("Imp", the
// meter's own impulse setting, may be written back too).
Status checkSetupOptions(const SetupOptions& o)
{
    const std::array<std::pair<PresetColumn, const std::string*>, 5> given{{
        {PresetColumn::timeWeighting, &o.timeWeighting},
        {PresetColumn::freqWeighting, &o.freqWeighting},
        {PresetColumn::peak, &o.peak},
        {PresetColumn::range, &o.range},
        {PresetColumn::exchangeRate, &o.exchangeRate},
    }};
    for (const auto& [column, text] : given) {
        const auto& items = meterSetupItems(column);
        if (text->empty() || isKnownText(column, *text))
            continue;
        std::string list;
        for (const std::string& item : items)
            list += (list.empty() ? "" : ", ") + item;
        return failure(FailureKind::data,
                       "the " + std::string(presetColumnName(column)) + " \"" + *text + "\" is not one of " + list);
    }
    return success();
}

int runSetup(const ToolRun& run, const SetupOptions& o, bool asJson)
{
    if (auto s = checkSetupOptions(o); !s)
        return refused(s.error().message);
    return withMeter(run, [&](Meter& meter) -> int {
        const Regional regional = userRegional();
        auto poll = meter.link->livePoll(regional);
        if (!poll)
            return meterFailure(poll.error());
        std::uint8_t settings = poll->frame.settings;
        if (o.any()) {
            // The window's combos as the last poll filled them, with the
            // user's picks; the average mode stays the meter's.
            PresetRow row = presetRowFromSettings(DecodeSettings(settings, 0, 0), 80, 85);
            auto pick = [](std::string& cellText, const std::string& option) {
                if (!option.empty())
                    cellText = option;
            };
            pick(row[PresetColumn::timeWeighting], o.timeWeighting);
            pick(row[PresetColumn::freqWeighting], o.freqWeighting);
            pick(row[PresetColumn::peak], o.peak);
            pick(row[PresetColumn::range], o.range);
            pick(row[PresetColumn::exchangeRate], o.exchangeRate);
            auto byte = settingsByteFromRow(row);
            if (!byte)
                return refused(byte.error().message);
            // Read back: the meter shows what it now measures with.
            if (auto s = writeSettingsChecked(*meter.link, *byte); !s)
                return writeFailure(s.error());
            settings = *byte;
        }
        printSettings(settings, asJson);
        return exitOk;
    });
}

// ---------------------------------------------------------------- recording

struct RecordingOptions {
    std::string interval, period, repeat, enable, start;
    std::vector<std::string> entries;
    bool writes() const
    {
        return !interval.empty() || !period.empty() || !repeat.empty() || !enable.empty() || !entries.empty();
    }
};

std::vector<std::string> splitList(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    if (!text.empty() && text.back() == sep)
        parts.emplace_back();
    return parts;
}

Failure notOneOf(const std::string& option, const std::string& text, const std::vector<std::string>& items)
{
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "\"" : "\", \"") + item;
    return failure(FailureKind::data, option + " \"" + text + "\" is not one of " + list + "\"");
}

// Puts the options over the texts. Every value must be one the window
// lists; the same check runs before the meter is contacted.
Status applyRecordingOptions(const RecordingOptions& o, RecordingTexts& t)
{
    auto pick = [](const std::string& option, const std::string& text, const std::vector<std::string>& items,
                   std::string& into) -> Status {
        if (text.empty())
            return success();
        if (std::find(items.begin(), items.end(), text) == items.end())
            return notOneOf(option, text, items);
        into = text;
        return success();
    };
    if (auto s = pick("--interval", o.interval, intervalItems(), t.interval); !s)
        return s;
    if (auto s = pick("--period", o.period, periodItems(), t.period); !s)
        return s;
    if (auto s = pick("--repeat", o.repeat, repeatItems(), t.repeat); !s)
        return s;
    const auto count = static_cast<long long>(TimedTable::count);
    if (!o.enable.empty()) {
        for (auto& row : t.rows)
            row.enabled = false;
        if (o.enable != "none")
            for (const std::string& n : splitList(o.enable, ',')) {
                const auto i = wholeNumber(n, 1, count);
                if (!i)
                    return failure(FailureKind::data, "--enable takes numbers 1..16 or none, not \"" + n + "\"");
                t.rows[static_cast<std::size_t>(*i - 1)].enabled = true;
            }
    }
    for (const std::string& e : o.entries) {
        const auto eq = e.find('=');
        const auto i = wholeNumber(std::string_view(e).substr(0, eq), 1, count);
        const auto fields = eq == std::string::npos ? std::vector<std::string>{} : splitList(e.substr(eq + 1), ',');
        if (!i || fields.size() != static_cast<std::size_t>(scheduleFieldCount))
            return failure(FailureKind::data,
                           "--entry takes N=date,hour,minute,date,hour,minute with N 1..16, not \"" + e + "\"");
        for (int f = 0; f < scheduleFieldCount; ++f) {
            const auto field = static_cast<ScheduleField>(f);
            const std::string& text = fields[static_cast<std::size_t>(f)];
            if (!isScheduleText(field, text))
                return notOneOf("--entry " + std::to_string(*i) + ": the field", text, scheduleFieldItems(field));
            t.rows[static_cast<std::size_t>(*i - 1)].cells[static_cast<std::size_t>(f)] = text;
        }
    }
    return success();
}

void printRecording(const RecordingTexts& t, bool asJson)
{
    if (asJson) {
        Out rows = Out::array();
        constexpr std::array<const char*, scheduleFieldCount> keys{"start_date", "start_hour", "start_minute",
                                                                   "stop_date",  "stop_hour",  "stop_minute"};
        for (std::size_t i = 0; i < t.rows.size(); ++i) {
            Out r{{"no", i + 1}, {"enabled", t.rows[i].enabled}};
            for (std::size_t f = 0; f < keys.size(); ++f)
                r[keys[f]] = t.rows[i].cells[f];
            rows.push_back(r);
        }
        std::cout << Out{{"interval", t.interval}, {"period", t.period}, {"repeat", t.repeat}, {"schedule", rows}}.dump(
                         2)
                  << '\n';
        return;
    }
    std::cout << "Interval  \"" << t.interval << "\"\n"
              << "Period    \"" << t.period << "\"\n"
              << "Repeat    " << t.repeat << '\n'
              << "No  Enable  Start date hour minute   Stop date hour minute\n";
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
        const auto& c = t.rows[i].cells;
        std::cout << std::left << std::setw(4) << i + 1 << std::setw(8) << (t.rows[i].enabled ? "yes" : "no")
                  << std::setw(11) << c[0] << std::setw(5) << c[1] << std::setw(12) << c[2] << std::setw(10) << c[3]
                  << std::setw(5) << c[4] << c[5] << '\n';
    }
}

int runRecording(const ToolRun& run, const RecordingOptions& o, bool asJson)
{
    if (!o.start.empty() && o.start != "plain" && o.start != "limited" && o.start != "schedule")
        return fail(exitUsage, "--start takes plain, limited or schedule");
    if (RecordingTexts check; !applyRecordingOptions(o, check))
        return fail(exitUsage, applyRecordingOptions(o, check).error().message);
    const auto start = o.start == "plain"      ? std::optional(RecordingStart::plain)
                       : o.start == "limited"  ? std::optional(RecordingStart::limited)
                       : o.start == "schedule" ? std::optional(RecordingStart::schedule)
                                               : std::nullopt;
    // What a start sequence does not write itself is written by Setup first.
    const bool beyondStart = start == RecordingStart::plain
                                 ? !o.period.empty() || !o.repeat.empty() || !o.enable.empty() || !o.entries.empty()
                             : start == RecordingStart::limited
                                 ? !o.repeat.empty() || !o.enable.empty() || !o.entries.empty()
                             : start == RecordingStart::schedule ? false
                                                                 : o.writes();
    return withMeter(run, [&](Meter& meter) -> int {
        auto read = readRecordingSettings(*meter.link);
        if (!read)
            return meterFailure(read.error());
        RecordingTexts t = recordingTextsFrom(*read);
        if (auto s = applyRecordingOptions(o, t); !s)
            return fail(exitUsage, s.error().message);
        // The window offers each start only in its mode.
        if (start == RecordingStart::limited && scheduleInUse(t))
            return fail(exitUsage, "a limited recording needs a period (--period), not \"Off\"");
        if (start == RecordingStart::schedule && !scheduleInUse(t))
            return fail(exitUsage, "the schedule starts only with the period \"Off\"");
        auto setup = recordingSetupFrom(t);
        if (!setup)
            return refused(setup.error().message);
        if (beyondStart)
            if (auto s = writeRecordingSetupChecked(*meter.link, *setup); !s)
                return writeFailure(s.error());
        if (start)
            if (auto s = startRecordingChecked(*meter.link, *start, *setup); !s)
                return writeFailure(s.error());
        printRecording(t, asJson);
        if (start)
            std::cout << "Recording started (" << o.start << ")\n";
        return exitOk;
    });
}

// ---------------------------------------------------------------- key

int runKey(const ToolRun& run, const std::string& name)
{
    static const std::array<std::pair<const char*, Key>, 6> keys{{{"up", Key::up},
                                                                  {"down", Key::down},
                                                                  {"left", Key::left},
                                                                  {"right", Key::right},
                                                                  {"enter", Key::enter},
                                                                  {"menu", Key::menu}}};
    const auto it = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return name == k.first; });
    if (it == keys.end())
        return fail(exitUsage, "no key \"" + name + "\": give up, down, left, right, enter or menu");
    return withMeter(run, [&](Meter& meter) -> int {
        // A key reads nothing back: the display copy before and after shows it took.
        if (auto s = pressKeyChecked(*meter.link, it->second); !s)
            return writeFailure(s.error());
        std::cout << "Pressed " << name << '\n';
        return exitOk;
    });
}

} // namespace

void addConfigCommands(CLI::App& app, ToolRun& run)
{
    app.footer(app.get_footer() + jsonHelp);

    auto* preset = app.add_subcommand("preset", "Read the meter's dose preset (\"R\"), or select one");
    preset->fallthrough();
    auto presetSet = std::make_shared<std::string>();
    auto presetJson = std::make_shared<bool>(false);
    preset->add_option("--set", *presetSet, "Preset to select: 0..16 or a name (OSHA-80 .. ISO90, User1 .. User9)");
    preset->add_flag("--json", *presetJson, "Print one JSON object");
    preset->callback([&run, presetSet, presetJson] {
        run.action = [&run, presetSet, presetJson] { return runPreset(run, *presetSet, *presetJson); };
    });

    auto* users = app.add_subcommand("user-presets", "Read the nine user presets (\"C\"), or write them");
    users->fallthrough();
    auto usersFile = std::make_shared<std::string>();
    auto usersJson = std::make_shared<bool>(false);
    users->add_option("--set", *usersFile, "JSON file of user presets to write (the --json form)");
    users->add_flag("--json", *usersJson, "Print JSON");
    users->callback([&run, usersFile, usersJson] {
        run.action = [&run, usersFile, usersJson] { return runUserPresets(run, *usersFile, *usersJson); };
    });

    auto* setup = app.add_subcommand("setup", "Read the meter's measurement settings, or change them (\"_\")");
    setup->fallthrough();
    auto so = std::make_shared<SetupOptions>();
    auto setupJson = std::make_shared<bool>(false);
    setup->add_option("--time-weighting", so->timeWeighting, "Fast or Slow");
    setup->add_option("--frequency-weighting", so->freqWeighting, "A or C");
    setup->add_option("--peak", so->peak, "Lcpk or Llpk");
    setup->add_option("--range", so->range, "60-130 or 70-140");
    setup->add_option("--exchange-rate", so->exchangeRate, "3, 4, 5 or 6");
    setup->add_flag("--json", *setupJson, "Print one JSON object");
    setup->callback(
        [&run, so, setupJson] { run.action = [&run, so, setupJson] { return runSetup(run, *so, *setupJson); }; });

    auto* rec = app.add_subcommand("recording", "Read the recording settings and schedule, write them, or start "
                                                "the meter recording");
    rec->fallthrough();
    auto ro = std::make_shared<RecordingOptions>();
    auto recJson = std::make_shared<bool>(false);
    rec->add_option("--interval", ro->interval, "Logging interval, as listed: \" 1 Sec\" .. \"60 Min\"");
    rec->add_option("--period", ro->period, "Single recording period: \"Off\", \" 5 Min\" .. \"24 Hour\"");
    rec->add_option("--repeat", ro->repeat, "Schedule repeat count: Always or 0..19");
    rec->add_option("--enable", ro->enable, "Schedule entries enabled, e.g. 1,16, or none");
    rec->add_option("--entry", ro->entries,
                    "A schedule entry: N=date,hour,minute,date,hour,minute (date Any or 1..31)");
    rec->add_option("--start", ro->start, "Start recording: plain, limited or schedule");
    rec->add_flag("--json", *recJson, "Print JSON");
    rec->callback(
        [&run, ro, recJson] { run.action = [&run, ro, recJson] { return runRecording(run, *ro, *recJson); }; });

    auto* key = app.add_subcommand("key", "Press one of the meter's keys");
    key->fallthrough();
    auto keyName = std::make_shared<std::string>();
    key->add_option("key", *keyName, "up, down, left, right, enter or menu")->required();
    key->callback([&run, keyName] { run.action = [&run, keyName] { return runKey(run, *keyName); }; });
}

} // namespace km740::cli
