#include "core/AtomicFile.h"

#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace {

// The POSIX calls, each one logged by name, and the one named in `failAt` failing with
// ENOSPC; a failing write puts half its bytes on the disk first, as a full disk does.
AtomicFile::Calls watched(std::vector<std::string>& log, const std::string& failAt = "") {
    AtomicFile::Calls real = AtomicFile::posixCalls();
    AtomicFile::Calls calls = real;
    auto failing = [&log, failAt](const char* step) {
        log.push_back(step);
        if (failAt != step)
            return false;
        errno = ENOSPC;
        return true;
    };
    calls.create = [=](const char* path) { return failing("create") ? -1 : real.create(path); };
    calls.write = [=](int fd, const char* data, unsigned long size) {
        if (!failing("write"))
            return real.write(fd, data, size);
        real.write(fd, data, size / 2);
        errno = ENOSPC;
        return -1L;
    };
    calls.flush = [=](int fd) { return failing("flush") ? -1 : real.flush(fd); };
    calls.close = [=, &log](int fd) {
        log.push_back("close");
        return real.close(fd);
    };
    calls.rename = [=](const char* from, const char* to) {
        return failing("rename") ? -1 : real.rename(from, to);
    };
    calls.remove = [=, &log](const char* path) {
        log.push_back("remove");
        return real.remove(path);
    };
    calls.flushFolder = [=, &log](const char* folder) {
        log.push_back("flushFolder");
        real.flushFolder(folder);
    };
    return calls;
}

} // namespace

TEST(AtomicFile, WritesTheTemporaryFileFlushesThenRenames) {
    ScratchDir scratch;
    writeFile("game.sav", "old");
    std::vector<std::string> log;
    AtomicFile file("game.sav", watched(log));
    ASSERT_TRUE(file.write("new save")) << file.problem();
    EXPECT_EQ(log, (std::vector<std::string>{"create", "write", "flush", "close", "rename",
                                             "flushFolder"}));
    EXPECT_EQ(readFile("game.sav"), "new save");
    EXPECT_FALSE(std::filesystem::exists("game.sav.tmp"));
}

// A step that fails leaves the old save as it was, and no temporary file.
TEST(AtomicFile, AFailedStepKeepsTheOldFile) {
    const std::pair<std::string, std::string> steps[] = {
        {"create", "cannot create game.sav.tmp: No space left on device"},
        {"write", "cannot write game.sav.tmp: No space left on device"},
        {"flush", "cannot flush game.sav.tmp: No space left on device"},
        {"rename", "cannot rename game.sav.tmp to game.sav: No space left on device"},
    };
    for (const auto& [step, problem] : steps) {
        ScratchDir scratch;
        writeFile("game.sav", "old");
        std::vector<std::string> log;
        AtomicFile file("game.sav", watched(log, step));
        EXPECT_FALSE(file.write(std::string(4096, 'n'))) << step;
        EXPECT_EQ(file.problem(), problem);
        EXPECT_EQ(readFile("game.sav"), "old") << step;
        EXPECT_FALSE(std::filesystem::exists("game.sav.tmp")) << step;
        EXPECT_EQ(log.back(), step == "create" ? "create" : "remove");
    }
}

// The real calls, with the process's file size limit cutting a write off part-way.
TEST(AtomicFile, AWriteCutOffByTheFileSizeLimitKeepsTheOldFile) {
    ScratchDir scratch;
    writeFile("game.sav", "old");
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    AtomicFile file("game.sav");
    const bool written = file.write(std::string(5000, 'n'));
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(file.problem(), "cannot write game.sav.tmp: File too large");
    EXPECT_EQ(readFile("game.sav"), "old");
    EXPECT_FALSE(std::filesystem::exists("game.sav.tmp"));
}
