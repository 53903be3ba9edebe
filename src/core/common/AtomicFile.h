// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace km740 {

// The one way the program writes a file. What happens depends on what the
// name stands for:
//   - a regular file or a new name: the bytes go to a temporary file in the
//     same folder, which is synced and renamed over the target on commit(),
//     keeping the old file's permission bits and owner; without a commit the
//     target is untouched and the temporary file removed;
//   - a symbolic link: the file it points to, by the same rule;
//   - a character device or a FIFO (/dev/null, /dev/stdout, a pipe): written
//     through as it is, never replaced;
//   - "-", /dev/stdout, /dev/fd/N: that open file of this process, written through;
//   - a folder, a block device, a socket, a read-only file, a file with
//     several hard links: refused.
// The temporary file is removed on every way out: a failure, a discard, an
// exception, exit(), and every signal that ends the process (INT, TERM, HUP,
// QUIT, PIPE, ...) where the program left its default action.
// Every failure names the path and the system's reason.
class AtomicFile {
public:
    // How a regular file is written.
    enum class Mode {
        whole,   // through a temporary file: complete or absent
        growing, // in place from the start, each write reaching the file (a live recording)
    };

    // Opens the target for writing. A FIFO nobody reads is refused at once
    // rather than waited on.
    static Result<AtomicFile> create(const std::filesystem::path& target, Mode mode = Mode::whole);

    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    // Writes all bytes or fails; after a failure every later write and the
    // commit fail too.
    Status write(std::string_view bytes);
    // Makes sure `bytes` will fit before they are fetched: the space is
    // reserved where the filesystem allows it, else the free space is
    // checked. A device or standard output is not checked.
    Status reserve(std::uint64_t bytes);
    // Syncs and closes; a whole file is renamed over its target.
    Status commit();
    // Closes without committing: a whole file's temporary file is removed
    // (also done by the destructor); a growing file keeps what was written.
    void discard();

    // The name given to create().
    const std::filesystem::path& target() const { return target_; }
    // True when the bytes go straight to a device, a FIFO or standard output.
    bool writesThrough() const { return temp_.empty() && !growing_; }

private:
    AtomicFile(std::filesystem::path target, std::filesystem::path final, std::filesystem::path temp, int fd,
               bool growing);
    Failure ioFailure(int error) const;
    void closeFd();
    void dropTemp();

    std::filesystem::path target_; // as given, for messages
    std::filesystem::path final_;  // where the bytes end up (a link followed)
    std::filesystem::path temp_;   // empty unless written through a temporary file
    int fd_ = -1;
    int slot_ = -1; // where a signal handler finds the temporary file's name
    bool growing_ = false;
    bool failed_ = false;
};

// Writes the bytes to the target by the rule above, whole or not at all.
Status writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// The system's text for an errno value ("No space left on device").
std::string errorText(int error);

// True for the name of a temporary file the rule above writes (and a crash
// may leave behind): a folder's sweep may remove it.
bool isTemporaryName(std::string_view name);

} // namespace km740
