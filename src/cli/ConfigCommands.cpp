// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToolCommands.h"

namespace km740::cli {

void addConfigCommands(CLI::App& app, ToolRun& run)
{
    (void)app;
    (void)run;
}

} // namespace km740::cli
