// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool: the meter and the data files from the command line.
#include "cli/StandardOutput.h"
#include "cli/ToolCommands.h"

#include <iostream>

namespace km740::cli {

int fail(int code, const std::string& message)
{
    std::cerr << "km740-tool: " << message << '\n';
    return code;
}

void printReadNotes(const std::string& file, const ReadCounts& counts)
{
    for (const ReadNote& note : counts.notes)
        std::cerr << "km740-tool: " << file << ": " << note.text() << '\n';
    if (counts.moreNotes > 0)
        std::cerr << "km740-tool: " << file << ": and " << counts.moreNotes << " more\n";
}

} // namespace km740::cli

namespace {

// Every way out goes through here: standard output is flushed and closed,
// and a write that failed turns a success into a failure.
int finish(int code)
{
    using namespace km740::cli;
    if (auto s = finishStandardOutput(); !s) {
        fail(exitFailure, s.error().message);
        if (code == exitOk)
            code = exitFailure;
    }
    std::cerr.flush();
    return code;
}

int runTool(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    km740::cli::routeStandardOutput();
    return finish(runTool(argc, argv));
}

namespace {

int runTool(int argc, char** argv)
{
    using namespace km740::cli;
    CLI::App app{"KM740 sound level and noise dose meter: meter and data file tool", "km740-tool"};
    app.require_subcommand(1);
    ToolRun run;
    app.add_option("--port", run.port, "Serial device of the meter, e.g. /dev/ttyUSB0");
    app.add_flag("--simulate", run.simulate, "Use the built-in virtual meter");
    app.add_flag("--trace", run.trace,
                 "Write every byte sent (>) and received (<) to standard error, "
                 "with the seconds since the meter was opened");

    addMeterCommands(app, run);
    addLoggerCommands(app, run);
    addDeriveCommands(app, run);
    addConfigCommands(app, run);
    addFileCommands(app, run);
    addExposureCommands(app, run);
#ifdef KM740_HAVE_PRINT
    addReportCommands(app, run);
#endif
    addArchiveCommands(app, run);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? exitOk : exitUsage;
    }
    if (!run.action)
        return fail(exitUsage, "no command given (see --help)");
    try {
        return run.action();
    } catch (const std::exception& e) {
        return fail(exitFailure, e.what());
    } catch (...) {
        return fail(exitFailure, "stopped by an unexpected error");
    }
}

} // namespace
