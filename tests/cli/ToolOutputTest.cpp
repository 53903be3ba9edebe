// SPDX-License-Identifier: GPL-3.0-or-later
// export and download write where the name leads: a file whole with its
// permissions, a link's target, a device or FIFO through; a read-only file,
// a full disk and a missing folder are refused with the path and the reason.
#include "support/SimProcess.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace km740::test;

namespace {

const std::string data = std::string(KM740_TEST_DATA) + "/logger";
const std::string image = data + "/sample.bin";

ToolResult tool(const std::vector<std::string>& args, const std::function<void()>& inChild = {})
{
    return runProgram(KM740_TOOL_PATH, args, inChild);
}

std::vector<std::string> exportTo(const std::string& output)
{
    return {"export", image, "--set", "3", "-o", output};
}

// A meter with about 1 KB logged: a download takes a second, not ten.
struct SmallLogger {
    SimProcess sim{KM740_SIM_PATH, {"--fill-kb", "1"}};
    std::function<std::vector<std::string>(const std::string&)> downloadTo = [this](const std::string& output) {
        return std::vector<std::string>{"--port", sim.device(), "download", "-o", output};
    };
};

mode_t modeOf(const std::filesystem::path& p)
{
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st.st_mode;
}

// What a command writes into a FIFO, read on another thread.
std::string throughFifo(const std::filesystem::path& fifo, const std::function<ToolResult(const std::string&)>& run,
                        ToolResult& result)
{
    EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    auto reader = std::async(std::launch::async, [fd] {
        std::string got;
        char buf[4096];
        ::fcntl(fd, F_SETFL, 0);
        // Blocks until a writer opens; ends when the last one closes.
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
                continue;
            }
            if (n == 0 && !got.empty())
                break;
            ::usleep(5000);
        }
        return got;
    });
    result = run(fifo.string());
    // A failed run wrote nothing: let the reader stop.
    if (result.exitCode != 0) {
        const int w = ::open(fifo.c_str(), O_WRONLY);
        (void)!::write(w, "!", 1);
        ::close(w);
    }
    std::string got = reader.get();
    ::close(fd);
    return got;
}

// Every kind of name as the output of one command that writes `expected`.
void writesWhereTheNameLeads(const std::function<std::vector<std::string>(const std::string&)>& command,
                             const std::string& expected)
{
    TempFolder dir;

    const auto privateFile = dir / "private";
    writeBytes(privateFile, "old", std::filesystem::perms(0600));
    auto r = tool(command(privateFile));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readBytes(privateFile), expected);
    EXPECT_EQ(modeOf(privateFile) & 07777, 0600u);

    const auto target = dir / "target";
    writeBytes(target, "old");
    std::filesystem::create_symlink(target, dir / "link");
    r = tool(command((dir / "link").string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(S_ISLNK(modeOf(dir / "link")));
    EXPECT_EQ(readBytes(target), expected);

    struct stat before {};
    ASSERT_EQ(::stat("/dev/null", &before), 0);
    r = tool(command("/dev/null"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    struct stat after {};
    ASSERT_EQ(::stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);

    ToolResult fifoRun;
    const std::string piped = throughFifo(
        dir / "fifo", [&](const std::string& name) { return tool(command(name)); }, fifoRun);
    EXPECT_EQ(fifoRun.exitCode, 0) << fifoRun.err;
    EXPECT_EQ(piped, expected);
    EXPECT_TRUE(S_ISFIFO(modeOf(dir / "fifo")));

    for (const char* out : {"-", "/dev/stdout"}) {
        r = tool(command(out));
        EXPECT_EQ(r.exitCode, 0) << out << ": " << r.err;
        EXPECT_EQ(r.out, expected) << out;
    }
    EXPECT_EQ(dir.entries(), 4u);
}

// A read-only file and a full disk: exit 1, the old file as it was, the
// path and the system's reason on standard error.
void refusesAndReports(const std::function<std::vector<std::string>(const std::string&)>& command)
{
    TempFolder dir;
    const auto locked = dir / "locked";
    writeBytes(locked, "keep", std::filesystem::perms(0444));
    auto r = tool(command(locked));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(locked.string() + ": Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(locked), "keep");

    SmallDisk disk;
    if (disk.mounted()) {
        const auto file = disk / "data";
        writeBytes(file, "old");
        // Fill every block that is left.
        {
            const int fd = ::open((disk / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
            const std::string block(4096, 'f');
            while (::write(fd, block.data(), block.size()) > 0) {
            }
            ::close(fd);
        }
        r = tool(command(file));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(file.string() + ": No space left on device"), std::string::npos) << r.err;
        EXPECT_EQ(readBytes(file), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.path()), {}), 2);
    } else {
        const auto file = dir / "data";
        writeBytes(file, "old");
        r = tool(command(file), [] { limitFileSize(256); });
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(file.string() + ": File too large"), std::string::npos) << r.err;
        EXPECT_EQ(readBytes(file), "old");
    }
    EXPECT_EQ(r.err.find("Success"), std::string::npos);
}

} // namespace

TEST(ToolOutput, ExportWritesWhereTheNameLeads)
{
    writesWhereTheNameLeads(exportTo, readBytes(data + "/sample-set3.sonx"));
}

TEST(ToolOutput, ExportRefusesAReadOnlyFileAndReportsAFullDisk)
{
    refusesAndReports(exportTo);
}

TEST(ToolOutput, DownloadWritesWhereTheNameLeads)
{
    SmallLogger meter;
    ASSERT_FALSE(meter.sim.device().empty());
    TempFolder dir;
    auto first = tool(meter.downloadTo(dir / "image.bin"));
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const std::string downloaded = readBytes(dir / "image.bin");
    ASSERT_GT(downloaded.size(), 512u);
    writesWhereTheNameLeads(meter.downloadTo, downloaded);
}

TEST(ToolOutput, DownloadRefusesAReadOnlyFileAndReportsAFullDisk)
{
    SmallLogger meter;
    ASSERT_FALSE(meter.sim.device().empty());
    refusesAndReports(meter.downloadTo);
}

TEST(ToolOutput, DownloadChecksItsOutputBeforeAskingTheMeter)
{
    // A meter that never answers: a download that asked it first would end
    // with "does not answer", not with the output's fault.
    SimProcess sim(KM740_SIM_PATH, {"--silent-after", "0"});
    ASSERT_FALSE(sim.device().empty());
    TempFolder dir;
    const auto missing = dir / "no such folder" / "image.bin";
    const auto locked = dir / "locked.bin";
    writeBytes(locked, "keep", std::filesystem::perms(0444));
    const std::pair<std::string, std::string> cases[] = {
        {missing.string(), "No such file or directory"},
        {dir.path().string(), "it is a folder"},
        {locked.string(), "Permission denied"},
    };
    for (const auto& [output, reason] : cases) {
        auto r = tool({"--port", sim.device(), "download", "-o", output});
        EXPECT_EQ(r.exitCode, 1) << output;
        EXPECT_NE(r.err.find("cannot write " + output + ": " + reason), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("answer"), std::string::npos) << r.err;
    }
    EXPECT_EQ(dir.entries(), 1u);
}
