// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The measurement archive: one SQLite database and a folder holding a copy of
// every filed data file, named by the hash of its bytes. A file is filed once;
// its copy is complete on disk before its row is committed, so a crash leaves
// at most a copy without a row, which the next open removes. A database from
// a newer program or a damaged one is refused and left as it is.

#include "core/archive/Measurement.h"
#include "core/archive/Sqlite.h"
#include "core/common/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

struct ArchiveOptions {
    // Called after each step that writes while filing (1: the copy's bytes
    // written, 2: the copy in place, 3: the row written, 4: the row
    // committed). Tests stop the program here to check what a crash leaves.
    std::function<void(int step)> afterWriteStep;
};

class Archive {
public:
    // The database's file name in the archive's folder.
    static constexpr std::string_view databaseName = "archive.db";

    // Opens the archive in the folder, creating both when absent, bringing
    // an older database up to date and removing copies no row names.
    static Result<Archive> open(const std::filesystem::path& folder, ArchiveOptions options = {});

    struct Filed {
        std::int64_t id = 0;
        bool added = false; // false: the same bytes were filed before, as `id`
    };
    // Files a data file with its exposure results (under the analysis file
    // beside it, if any). `filedAt` is the local time of filing (ISO 8601).
    Result<Filed> file(const std::filesystem::path& source, const MeasurementLabels& labels,
                       const std::string& filedAt);
    Result<Filed> fileBytes(std::string_view bytes, const std::string& fileName, const std::string& sourcePath,
                            const MeasurementLabels& labels, const std::string& filedAt,
                            const MeasurementAnalysis& analysis = {});

    // Oldest first.
    Result<std::vector<Measurement>> list(const MeasurementFilter& filter = {});
    // One person's measurements (the name matched whole, ignoring the case
    // of A-Z) that started from `from` to `to`, both inclusive.
    Result<std::vector<Measurement>> ofPerson(std::string_view person, Day from, Day to);
    // Whether any measurement is filed under the person (matched as ofPerson does).
    Result<bool> hasPerson(std::string_view person);
    // With its results per standard; empty when there is no such id.
    Result<std::optional<Measurement>> find(std::int64_t id);
    // False when there is no such id.
    Result<bool> relabel(std::int64_t id, const MeasurementLabels& labels);
    // Removes the row and its copy; false when there is no such id.
    Result<bool> remove(std::int64_t id);

    // Where the copy of a measurement's bytes lies.
    std::filesystem::path copyPath(const Measurement& m) const;
    // The copy's bytes, checked against the hash.
    Result<std::string> copyBytes(const Measurement& m) const;
    // The copy, checked, ready for a file list window: the measurement's
    // analysis (if it has one) is put beside it as its analysis file.
    Result<std::filesystem::path> copyToOpen(const Measurement& m);

    const std::filesystem::path& folder() const { return folder_; }

private:
    Archive(std::filesystem::path folder, sql::Database db, ArchiveOptions options);
    Status migrate();
    Status removeOrphanCopies();
    Failure failed(const Failure& f) const;
    void reached(int step) const;
    Result<std::vector<Measurement>> select(const std::string& where, const std::vector<std::string>& texts);

    std::filesystem::path folder_;
    sql::Database db_;
    ArchiveOptions options_;
};

// The folder to use: `--archive DIR`, else KM740_ARCHIVE, else
// $XDG_DATA_HOME/km740/archive, else ~/.local/share/km740/archive. Empty
// texts count as not given; a relative XDG_DATA_HOME is ignored.
std::filesystem::path archiveFolder(std::string_view option, std::string_view environment, std::string_view xdgDataHome,
                                    std::string_view home);

} // namespace km740
