// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/ExposureAnalysis.h"

#include "core/common/AtomicFile.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

namespace km740 {

namespace {

using json = nlohmann::json;

constexpr const char* kFormat = "km740-exposure-analysis";
constexpr int kVersion = 1;
// An analysis file is a few lines; anything far bigger is not one.
constexpr std::uintmax_t kMaxBytes = 1 << 20;

Failure bad(const std::string& what)
{
    return failure(FailureKind::data, "not a usable analysis file: " + what);
}

} // namespace

std::filesystem::path analysisPathFor(const std::filesystem::path& dataFile)
{
    std::filesystem::path p = dataFile;
    p += ".km740a";
    return p;
}

std::string analysisText(const ExposureOptions& o, const std::string& dataFileName)
{
    json spans = json::array();
    for (const TimeSpan& s : o.exclusions) {
        json span = {{"from", formatLocalTime(s.from)}, {"to", formatLocalTime(s.to)}};
        if (const std::string reason = reasonFor(o, s); !reason.empty())
            span["reason"] = reason;
        spans.push_back(std::move(span));
    }
    json doc = {
        {"format", kFormat},         {"version", kVersion},
        {"data_file", dataFileName}, {"standards", o.standards},
        {"exclusions", spans},       {"exposure_seconds", o.exposureSeconds ? json(*o.exposureSeconds) : json(nullptr)},
        {"above", o.aboveLevel},
    };
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

Result<ExposureOptions> parseAnalysis(const std::string& text)
{
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        return bad("it is not JSON text holding an object");
    if (doc.value("format", json()) != kFormat)
        return bad("\"format\" is not \"" + std::string(kFormat) + "\"");
    const json version = doc.value("version", json());
    if (!version.is_number_integer() || version.get<long long>() > kVersion)
        return bad("version " + version.dump() + " is not one this program reads");

    ExposureOptions o;
    if (auto it = doc.find("standards"); it != doc.end()) {
        if (!it->is_array())
            return bad("\"standards\" is not a list");
        for (const json& name : *it) {
            if (!name.is_string())
                return bad("a standard is not a text");
            auto s = standardNamed(name.get<std::string>(), DoseParameters{});
            if (!s)
                return bad(s.error().message);
            o.standards.push_back(name.get<std::string>());
        }
    }
    if (auto it = doc.find("exclusions"); it != doc.end()) {
        if (!it->is_array())
            return bad("\"exclusions\" is not a list");
        for (const json& span : *it) {
            if (!span.is_object() || !span.contains("from") || !span.contains("to") || !span["from"].is_string() ||
                !span["to"].is_string())
                return bad("an exclusion is not {\"from\": time, \"to\": time}");
            auto from = parseLocalTime(span["from"].get<std::string>());
            auto to = parseLocalTime(span["to"].get<std::string>());
            if (!from || !to)
                return bad("the exclusion " + span.dump() + " has a time that is no date and time");
            o.exclusions.push_back({*from, *to});
            if (auto reason = span.find("reason"); reason != span.end() && !reason->is_null()) {
                if (!reason->is_string())
                    return bad("the reason of the exclusion " + span.dump() + " is not a text");
                if (!reason->get<std::string>().empty())
                    o.reasons[{*from, *to}] = reason->get<std::string>();
            }
        }
        auto checked = checkExclusions(o.exclusions);
        if (!checked)
            return bad(checked.error().message);
        o.exclusions = std::move(*checked);
    }
    if (auto it = doc.find("exposure_seconds"); it != doc.end() && !it->is_null()) {
        if (!it->is_number() || !(it->get<double>() > 0.0))
            return bad("\"exposure_seconds\" is not a positive number");
        o.exposureSeconds = it->get<double>();
    }
    if (auto it = doc.find("above"); it != doc.end()) {
        if (!it->is_number() || !(it->get<double>() >= 0.0 && it->get<double>() <= 200.0))
            return bad("\"above\" is not a level from 0 to 200 dB");
        o.aboveLevel = it->get<double>();
    }
    return o;
}

Result<ExposureOptions> readAnalysis(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return failure(FailureKind::io, path.string() + ": " + ec.message());
    if (size > kMaxBytes)
        return failure(FailureKind::data, path.string() + ": not a usable analysis file: it is far too big");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failure(FailureKind::io, path.string() + ": cannot be read");
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    auto options = parseAnalysis(text);
    if (!options)
        return failure(options.error().kind, path.string() + ": " + options.error().message);
    return options;
}

Result<std::optional<ExposureOptions>> readAnalysisBeside(const std::filesystem::path& dataFile)
{
    const std::filesystem::path path = analysisPathFor(dataFile);
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return std::optional<ExposureOptions>();
    if (ec)
        return failure(FailureKind::io, path.string() + ": " + ec.message());
    auto options = readAnalysis(path);
    if (!options)
        return options.error();
    return std::optional<ExposureOptions>(std::move(*options));
}

Status writeAnalysis(const std::filesystem::path& path, const ExposureOptions& options, const std::string& dataFileName)
{
    return writeFileAtomically(path, analysisText(options, dataFileName));
}

} // namespace km740
