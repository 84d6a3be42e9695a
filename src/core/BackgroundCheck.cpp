#include "core/BackgroundCheck.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Nice value of the check: the game's frames come first.
constexpr int checkPriority = 10;

bool isProgram(const std::filesystem::path& file) {
    return access(file.c_str(), X_OK) == 0 && !std::filesystem::is_directory(file);
}

} // namespace

BackgroundCheck::~BackgroundCheck() {
    stop();
}

std::string BackgroundCheck::findProgram() {
    if (const char* given = std::getenv("FENNOW_CHECK"))
        return isProgram(given) ? given : "";
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "";
    for (const auto& candidate :
         {self.parent_path() / "tools" / "fennow-check", self.parent_path() / "fennow-check"}) {
        if (isProgram(candidate))
            return candidate.string();
    }
    return "";
}

bool BackgroundCheck::start(const std::string& program, const std::string& mapName,
                            std::string& error) {
    stop();
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::string("no pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    // The check's own console lines would mix with the game's.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> words = {program, "--data", ".", "--map", mapName, "--json"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        error = program + " could not be started: " + std::strerror(failed);
        return false;
    }
    setpriority(PRIO_PROCESS, static_cast<id_t>(pid), checkPriority);
    fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
    pid_ = pid;
    output_ = pipeEnds[0];
    report_.clear();
    started_ = std::chrono::steady_clock::now();
    return true;
}

void BackgroundCheck::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
}

double BackgroundCheck::seconds() const {
    const auto end = running() ? std::chrono::steady_clock::now() : ended_;
    return std::chrono::duration<double>(end - started_).count();
}

bool BackgroundCheck::poll(std::vector<CheckedFinding>& findings, std::string& error) {
    if (!running())
        return false;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(output_, buffer, sizeof buffer);
        if (got > 0) {
            report_.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false; // nothing more for now
        break;            // the check closed its output
    }
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_)
        status = -1;
    pid_ = -1;
    close(output_);
    output_ = -1;
    ended_ = std::chrono::steady_clock::now();
    const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (exitCode != 0 && exitCode != 1) {
        error = "the content check ended without a report (exit status " +
                std::to_string(exitCode) + ")";
        return true;
    }
    readReport(report_, findings, error);
    return true;
}

bool BackgroundCheck::readReport(const std::string& json, std::vector<CheckedFinding>& findings,
                                 std::string& error) {
    const nlohmann::json report = nlohmann::json::parse(json, nullptr, false);
    if (report.is_discarded() || !report.is_object() || !report.contains("findings") ||
        !report["findings"].is_array()) {
        error = "the content check's report could not be read";
        return false;
    }
    for (const nlohmann::json& entry : report["findings"]) {
        if (!entry.is_object())
            continue;
        CheckedFinding finding;
        ScriptProblem& problem = finding.problem;
        problem.kind =
            problemKindFromName(entry.value("kind", "error")).value_or(ProblemKind::Error);
        problem.message = entry.value("message", "");
        problem.file = entry.value("file", "");
        problem.line = entry.value("line", 0);
        problem.helperFile = entry.value("helperFile", "");
        problem.helperLine = entry.value("helperLine", 0);
        finding.path = entry.value("path", "");
        findings.push_back(std::move(finding));
    }
    return true;
}
