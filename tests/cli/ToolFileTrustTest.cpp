// SPDX-License-Identifier: GPL-3.0-or-later
// What km740-tool does when its files fight back: an output that is one of
// its inputs, a standard output that cannot take the bytes, a signal in the
// middle of a write, inputs that never end, a disk without room for a
// download.
#include "core/files/DataFileWriter.h"
#include "support/SampleFiles.h"
#include "support/SimProcess.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace km740;
using namespace km740::test;

namespace {

const std::string data = std::string(KM740_TEST_DATA) + "/logger";

ToolResult tool(const std::vector<std::string>& args, const std::function<void()>& inChild = {})
{
    return runProgram(KM740_TOOL_PATH, args, inChild);
}

std::function<void()> stdoutTo(const char* path, int flags)
{
    return [path, flags] {
        const int fd = ::open(path, flags);
        ::dup2(fd, STDOUT_FILENO);
    };
}

bool hasTempFile(const std::filesystem::path& dir)
{
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".tmp")
            return true;
    return false;
}

} // namespace

TEST(ToolFileTrust, AnOutputThatIsAnInputIsRefusedAndTheInputKept)
{
    TempFolder dir;
    const auto sonx = dir / "same.sonx";
    const auto image = dir / "img.km740img";
    std::filesystem::copy_file(data + "/sample-set3.sonx", sonx);
    std::filesystem::copy_file(data + "/sample.bin", image);
    std::filesystem::create_symlink(sonx, dir / "link.sonx");
    const std::string sonxBytes = readBytes(sonx);
    const std::string imageBytes = readBytes(image);

    const std::vector<std::vector<std::string>> commands = {
        {"export-csv", sonx, "-o", sonx},
        {"export-csv", sonx, "-o", dir / "link.sonx"},
        {"export-csv", (dir / "link.sonx").string(), "-o", dir / "." / "same.sonx"},
        {"print-pdf", sonx, "-o", dir / "link.sonx"},
        {"export", image, "--set", "3", "-o", image},
    };
    for (const auto& args : commands) {
        const ToolResult r = tool(args);
        EXPECT_NE(r.exitCode, 0) << args[0] << ' ' << args.back();
        EXPECT_NE(r.err.find("it is the input file " + args[1]), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(args.back()), std::string::npos) << r.err;
    }
    // Standard output appended to the input would read what it writes.
    const ToolResult r = tool({"export-csv", sonx}, stdoutTo(sonx.c_str(), O_WRONLY | O_APPEND));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("will not write standard output"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(sonx), sonxBytes);
    EXPECT_EQ(readBytes(image), imageBytes);
    EXPECT_FALSE(hasTempFile(dir.path()));
}

TEST(ToolFileTrust, AFailedWriteToStandardOutputIsAFailure)
{
    TempFolder files;
    const std::string sonx = files / "rt.sonx";
    ASSERT_TRUE(writeDataFile(sonx, DataFile(sampleRealTime(50))));
    const std::vector<std::vector<std::string>> commands = {
        {"export-csv", sonx},
        {"derive", sonx},
        {"derive", sonx, "--distribution", "1"},
        {"print-text", sonx},
        {"show", sonx},
        {"show", sonx, "--json"},
        {"sets", data + "/sample.bin"},
        {"--simulate", "status"},
        {"--simulate", "recording", "--json"},
        {"--simulate", "user-presets", "--json"},
    };
    for (const auto& args : commands) {
        std::string shown;
        for (const auto& a : args)
            shown += a + ' ';
        ToolResult r = tool(args, stdoutTo("/dev/full", O_WRONLY));
        EXPECT_EQ(r.exitCode, 1) << shown << r.err;
        EXPECT_NE(r.err.find("cannot write standard output: No space left on device"), std::string::npos)
            << shown << r.err;
        r = tool(args, [] { ::close(STDOUT_FILENO); });
        EXPECT_EQ(r.exitCode, 1) << shown << r.err;
        EXPECT_NE(r.err.find("Bad file descriptor"), std::string::npos) << shown << r.err;
    }

    // A 64 KiB filesystem takes the first 64 KiB of a longer CSV only.
    SmallDisk disk;
    if (disk.mounted()) {
        TempFolder dir;
        const auto big = dir / "big.sonx";
        ASSERT_TRUE(writeDataFile(big, DataFile(sampleRealTime(3000))));
        const auto out = disk / "out.csv";
        const ToolResult r = tool({"export-csv", big.string()}, stdoutTo(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC));
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    }
}

// A signal that ends the tool in the middle of an export takes its
// temporary file with it; nothing is left that could pass for data.
TEST(ToolFileTrust, ASignalInTheMiddleOfAnExportLeavesNoTemporaryFile)
{
    TempFolder dir;
    const auto big = dir / "big.sonx";
    ASSERT_TRUE(writeDataFile(big, DataFile(sampleRealTime(400000))));
    const auto outDir = dir / "out";
    std::filesystem::create_directory(outDir);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::execl(KM740_TOOL_PATH, KM740_TOOL_PATH, "export-csv", big.c_str(), "-o", (outDir / "out.csv").c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!hasTempFile(outDir) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(hasTempFile(outDir)) << strsignal(signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::kill(pid, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << strsignal(signal) << " came too late";
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(hasTempFile(outDir)) << strsignal(signal);
        EXPECT_FALSE(std::filesystem::exists(outDir / "out.csv")) << strsignal(signal);
    }
}

TEST(ToolFileTrust, InputsThatNeverEndOrNeverComeAreRefused)
{
    TempFolder dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> commands = {
        {"show", "/dev/zero"}, {"print-text", "/dev/zero"}, {"show", fifo.string()}, {"export-csv", fifo.string()}};
    for (const auto& args : commands) {
        const auto started = std::chrono::steady_clock::now();
        const ToolResult r = runProgram(KM740_TOOL_PATH, args, {}, 20);
        EXPECT_EQ(r.exitCode, 1) << args[0] << ' ' << args[1] << r.err;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
        if (args[1] == fifo.string())
            EXPECT_NE(r.err.find("nothing writes to it"), std::string::npos) << r.err;
        else
            EXPECT_NE(r.err.find("not a data file"), std::string::npos) << r.err;
    }
}

// The memory reply gives the size: a disk without room for it is found
// before the first byte is asked for.
TEST(ToolFileTrust, ADownloadThatCannotFitStopsBeforeTheTransfer)
{
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "needs a small tmpfs (root)";
    SimProcess sim(KM740_SIM_PATH, {"--fill-kb", "200"});
    ASSERT_FALSE(sim.device().empty());
    const ToolResult r = tool({"--port", sim.device(), "download", "-o", (disk / "image.bin").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Downloading"), std::string::npos) << r.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.path()), {}), 0);
}
