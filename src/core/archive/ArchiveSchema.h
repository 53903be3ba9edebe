// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The archive's tables, one step per version. A database records the version
// it holds in PRAGMA user_version; opening it runs the steps it lacks. Plain
// SQL types and statements only, so a shared server can hold the same tables.

#include <span>
#include <string_view>

namespace km740 {

// Step k turns a version-k database into version k+1 (step 0 creates it).
std::span<const std::string_view> archiveMigrations();

// The version this program writes.
int archiveSchemaVersion();

} // namespace km740
