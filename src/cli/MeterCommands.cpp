// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool's meter commands: status, memory, download, clock.
#include "cli/ToolMeter.h"

#include "core/common/AtomicFile.h"
#include "core/link/WriteCheck.h"

#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>
#include <unistd.h>
#include <variant>

namespace km740::cli {

namespace {

// ---------------------------------------------------------------- status

int runStatus(const ToolRun& run, bool asJson)
{
    auto opened = openMeter(run);
    if (auto* code = std::get_if<int>(&opened))
        return *code;
    auto& meter = *std::get<std::unique_ptr<Meter>>(opened);
    const Regional regional = userRegional();
    auto poll = meter.link->livePoll(regional);
    if (!poll)
        return meterFailure(poll.error());
    const PanelTexts& t = poll->texts;
    const bool calibrationKnown = poll->calibrationTexts.has_value();
    if (!calibrationKnown)
        std::cerr << "km740-tool: the meter did not send its calibration record; the calibration is unknown\n";
    const std::string calTime = calibrationKnown ? poll->calibrationTexts->time : "unknown";
    const std::string calLevel = calibrationKnown ? poll->calibrationTexts->level : "unknown";
    auto jsonCalibration = [&](const std::string& text) { return calibrationKnown ? json(text) : "null"; };
    if (asJson) {
        std::cout << "{\"level\": " << json(t.level) << ", \"peak\": " << json(t.peak)
                  << ", \"time_weighting\": " << json(t.timeWeighting)
                  << ", \"frequency_weighting\": " << json(t.freqWeighting) << ", \"average\": " << json(t.average)
                  << ", \"peak_type\": " << json(t.peakType) << ", \"range\": " << json(t.range)
                  << ", \"exchange_rate\": " << t.exchangeRate << ", \"calibration_time\": " << jsonCalibration(calTime)
                  << ", \"calibration_level\": " << jsonCalibration(calLevel) << "}\n";
    } else {
        std::cout << "Level            " << t.level << " dB\n"
                  << "Peak  Value      " << t.peak << '\n'
                  << "Time Weight      " << t.timeWeighting << '\n'
                  << "Frequency Weight " << t.freqWeighting << '\n'
                  << "Average          " << t.average << '\n'
                  << "Peak Type        " << t.peakType << '\n'
                  << "Range            " << t.range << '\n'
                  << "Exchange Rate    " << t.exchangeRate << '\n'
                  << "Calibrated Time  " << calTime << '\n'
                  << "Calibrated dB    " << calLevel << '\n';
    }
    return exitOk;
}

// ---------------------------------------------------------------- memory

int runMemory(const ToolRun& run, bool asJson)
{
    auto opened = openMeter(run);
    if (auto* code = std::get_if<int>(&opened))
        return *code;
    auto& meter = *std::get<std::unique_ptr<Meter>>(opened);
    auto status = meter.link->readMemoryStatus();
    if (!status)
        return meterFailure(status.error());
    const Regional regional = userRegional();
    const std::string size = memorySizeText(*status);
    const std::string remain = memoryRemainText(*status, regional);
    if (asJson) {
        std::cout << "{\"blocks\": " << status->blocks << ", \"end\": " << status->end
                  << ", \"capacity\": " << status->capacity << ", \"size\": " << json(size)
                  << ", \"remain\": " << json(remain) << "}\n";
    } else {
        std::cout << "Blocks    " << status->blocks << '\n'
                  << "End       " << status->end << '\n'
                  << "Capacity  " << status->capacity << '\n'
                  << "Size      " << size << '\n'
                  << "Remain    " << remain << '\n';
    }
    return exitOk;
}

// ---------------------------------------------------------------- download

// A dump that ended early leaves the meter sending the rest of its memory,
// which the next command would take for its reply: wait until the line is
// quiet. After an interrupt the wait goes on until a second one.
void drainAfterFailedDump(Meter& meter, std::size_t total, const Failure& why)
{
    if (why.kind == FailureKind::cancelled) {
        std::cerr << "Waiting for the meter to finish sending (interrupt again to stop at once)\n";
        clearInterrupt();
    }
    if (Status s = meter.link->drainAfterDump(total); !s && s.error().kind == FailureKind::timeout)
        std::cerr << "km740-tool: " << s.error().message << '\n';
}

int runDownload(const ToolRun& run, const std::string& file)
{
    auto opened = openMeter(run);
    if (auto* code = std::get_if<int>(&opened))
        return *code;
    auto& meter = *std::get<std::unique_ptr<Meter>>(opened);
    // The output is made before the meter is asked for a byte, so a long
    // transfer is never thrown away for a folder that is not there.
    auto output = AtomicFile::create(file);
    if (!output)
        return fail(exitFailure, output.error().message);
    auto status = meter.link->readMemoryStatus();
    if (!status)
        return meterFailure(status.error());
    if (status->empty()) {
        std::cout << "No Data in Memoy!\n";
        return exitNoData;
    }
    const std::size_t total = status->downloadSize();
    // The memory reply gives the size: a disk without room for it is found
    // now rather than after the whole transfer.
    if (auto s = output->reserve(total); !s)
        return fail(exitFailure, s.error().message);
    int shown = -1;
    auto progress = [&](std::size_t received, std::size_t all) {
        const int percent = static_cast<int>(received * 100 / all);
        if (percent == shown)
            return;
        shown = percent;
        std::cerr << "\rDownloading " << received << " of " << all << " bytes (" << percent << " %)" << std::flush;
    };
    const double started = meter.clock.now();
    auto image = meter.link->dumpLogger(total, progress);
    std::cerr << '\n';
    if (!image) {
        drainAfterFailedDump(meter, total, image.error());
        return meterFailure(image.error());
    }
    const auto* bytes = reinterpret_cast<const char*>(image->data());
    if (auto s = output->write(std::string_view(bytes, image->size())); !s)
        return fail(exitFailure, s.error().message);
    if (auto s = output->commit(); !s)
        return fail(exitFailure, s.error().message);
    const double seconds = meter.clock.now() - started;
    std::cerr << "Wrote " << image->size() << " bytes to " << file << " in " << seconds << " s\n";
    return exitOk;
}

// ---------------------------------------------------------------- clock

int runClock(const ToolRun& run, bool set)
{
    auto opened = openMeter(run);
    if (auto* code = std::get_if<int>(&opened))
        return *code;
    auto& meter = *std::get<std::unique_ptr<Meter>>(opened);
    if (set) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const DateTime when{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                            local.tm_hour,        local.tm_min,     local.tm_sec};
        if (auto s = setClockChecked(*meter.link, when); !s) {
            const FailureKind kind = s.error().kind;
            return kind == FailureKind::io || kind == FailureKind::cancelled ? meterFailure(s.error())
                                                                             : fail(exitFailure, s.error().message);
        }
        std::cout << "Meter clock set to " << meterClockText(clockRecordFor(when)) << '\n';
        return exitOk;
    }
    auto clock = meter.link->readClock();
    if (!clock)
        return meterFailure(clock.error());
    std::cout << meterClockText(*clock) << '\n';
    return exitOk;
}

} // namespace

