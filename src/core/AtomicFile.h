#pragma once

#include <functional>
#include <string>
#include <string_view>

// Replaces a file so that a crash or a power cut at any moment leaves either the old file or
// the new one, never a mix: the text goes to "PATH.tmp" in the same folder, is flushed to the
// disk, and only then renamed over PATH. When a step fails the temporary file is removed and
// PATH is untouched.
class AtomicFile {
  public:
    // The system calls it makes, in their POSIX form; a test puts its own in to watch the
    // order or to fail a step part-way.
    struct Calls {
        std::function<int(const char* path)> create;
        std::function<long(int fd, const char* data, unsigned long size)> write;
        std::function<int(int fd)> flush;
        std::function<int(int fd)> close;
        std::function<int(const char* from, const char* to)> rename;
        std::function<int(const char* path)> remove;
        // Makes the rename itself lasting; its failure is not the save's.
        std::function<void(const char* folder)> flushFolder;
    };
    static Calls posixCalls();

    explicit AtomicFile(std::string path, Calls calls = posixCalls());

    // True when the file now holds exactly `text`. Otherwise false, and problem() says which
    // step failed and why ("cannot write FennowOnline.sav.tmp: No space left on device").
    bool write(std::string_view text);
    const std::string& problem() const { return problem_; }
    std::string temporaryPath() const { return path_ + ".tmp"; }

  private:
    bool fail(const std::string& step, const std::string& file, int error);

    std::string path_;
    Calls calls_;
    std::string problem_;
};
