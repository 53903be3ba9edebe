// SPDX-License-Identifier: GPL-3.0-or-later
// What a save does to each kind of name it may be given: files are replaced
// whole with their permissions, links followed, devices and FIFOs written
// through and never replaced, read-only files refused, a full disk reported.
#include "core/common/AtomicFile.h"
#include "core/common/SameFile.h"
#include "core/files/DataFileWriter.h"
#include "core/files/HeaderText.h"
#include "core/files/RecordingFile.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace km740;
using km740::test::readBytes;
using km740::test::SmallDisk;
using km740::test::TempFolder;
using km740::test::writeBytes;

namespace {

mode_t modeOf(const std::filesystem::path& p)
{
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_mode;
}

// Reads a FIFO to its end on another thread.
std::future<std::string> drain(const std::filesystem::path& fifo)
{
    auto opened = std::make_shared<std::promise<void>>();
    auto ready = opened->get_future();
    auto result = std::async(std::launch::async, [fifo, opened] {
        const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        opened->set_value();
        std::string got;
        if (fd < 0)
            return got;
        ::fcntl(fd, F_SETFL, 0);
        char buf[4096];
        ssize_t n;
        // Until a writer has come and gone.
        for (int idle = 0; idle < 2000; ++idle) {
            n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
                idle = 0;
            } else if (n == 0 && !got.empty()) {
                break;
            } else {
                ::usleep(5000);
            }
        }
        ::close(fd);
        return got;
    });
    ready.wait();
    return result;
}

void expectNamesPathAndReason(const Failure& f, const std::filesystem::path& path, const std::string& reason)
{
    EXPECT_NE(f.message.find(path.string()), std::string::npos) << f.message;
    EXPECT_NE(f.message.find(reason), std::string::npos) << f.message;
    EXPECT_EQ(f.message.find("Success"), std::string::npos) << f.message;
}

} // namespace

TEST(AtomicFile, ReplacesAFileWholeKeepingItsPermissions)
{
    TempFolder dir;
    const auto file = dir / "private.sonx";
    writeBytes(file, "old", std::filesystem::perms(0600));
    ASSERT_TRUE(writeFileAtomically(file, "new").ok());
    EXPECT_EQ(readBytes(file), "new");
    EXPECT_EQ(modeOf(file) & 07777, 0600u);

    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(file, "newer").ok());
    EXPECT_EQ(modeOf(file) & 07777, 0640u);

    // A write that is dropped leaves the old file, and no temporary file;
    // while it runs, its temporary file is known as one (a folder's sweep
    // removes it) and the data file is not.
    {
        auto open = AtomicFile::create(file);
        ASSERT_TRUE(open.ok());
        ASSERT_TRUE(open->write("half").ok());
        std::vector<std::string> temporary;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (isTemporaryName(e.path().filename().string()))
                temporary.push_back(e.path().filename().string());
        EXPECT_EQ(temporary.size(), 1u);
        EXPECT_FALSE(isTemporaryName("private.sonx"));
        EXPECT_FALSE(isTemporaryName(".km740-notes.tmp.sonx"));
    }
    EXPECT_EQ(readBytes(file), "newer");
    EXPECT_EQ(dir.entries(), 1u);

    ASSERT_TRUE(writeFileAtomically(dir / "fresh.sonx", "x").ok());
    EXPECT_EQ(readBytes(dir / "fresh.sonx"), "x");
    EXPECT_EQ(dir.entries(), 2u);
}

TEST(AtomicFile, FollowsASymbolicLinkToTheFileItNames)
{
    TempFolder dir;
    std::filesystem::create_directory(dir / "real");
    const auto target = dir / "real" / "data.sonx";
    writeBytes(target, "old", std::filesystem::perms(0600));
    std::filesystem::create_symlink("real/data.sonx", dir / "link.sonx");
    ASSERT_TRUE(writeFileAtomically(dir / "link.sonx", "through the link").ok());
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "link.sonx")));
    EXPECT_EQ(readBytes(target), "through the link");
    EXPECT_EQ(modeOf(target) & 07777, 0600u);

    // A link to a name not yet there makes that file.
    std::filesystem::create_symlink(dir / "real" / "later.sonx", dir / "dangling.sonx");
    ASSERT_TRUE(writeFileAtomically(dir / "dangling.sonx", "made").ok());
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "dangling.sonx")));
    EXPECT_EQ(readBytes(dir / "real" / "later.sonx"), "made");
}

