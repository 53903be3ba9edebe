// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/DataFileReader.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace km740::cli {

// Exit codes of km740-tool.
enum Exit : int {
    exitOk = 0,
    exitFailure = 1, // the meter did not answer, a file could not be read or written
    exitUsage = 2,
    exitNoData = 3, // the logger holds nothing to download
};

// What the command line chose: the meter options shared by every meter
// command, and the one action the chosen subcommand runs after parsing.
struct ToolRun {
    std::string port;      // --port DEVICE
    bool simulate = false; // --simulate: the in-process virtual meter
    bool trace = false;    // --trace: every exchange on standard error
    std::function<int()> action;
};

// Each family of subcommands registers itself here.
void addMeterCommands(CLI::App& app, ToolRun& run);    // status, memory, download, clock
void addLoggerCommands(CLI::App& app, ToolRun& run);   // sets, export, show
void addDeriveCommands(CLI::App& app, ToolRun& run);   // derive, print-text
void addConfigCommands(CLI::App& app, ToolRun& run);   // preset, user-presets, setup, recording, key
void addFileCommands(CLI::App& app, ToolRun& run);     // export-csv, print-pdf
void addExposureCommands(CLI::App& app, ToolRun& run); // exposure
void addReportCommands(CLI::App& app, ToolRun& run);   // report (with Qt GUI only)
void addArchiveCommands(CLI::App& app, ToolRun& run);  // archive add|list|show|export|remove|week

// Prints one clear line on standard error and gives the exit code back.
int fail(int code, const std::string& message);

// The reader's notes on standard error, "line N: ...", and how many more
// there were beyond those kept.
void printReadNotes(const std::string& file, const km740::ReadCounts& counts);

} // namespace km740::cli
