// Start-up, frame pacing and memory of the real game, measured under a display.
//
// Run from the repository root (it needs Data/), under Xvfb when there is no display:
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/StartupBench [runs] [idle-seconds]
//
// Defaults: 5 runs, 30 idle seconds. Each run starts this program again as a child process in
// a scratch directory that links Data/; the child runs the game's own start-up (initGame) and
// main-loop steps (dispatchEvent, drawFrame) and reports when its first frame was shown. The
// last run then stays idle for the given time and reports updates and frames per second, the
// game's own event-rate figure, the draw time per frame and the peak memory (VmHWM). The
// game's console goes to bench-console.log in the scratch directory. Figures are printed;
// nothing is asserted.

#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/MainLoop.h"
#include "gfx/BitmapLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string peakMemory() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return line.substr(6);
        }
    }
    return " unknown";
}

// The child: the game's start-up and loop, with the measurements around them. Results go to
// stdout, one "key value" line each.
int runChild(double idleSeconds) {
    if (initGame() == -1) {
        std::printf("failed\n");
        return 1;
    }
    game.quit = false;
    al_start_timer(game.timer);
    double windowStart = al_get_time();
    int eventCount = 0;
    bool redraw = false;
    bool firstFrameShown = false;
    double idleStart = 0.0;
    long updates = 0;
    long frames = 0;
    double drawSeconds = 0.0;
    double worstDraw = 0.0;

    while (!game.quit) {
        al_wait_for_event(game.eventQueue, &game.event);
        if (dispatchEvent(game.event)) {
            redraw = true;
            ++updates;
        }
        countEvent(al_get_time(), windowStart, eventCount);
        if (redraw && al_is_event_queue_empty(game.eventQueue)) {
            const double before = monotonicNow();
            game.displayManager->drawFrame();
            const double drawn = monotonicNow();
            redraw = false;
            if (!firstFrameShown) {
                firstFrameShown = true;
                std::printf("first-frame %.6f\n", drawn);
                std::fflush(stdout);
                if (idleSeconds <= 0.0) {
                    break;
                }
                idleStart = drawn;
                updates = 0;
                continue;
            }
            ++frames;
            drawSeconds += drawn - before;
            worstDraw = std::max(worstDraw, drawn - before);
        }
        if (firstFrameShown && monotonicNow() - idleStart >= idleSeconds) {
            break;
        }
    }
    if (idleSeconds > 0.0) {
        const double elapsed = monotonicNow() - idleStart;
        std::printf("updates-per-second %.2f\n", static_cast<double>(updates) / elapsed);
        std::printf("frames-per-second %.2f\n", static_cast<double>(frames) / elapsed);
        std::printf("game-fps-figure %.2f\n", game.measuredFps);
        std::printf("draw-ms-mean %.3f\n", frames > 0 ? 1000.0 * drawSeconds / frames : 0.0);
        std::printf("draw-ms-worst %.3f\n", 1000.0 * worstDraw);
        std::printf("vmhwm%s\n", peakMemory().c_str());
        ALLEGRO_BITMAP* frame = game.bitmapLibrary->bitmap(BitmapLibrary::standingFirst);
        std::printf("player-frames-on-display %s\n",
                    frame != nullptr && (al_get_bitmap_flags(frame) & ALLEGRO_MEMORY_BITMAP) == 0
                        ? "yes"
                        : "no");
    }
    std::fflush(stdout);
    cleanupGame();
    return 0;
}

struct ChildResult {
    double startupSeconds = -1.0;
    std::vector<std::string> lines;
};

// Starts this program as a child in dir and collects its stdout lines.
ChildResult spawnChild(const std::filesystem::path& dir, double idleSeconds) {
    ChildResult result;
    int out[2];
    if (pipe(out) != 0) {
        return result;
    }
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string idle = std::to_string(idleSeconds);
    const double start = monotonicNow();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        const int log =
            open((dir / "bench-console.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, STDERR_FILENO);
        }
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        execl(self.c_str(), self.c_str(), "--child", idle.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    size_t from = 0;
    while (from < text.size()) {
        const size_t end = text.find('\n', from);
        const std::string line = text.substr(from, end == std::string::npos ? end : end - from);
        if (line.rfind("first-frame ", 0) == 0) {
            result.startupSeconds = std::atof(line.c_str() + 12) - start;
        } else if (!line.empty()) {
            result.lines.push_back(line);
        }
        if (end == std::string::npos)
            break;
        from = end + 1;
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) {
        return runChild(std::atof(argv[2]));
    }
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 5;
    const double idleSeconds = argc >= 3 ? std::atof(argv[2]) : 30.0;
    if (!std::filesystem::is_directory("Data")) {
        std::fprintf(stderr, "Run from the repository root: no Data directory here.\n");
        return 1;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "fennow-bench.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "Could not make a scratch directory.\n");
        return 1;
    }
    const std::filesystem::path dir = pattern;
    std::filesystem::create_directory_symlink(std::filesystem::absolute("Data"), dir / "Data");

    std::vector<double> startups;
    std::vector<std::string> idleLines;
    for (int run = 0; run < runs; ++run) {
        const bool last = run == runs - 1;
        ChildResult result = spawnChild(dir, last ? idleSeconds : 0.0);
        if (result.startupSeconds < 0.0) {
            std::fprintf(stderr, "Run %d showed no frame; see %s/bench-console.log\n", run + 1,
                         dir.c_str());
            return 1;
        }
        std::printf("run %d: start-up to first frame %.1f ms\n", run + 1,
                    1000.0 * result.startupSeconds);
        startups.push_back(result.startupSeconds);
        if (last)
            idleLines = result.lines;
    }
    std::sort(startups.begin(), startups.end());
    std::printf("start-up to first frame, median of %d: %.1f ms (min %.1f, max %.1f)\n", runs,
                1000.0 * startups[startups.size() / 2], 1000.0 * startups.front(),
                1000.0 * startups.back());
    if (idleSeconds > 0.0) {
        std::printf("idle for %.0f s:\n", idleSeconds);
        for (const std::string& line : idleLines)
            std::printf("  %s\n", line.c_str());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
