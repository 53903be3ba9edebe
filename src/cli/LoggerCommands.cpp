// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToolCommands.h"

namespace km740::cli {

void addLoggerCommands(CLI::App& /*app*/, ToolRun& /*run*/)
{
}

} // namespace km740::cli
