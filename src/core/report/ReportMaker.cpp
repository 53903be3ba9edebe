// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/ReportMaker.h"

#include "core/files/DataFileReader.h"
#include "core/lists/ExposureHistory.h"

namespace km740 {

namespace {

// Keeps the header of a file and stops the read there.
class HeaderOnly : public DataFileSink {
public:
    bool header(const DataFileHeader& header) override
    {
        header_ = header;
        return false;
    }
    bool levelRecord(const LevelRecord&) override { return false; }
    const std::optional<DataFileHeader>& result() const { return header_; }

private:
    std::optional<DataFileHeader> header_;
};

// Lets the summary read the file and sees every reading as it passes.
class WatchedHistory : public LevelHistory {
public:
    WatchedHistory(const LevelHistory& inner, std::function<void(const LevelReading&)> watch)
        : inner_(inner), watch_(std::move(watch))
    {
    }
    Status read(const StartHandler& start, const ReadingHandler& reading) const override
    {
        return inner_.read(start, [&](const LevelReading& r) {
            watch_(r);
            return reading(r);
        });
    }

private:
    const LevelHistory& inner_;
    std::function<void(const LevelReading&)> watch_;
};

} // namespace

ReportRequest requestFor(const std::filesystem::path& dataFile)
{
    ReportRequest r;
    r.dataFile = dataFile;
    return r;
}

Result<ReportParts> readReport(const ReportRequest& request, const std::function<void(std::int64_t)>& progress,
                               const std::atomic<bool>* cancel)
{
    HeaderOnly head;
    (void)readDataFile(request.dataFile, head);
    if (!head.result())
        return failure(FailureKind::io, "cannot read " + request.dataFile.string());

    const auto spans = checkExclusions(request.options.exclusions);
    const std::vector<TimeSpan> excluded = spans ? *spans : std::vector<TimeSpan>{};

    ReportParts parts;
    const FileHistory file(request.dataFile, progress, cancel);
    const WatchedHistory watched(file, [&](const LevelReading& r) {
        parts.readings.add(r.time, r.level);
        if (r.level && !(r.time && spanHolding(excluded, *r.time)))
            parts.used.addLevel(*r.level);
    });
    auto summary = summarizeExposure(watched, request.options);
    if (!summary)
        return summary.error();

    parts.language = request.language;
    parts.fileName = request.dataFile.filename().string();
    parts.kind = head.result()->kind;
    parts.settings = head.result()->settings;
    parts.header = request.header;
    parts.summary = std::move(*summary);
    parts.exposureTimeSet = request.options.exposureSeconds.has_value();
    parts.reasons = request.options.reasons;
    parts.notes = request.notes;
    parts.madeAt = request.madeAt;
    parts.program = request.program;
    return parts;
}

Result<ReportContent> makeReport(const ReportRequest& request, const std::function<void(std::int64_t)>& progress,
                                 const std::atomic<bool>* cancel)
{
    auto parts = readReport(request, progress, cancel);
    if (!parts)
        return parts.error();
    return composeReport(*parts);
}

} // namespace km740
