#include "core/AtomicFile.h"

#include "core/HostPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <utility>

AtomicFile::Calls AtomicFile::posixCalls() {
    Calls calls;
    calls.create = [](const char* path) {
        return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    };
    calls.write = [](int fd, const char* data, unsigned long size) {
        return static_cast<long>(::write(fd, data, size));
    };
    calls.flush = [](int fd) { return ::fsync(fd); };
    calls.close = [](int fd) { return ::close(fd); };
    calls.rename = [](const char* from, const char* to) { return std::rename(from, to); };
    calls.remove = [](const char* path) { return ::unlink(path); };
    calls.flushFolder = [](const char* folder) {
        const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            (void)::fsync(fd);
            ::close(fd);
        }
    };
    return calls;
}

AtomicFile::AtomicFile(std::string path, Calls calls)
    : path_(std::move(path)), calls_(std::move(calls)) {}

bool AtomicFile::fail(const std::string& step, const std::string& file, int error) {
    problem_ = "cannot " + step + " " + file + ": " + std::strerror(error);
    return false;
}

bool AtomicFile::write(std::string_view text) {
    problem_.clear();
    const std::string target = hostPath(path_);
    const std::string temporary = hostPath(temporaryPath());
    const int fd = calls_.create(temporary.c_str());
    if (fd < 0)
        return fail("create", temporaryPath(), errno);
    // Every failure from here on takes the temporary file away again.
    auto abandon = [&](const char* step, int error, bool open) {
        if (open)
            calls_.close(fd);
        calls_.remove(temporary.c_str());
        return fail(step, temporaryPath(), error);
    };
    std::size_t written = 0;
    while (written < text.size()) {
        const long count = calls_.write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return abandon("write", count == 0 ? EIO : errno, true);
        written += static_cast<std::size_t>(count);
    }
    if (calls_.flush(fd) != 0)
        return abandon("flush", errno, true);
    if (calls_.close(fd) != 0)
        return abandon("close", errno, false);
    if (calls_.rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        calls_.remove(temporary.c_str());
        problem_ =
            "cannot rename " + temporaryPath() + " to " + path_ + ": " + std::strerror(error);
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    calls_.flushFolder(folder.empty() ? "." : folder.c_str());
    return true;
}