TEST(AtomicFile, WritesThroughADeviceAndAFifoWithoutReplacingThem)
{
    struct stat before {};
    ASSERT_EQ(::stat("/dev/null", &before), 0);
    ASSERT_TRUE(S_ISCHR(before.st_mode));
    auto null = AtomicFile::create("/dev/null");
    ASSERT_TRUE(null.ok()) << null.error().message;
    EXPECT_TRUE(null->writesThrough());
    ASSERT_TRUE(null->write("gone").ok());
    ASSERT_TRUE(null->commit().ok());
    struct stat after {};
    ASSERT_EQ(::stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_ino, before.st_ino);

    TempFolder dir;
    const auto fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reading: refused at once instead of waiting for a reader.
    auto lonely = writeFileAtomically(fifo, "x");
    ASSERT_FALSE(lonely.ok());
    expectNamesPathAndReason(lonely.error(), fifo, "No such device or address");

    auto got = drain(fifo);
    ASSERT_TRUE(writeFileAtomically(fifo, "down the pipe").ok());
    EXPECT_EQ(got.get(), "down the pipe");
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_EQ(dir.entries(), 1u);

    // A reader that goes away fails the write; the program lives on.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    auto open = AtomicFile::create(fifo);
    ASSERT_TRUE(open.ok());
    ::close(reader);
    auto broken = open->write(std::string(1 << 20, 'x'));
    ASSERT_FALSE(broken.ok());
    expectNamesPathAndReason(broken.error(), fifo, "Broken pipe");
}

TEST(AtomicFile, RefusesWhatItMayNotReplace)
{
    TempFolder dir;
    const auto locked = dir / "locked.sonx";
    writeBytes(locked, "keep", std::filesystem::perms(0444));
    auto readOnly = writeFileAtomically(locked, "lost");
    ASSERT_FALSE(readOnly.ok());
    expectNamesPathAndReason(readOnly.error(), locked, "Permission denied");
    EXPECT_EQ(readBytes(locked), "keep");
    EXPECT_EQ(modeOf(locked) & 07777, 0444u);

    auto folder = writeFileAtomically(dir.path(), "x");
    ASSERT_FALSE(folder.ok());
    expectNamesPathAndReason(folder.error(), dir.path(), "folder");

    const auto nowhere = dir / "no such folder" / "x.sonx";
    auto missing = writeFileAtomically(nowhere, "x");
    ASSERT_FALSE(missing.ok());
    expectNamesPathAndReason(missing.error(), nowhere, "No such file or directory");
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(AtomicFile, AFullDiskLeavesTheOldFileAndSaysWhy)
{
    const std::string big(4 * SmallDisk::size, 'x');
    SmallDisk disk;
    if (disk.mounted()) {
        const auto file = disk / "data.sonx";
        writeBytes(file, "old");
        auto s = writeFileAtomically(file, big);
        ASSERT_FALSE(s.ok());
        expectNamesPathAndReason(s.error(), file, "No space left on device");
        EXPECT_EQ(readBytes(file), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.path()), {}), 1);
        return;
    }
    // Not allowed to mount: a file-size limit in a child process instead.
    TempFolder dir;
    const auto file = dir / "data.sonx";
    writeBytes(file, "old");
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        km740::test::limitFileSize(SmallDisk::size);
        auto s = writeFileAtomically(file, big);
        const std::string message = s.ok() ? "" : s.error().message;
        (void)!::write(report[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string message;
    char buf[512];
    for (ssize_t n; (n = ::read(report[0], buf, sizeof buf)) > 0;)
        message.append(buf, static_cast<std::size_t>(n));
    ::close(report[0]);
    ::waitpid(child, nullptr, 0);
    expectNamesPathAndReason(Failure{FailureKind::io, message}, file, "File too large");
    EXPECT_EQ(readBytes(file), "old");
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(AtomicFile, EverySaveFollowsTheSameRule)
{
    TempFolder dir;
    // A data file over a 0600 file keeps it private.
    const auto data = dir / "list.sonx";
    writeBytes(data, "old", std::filesystem::perms(0600));
    RealTimeFile list;
    list.kind = DataFileKind::realTimeList;
    ASSERT_TRUE(writeDataFile(data, DataFile(list)).ok());
    EXPECT_EQ(readBytes(data).substr(0, 14), "Real Time List");
    EXPECT_EQ(modeOf(data) & 07777, 0600u);

    // A header text through a link reaches the linked file.
    writeBytes(dir / "header.nse", "");
    std::filesystem::create_symlink(dir / "header.nse", dir / "link.nse");
    ASSERT_TRUE(writeHeaderText(dir / "link.nse", HeaderText{"Name", "Sector", "Company"}).ok());
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "link.nse")));
    EXPECT_NE(readBytes(dir / "header.nse").find("Company"), std::string::npos);

    // A live recording refuses a read-only file and writes /dev/null through.
    const auto locked = dir / "locked.sonx";
    writeBytes(locked, "keep", std::filesystem::perms(0444));
    EXPECT_FALSE(RecordingFile::create(locked, SettingsBlock{}).ok());
    EXPECT_EQ(readBytes(locked), "keep");
    {
        auto rec = RecordingFile::create("/dev/null", SettingsBlock{});
        ASSERT_TRUE(rec.ok()) << rec.error().message;
        ASSERT_TRUE(rec->append(LevelRecord{1, "2026/12/07 03:00:00", "85.3"}).ok());
        ASSERT_TRUE(rec->close().ok());
    }
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));
}

