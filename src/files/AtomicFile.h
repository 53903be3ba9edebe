// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Result.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace km740 {

// A file that is either written whole or not at all: bytes go to a temporary
// file in the target's folder, which replaces the target only on commit().
// Without a commit the temporary file is removed and the target is untouched.
class AtomicFile {
public:
    static Result<AtomicFile> create(const std::filesystem::path& target);

    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    Status write(std::string_view bytes);
    // Flushes, syncs and renames over the target.
    Status commit();
    // Drops the temporary file (also done by the destructor).
    void discard();

    const std::filesystem::path& target() const { return target_; }

private:
    AtomicFile(std::filesystem::path target, std::filesystem::path temp, std::FILE* file);
    Failure ioFailure(std::string_view what, int error) const;

    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// Error text for errno values in messages ("No space left on device").
std::string errorText(int error);

} // namespace km740