void addMeterCommands(CLI::App& app, ToolRun& run)
{
    auto* status = app.add_subcommand("status", "One live poll of the meter: the panel's texts");
    status->fallthrough();
    auto statusJson = std::make_shared<bool>(false);
    status->add_flag("--json", *statusJson, "Print one JSON object");
    status->callback([&run, statusJson] { run.action = [&run, statusJson] { return runStatus(run, *statusJson); }; });

    auto* memory = app.add_subcommand("memory", "The logger memory status (\"A\")");
    memory->fallthrough();
    auto memoryJson = std::make_shared<bool>(false);
    memory->add_flag("--json", *memoryJson, "Print one JSON object");
    memory->callback([&run, memoryJson] { run.action = [&run, memoryJson] { return runMemory(run, *memoryJson); }; });

    auto* download = app.add_subcommand("download", "Dump the logger memory into a raw image file");
    download->fallthrough();
    auto file = std::make_shared<std::string>();
    download->add_option("-o,--output", *file, "Image file to write")->required();
    download->callback([&run, file] { run.action = [&run, file] { return runDownload(run, *file); }; });

    auto* clock = app.add_subcommand("clock", "Read the meter clock, or set it to this computer's time");
    clock->fallthrough();
    auto set = std::make_shared<bool>(false);
    clock->add_flag("--set", *set, "Set the meter clock to the computer's time");
    clock->callback([&run, set] { run.action = [&run, set] { return runClock(run, *set); }; });
}

} // namespace km740::cli