// The temporary name does not grow with the target's: every name up to the
// folder's limit can be written and replaced. A file with several hard
// links is refused rather than parted from its other names.
TEST(AtomicFile, LongNamesWorkAndHardLinksAreKept)
{
    TempFolder dir;
    for (std::size_t n = 240; n <= 255; ++n) {
        const auto target = dir / std::string(n, static_cast<char>('a' + n % 26));
        ASSERT_TRUE(writeFileAtomically(target, "first")) << n;
        const auto again = writeFileAtomically(target, "second");
        ASSERT_TRUE(again) << n << ": " << again.error().message;
        EXPECT_EQ(readBytes(target), "second");
    }
    EXPECT_EQ(dir.entries(), 16u);

    TempFolder linked;
    writeBytes(linked / "one", "old");
    ASSERT_EQ(::link((linked / "one").c_str(), (linked / "two").c_str()), 0);
    const Status s = writeFileAtomically(linked / "one", "new");
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().message.find("2 hard links"), std::string::npos) << s.error().message;
    EXPECT_EQ(readBytes(linked / "one"), "old");
    EXPECT_EQ(readBytes(linked / "two"), "old");
    EXPECT_EQ(linked.entries(), 2u);
}

// A process that ends while a file is half written leaves the folder as it
// was: by a signal, by exit(), by an exception nobody caught.
TEST(AtomicFile, NoTemporaryFileOutlivesTheProcess)
{
    enum class End { signal, exit, terminate };
    struct Case {
        End end;
        int signal;
    };
    const Case cases[] = {{End::signal, SIGINT},  {End::signal, SIGTERM}, {End::signal, SIGHUP},
                          {End::signal, SIGQUIT}, {End::exit, 0},         {End::terminate, 0}};
    for (const Case& c : cases) {
        TempFolder dir;
        const pid_t pid = ::fork();
        if (pid == 0) {
            auto file = AtomicFile::create(dir / "out.csv");
            if (!file || !file->write("half"))
                ::_exit(100);
            if (dir.entries() != 1)
                ::_exit(101);
            switch (c.end) {
            case End::signal: ::raise(c.signal); break;
            case End::exit: std::exit(3);
            case End::terminate: std::terminate();
            }
            ::_exit(102);
        }
        ASSERT_GT(pid, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) >= 100) << WEXITSTATUS(status);
        if (c.end == End::signal) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.signal;
        }
        EXPECT_EQ(dir.entries(), 0u) << static_cast<int>(c.end) << ' ' << c.signal;
    }
}

// A download that cannot fit is found before any byte is fetched.
TEST(AtomicFile, ReservesRoomOrSaysThereIsNone)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "needs a small tmpfs (root)";
    auto file = AtomicFile::create(disk / "image.bin");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->reserve(16 * 1024));
    const Status s = file->reserve(1 << 20);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().message.find("No space left on device (1048576 bytes needed"), std::string::npos)
        << s.error().message;
}

TEST(SameFile, AnOutputThatIsAnInputIsRefusedByAnyName)
{
    TempFolder dir;
    writeBytes(dir / "in.sonx", "data");
    std::filesystem::create_symlink(dir / "in.sonx", dir / "link");
    ASSERT_EQ(::link((dir / "in.sonx").c_str(), (dir / "hard").c_str()), 0);
    const std::filesystem::path inputs[] = {dir / "other", dir / "in.sonx"};
    for (const auto& name : {dir / "in.sonx", dir / "link", dir / "hard", dir / "." / "in.sonx"}) {
        const Status s = checkOutputIsNoInput(name, inputs);
        ASSERT_FALSE(s) << name;
        EXPECT_EQ(s.error().message, "will not write " + name.string() + ": it is the input file " +
                                         (dir / "in.sonx").string() + ", which writing would destroy");
    }
    EXPECT_TRUE(checkOutputIsNoInput(dir / "new.csv", inputs));
    EXPECT_TRUE(checkOutputIsNoInput("/dev/null", std::array<std::filesystem::path, 1>{"/dev/null"}));
}
