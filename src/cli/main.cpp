// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool: the meter and the data files from the command line.
#include "cli/ToolCommands.h"

#include <iostream>

namespace km740::cli {

int fail(int code, const std::string& message)
{
    std::cerr << "km740-tool: " << message << '\n';
    return code;
}

} // namespace km740::cli

int main(int argc, char** argv)
{
    using namespace km740::cli;
    CLI::App app{"KM740 sound level and noise dose meter: meter and data file tool", "km740-tool"};
    app.require_subcommand(1);
    ToolRun run;
    app.add_option("--port", run.port, "Serial device of the meter, e.g. /dev/ttyUSB0");
    app.add_flag("--simulate", run.simulate, "Use the built-in virtual meter");
    app.add_flag("--trace", run.trace, "Write every byte sent (>) and received (<) to standard error, "
                                       "with the seconds since the meter was opened");

    addMeterCommands(app, run);
    addLoggerCommands(app, run);
    addDeriveCommands(app, run);
    addConfigCommands(app, run);
    addFileCommands(app, run);
    addExposureCommands(app, run);
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
    }
}
