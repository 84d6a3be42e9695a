// The performance report of the game: start-up, frame composition, frame rate, map loading
// and script dispatch, measured in one run and printed as Markdown on the standard output
// (scripts/perf-report.sh puts it into docs/performance.md with the machine it ran on).
//
// Run from the repository root (it needs Data/), under Xvfb when there is no display:
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/GameReport [startup-runs] [idle-seconds]
//
// Defaults: 10 start-up runs (and as many drawing the world layer by layer), 60 idle seconds
// (for each of three runs). Start-up, the idle runs and the idle reference (a bare Allegro
// program drawing full-window bitmaps) happen in child processes (this program started again
// in a scratch directory that links Data/); the parent stamps every console line of the child as it
// arrives, which splits start-up into its stages without touching the game's code. Every other
// figure is measured in this process after the game's own initGame, with the game's console sent to
// a log file. Nothing is asserted.

#include "../tests/map/MapImageBuilder.h"
#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/MainLoop.h"
#include "gfx/BitmapLibrary.h"
#include "gui/Gui.h"
#include "map/MapLibrary.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "world/Conversation.h"
#include "world/Environment.h"
#include "world/MapTravel.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_opengl.h>
#include <malloc.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

double monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// A full-window bitmap of opaque pixels that vary, as a map layer that covers the window does.
ALLEGRO_BITMAP* makeFullWindowBitmap(int seed) {
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(windowWidth, windowHeight);
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    for (int y = 0; y < windowHeight; ++y) {
        auto* row = static_cast<unsigned char*>(region->data) + y * region->pitch;
        for (int x = 0; x < windowWidth; ++x) {
            row[4 * x] = static_cast<unsigned char>(x * 7 + seed * 50);
            row[4 * x + 1] = static_cast<unsigned char>(y * 3);
            row[4 * x + 2] = static_cast<unsigned char>(x ^ y);
            row[4 * x + 3] = 255;
        }
    }
    al_unlock_bitmap(bitmap);
    return bitmap;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The process's peak resident memory so far (VmHWM), in kB; -1 when it cannot be read.
long peakResidentKb() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    std::fclose(status);
    return kb;
}

// ---------------------------------------------------------------- child processes

// Start-up child: the game's initGame, then the main-loop steps until the first frame is shown.
// Prints "init-done T" and "first-frame T" (monotonic seconds) on stdout.
int runStartupChild() {
    if (initGame() == -1) {
        std::printf("failed\n");
        return 1;
    }
    std::printf("init-done %.6f\n", monotonicNow());
    std::fflush(stdout);
    game.quit = false;
    al_start_timer(game.timer);
    double windowStart = al_get_time();
    int eventCount = 0;
    bool redraw = false;
    while (!game.quit) {
        al_wait_for_event(game.eventQueue, &game.event);
        if (dispatchEvent(game.event))
            redraw = true;
        countEvent(al_get_time(), windowStart, eventCount);
        if (redraw && al_is_event_queue_empty(game.eventQueue)) {
            game.displayManager->drawFrame();
            std::printf("first-frame %.6f\n", monotonicNow());
            std::fflush(stdout);
            break;
        }
    }
    cleanupGame();
    return 0;
}

// Idle child: the game's loop as main runs it, left alone for the given time. Prints the frames
// drawn per second on average and in the worst whole second, and the game's own event rate.
int runIdleChild(double idleSeconds) {
    if (initGame() == -1) {
        std::printf("failed\n");
        return 1;
    }
    game.quit = false;
    al_start_timer(game.timer);
    double windowStart = al_get_time();
    int eventCount = 0;
    bool redraw = false;
    const double start = monotonicNow();
    const double cpuStart = cpuSeconds();
    std::vector<int> framesPerSecond(static_cast<size_t>(std::ceil(idleSeconds)) + 1, 0);
    long frames = 0;
    long ticks = 0;
    double drawSeconds = 0.0;
    while (!game.quit) {
        al_wait_for_event(game.eventQueue, &game.event);
        if (dispatchEvent(game.event)) {
            redraw = true;
            ++ticks;
        }
        countEvent(al_get_time(), windowStart, eventCount);
        if (redraw && al_is_event_queue_empty(game.eventQueue)) {
            const double before = monotonicNow();
            game.displayManager->drawFrame();
            const double now = monotonicNow();
            drawSeconds += now - before;
            redraw = false;
            const double since = now - start;
            if (since >= idleSeconds)
                break;
            ++framesPerSecond[static_cast<size_t>(since)];
            ++frames;
        }
    }
    const double elapsed = monotonicNow() - start;
    const double cpu = cpuSeconds() - cpuStart;
    framesPerSecond.resize(static_cast<size_t>(idleSeconds));
    std::printf("fps-mean %.2f\n", static_cast<double>(frames) / elapsed);
    std::printf("fps-worst-second %d\n",
                *std::min_element(framesPerSecond.begin(), framesPerSecond.end()));
    std::printf("ticks-per-second %.2f\n", static_cast<double>(ticks) / elapsed);
    std::printf("game-fps-figure %.2f\n", game.measuredFps);
    std::printf("draw-ms-mean %.3f\n", frames > 0 ? 1000.0 * drawSeconds / frames : 0.0);
    std::printf("cpu-per-second %.3f\n", cpu / elapsed);
    std::printf("peak-kb %ld\n", peakResidentKb());
    std::printf("layers %d\n", game.mapManager->isReady() ? game.mapManager->layerCount() : 1);
    std::fflush(stdout);
    cleanupGame();
    return 0;
}

// Reference child: a bare Allegro program that draws `layers` full-window bitmaps into every
// frame, paced by a 60 Hz timer as the game's loop is, for the given time. Prints its CPU
// seconds per second and frames per second.
int runReferenceChild(int layers, double seconds) {
    if (!al_init()) {
        std::printf("failed\n");
        return 1;
    }
    ALLEGRO_DISPLAY* display = al_create_display(windowWidth, windowHeight);
    ALLEGRO_TIMER* timer = al_create_timer(1.0 / 60.0);
    ALLEGRO_EVENT_QUEUE* queue = al_create_event_queue();
    if (display == nullptr || timer == nullptr || queue == nullptr) {
        std::printf("failed\n");
        return 1;
    }
    al_register_event_source(queue, al_get_timer_event_source(timer));
    al_register_event_source(queue, al_get_display_event_source(display));
    std::vector<ALLEGRO_BITMAP*> fills;
    for (int i = 0; i < layers; ++i)
        fills.push_back(makeFullWindowBitmap(i));
    al_start_timer(timer);
    const double start = monotonicNow();
    const double cpuStart = cpuSeconds();
    long frames = 0;
    bool redraw = false;
    while (monotonicNow() - start < seconds) {
        ALLEGRO_EVENT event;
        al_wait_for_event(queue, &event);
        if (event.type == ALLEGRO_EVENT_TIMER)
            redraw = true;
        if (redraw && al_is_event_queue_empty(queue)) {
            al_set_target_backbuffer(display);
            al_clear_to_color(al_map_rgb(0, 0, 0));
            for (ALLEGRO_BITMAP* fill : fills)
                al_draw_bitmap(fill, 0, 0, 0);
            al_flip_display();
            redraw = false;
            ++frames;
        }
    }
    const double elapsed = monotonicNow() - start;
    std::printf("cpu-per-second %.3f\n", (cpuSeconds() - cpuStart) / elapsed);
    std::printf("fps-mean %.2f\n", static_cast<double>(frames) / elapsed);
    std::fflush(stdout);
    for (ALLEGRO_BITMAP* fill : fills)
        al_destroy_bitmap(fill);
    al_destroy_event_queue(queue);
    al_destroy_timer(timer);
    al_destroy_display(display);
    return 0;
}

struct StampedLine {
    double time;
    std::string text;
};

struct ChildRun {
    double start = 0.0;
    std::vector<StampedLine> out; // stdout lines, stamped on arrival
    std::vector<StampedLine> err; // console lines, stamped on arrival
};

// Splits what arrived on one pipe into whole lines, stamping each with the arrival time.
void takeLines(std::string& pending, std::vector<StampedLine>& lines, double now) {
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        lines.push_back({now, pending.substr(0, end)});
        pending.erase(0, end + 1);
    }
}

// The ways a child game draws its world: through the map picture, or layer by layer as before
// the picture existed (FENNOW_DRAW_LAYERS=1).
enum class World { Picture, Layers };

ChildRun runChild(const std::filesystem::path& dir, const std::vector<std::string>& args,
                  World world = World::Picture) {
    ChildRun run;
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return run;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(self.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    run.start = monotonicNow();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(out[0]);
        close(out[1]);
        close(err[0]);
        close(err[1]);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        if (world == World::Layers)
            setenv("FENNOW_DRAW_LAYERS", "1", 1);
        else
            unsetenv("FENNOW_DRAW_LAYERS");
        execv(self.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string pending[2];
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0)
            break;
        const double now = monotonicNow();
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0)
                continue;
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            pending[i].append(buffer, static_cast<size_t>(n));
            takeLines(pending[i], i == 0 ? run.out : run.err, now);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return run;
}

double stampOf(const std::vector<StampedLine>& lines, const char* prefix) {
    for (const StampedLine& line : lines)
        if (line.text.rfind(prefix, 0) == 0)
            return line.time;
    return -1.0;
}

// The value a child printed as "key value" on its stdout.
std::string valueOf(const ChildRun& run, const std::string& key) {
    for (const StampedLine& line : run.out)
        if (line.text.rfind(key + " ", 0) == 0)
            return line.text.substr(key.size() + 1);
    return "";
}

// ---------------------------------------------------------------- start-up

struct StartupStages {
    double total, process, allegro, window, library, managers, config, scripts, map, frame;
};

bool startupStages(const ChildRun& run, StartupStages& s) {
    const double begin = stampOf(run.err, "== Begin Init ==");
    const double display = stampOf(run.err, "Creating display manager");
    const double library = stampOf(run.err, "Creating bitmap library");
    const double libraryDone = stampOf(run.err, "Ripping Bitmaps Directly");
    const double doneInit = stampOf(run.err, "== Done Init ==");
    const double luaBegin = stampOf(run.err, "== Init Lua ==");
    const double luaDone = stampOf(run.err, "== Lua Init Complete ==");
    const std::string initDone = valueOf(run, "init-done");
    const std::string firstFrame = valueOf(run, "first-frame");
    if (begin < 0 || display < 0 || library < 0 || libraryDone < 0 || doneInit < 0 ||
        luaBegin < 0 || luaDone < 0 || initDone.empty() || firstFrame.empty())
        return false;
    const double init = std::atof(initDone.c_str());
    const double frame = std::atof(firstFrame.c_str());
    s.total = frame - run.start;
    s.process = begin - run.start;
    s.allegro = display - begin;
    s.window = library - display;
    s.library = libraryDone - library;
    s.managers = doneInit - libraryDone;
    s.config = luaBegin - doneInit;
    s.scripts = luaDone - luaBegin;
    s.map = init - luaDone;
    s.frame = frame - init;
    return true;
}

bool reportStartup(const std::filesystem::path& dir, int runs) {
    // The runs take turns with one that draws the world layer by layer, so that a busy moment
    // of the shared machine touches both alike.
    std::vector<StartupStages> all;
    std::vector<double> layerTotals;
    for (int i = 0; i < runs; ++i) {
        StartupStages stages{};
        StartupStages layerStages{};
        if (!startupStages(runChild(dir, {"--child-startup"}), stages) ||
            !startupStages(runChild(dir, {"--child-startup"}, World::Layers), layerStages)) {
            std::fprintf(stderr, "GameReport: a start-up run showed no frame\n");
            return false;
        }
        all.push_back(stages);
        layerTotals.push_back(1000.0 * layerStages.total);
    }
    auto column = [&](double StartupStages::*field) {
        std::vector<double> values;
        for (const StartupStages& s : all)
            values.push_back(1000.0 * (s.*field));
        return values;
    };
    const std::vector<double> totals = column(&StartupStages::total);
    std::printf("## Start-up to the first frame\n\n");
    std::printf("Median of %d runs of the game's `initGame` and main-loop steps until the first "
                "frame is flipped, from `fork` of a fresh process: **%.0f ms** (min %.0f, max "
                "%.0f).\n\n",
                runs, median(totals), *std::min_element(totals.begin(), totals.end()),
                *std::max_element(totals.begin(), totals.end()));
    std::printf("Stages, split at the console lines the game prints (median of each stage, "
                "so the stages need not add up exactly to the total):\n\n");
    std::printf("| Stage | Ends at | ms (median) |\n|---|---|---:|\n");
    struct Row {
        const char* stage;
        const char* endsAt;
        double StartupStages::*field;
    };
    const Row rows[] = {
        {"process start, dynamic linking", "`== Begin Init ==`", &StartupStages::process},
        {"Allegro, add-ons, keyboard, mouse, timer, Lua state", "`Creating display manager`",
         &StartupStages::allegro},
        {"window (`al_create_display`, GL context)", "`Creating bitmap library`",
         &StartupStages::window},
        {"bitmap library (sheets, frames, fonts)", "`Ripping Bitmaps Directly - done`",
         &StartupStages::library},
        {"player, bindings, characters, GUI, ground", "`== Done Init ==`",
         &StartupStages::managers},
        {"configuration file", "`== Init Lua ==`", &StartupStages::config},
        {"start-up scripts", "`== Lua Init Complete ==`", &StartupStages::scripts},
        {"start map and its script", "`initGame` returns", &StartupStages::map},
        {"first frame (first tick, compose, flip)", "first flip returns", &StartupStages::frame},
    };
    for (const Row& row : rows)
        std::printf("| %s | %s | %.1f |\n", row.stage, row.endsAt, median(column(row.field)));
    std::printf("| **total** | | **%.1f** |\n\n", median(totals));
    std::printf("The same start-up with the world drawn layer by layer (`FENNOW_DRAW_LAYERS=1`, "
                "runs taking turns with the ones above): **%.0f ms** (min %.0f, max %.0f); "
                "with the map picture against layer by layer: %.2f.\n\n",
                median(layerTotals), *std::min_element(layerTotals.begin(), layerTotals.end()),
                *std::max_element(layerTotals.begin(), layerTotals.end()),
                median(totals) / median(layerTotals));
    return true;
}

double numberOf(const ChildRun& run, const char* key) {
    return std::atof(valueOf(run, key).c_str());
}

void reportIdle(const std::filesystem::path& dir, double idleSeconds) {
    const std::string seconds = std::to_string(idleSeconds);
    const ChildRun picture = runChild(dir, {"--child-idle", seconds});
    const ChildRun layers = runChild(dir, {"--child-idle", seconds}, World::Layers);
    const std::string layerCount = valueOf(picture, "layers");
    const ChildRun reference = runChild(dir, {"--child-reference", layerCount, seconds});
    std::printf("## Frame rate, CPU and memory while idle\n\n");
    std::printf("The game's loop left alone for %.0f s on the start map (ticks at 60 Hz, a "
                "frame drawn when a tick asked for one and the queue is empty), once with the "
                "map picture and once drawing the world layer by layer (`FENNOW_DRAW_LAYERS=1`), "
                "each in a process of its own; then, for the same time, the reference: a bare "
                "Allegro program drawing %s full-window bitmaps (as many as the map has layers) "
                "into every frame at 60 Hz. CPU is the process's user and system time over the "
                "idle time, Mesa's rendering threads included (the X server's is not); peak "
                "memory is the process's `VmHWM` at the end.\n\n",
                idleSeconds, layerCount.c_str());
    std::printf("| Figure | map picture | layer by layer |\n|---|---:|---:|\n");
    const struct {
        const char* figure;
        const char* key;
        const char* unit;
    } rows[] = {
        {"frames per second, mean", "fps-mean", ""},
        {"frames in the worst whole second", "fps-worst-second", ""},
        {"timer ticks handled per second", "ticks-per-second", ""},
        {"the game's own `FPS` figure at the end", "game-fps-figure", ""},
        {"`drawFrame` time per frame, mean", "draw-ms-mean", " ms"},
        {"CPU seconds per second", "cpu-per-second", ""},
    };
    for (const auto& row : rows)
        std::printf("| %s | %s%s | %s%s |\n", row.figure, valueOf(picture, row.key).c_str(),
                    row.unit, valueOf(layers, row.key).c_str(), row.unit);
    std::printf("| peak resident memory (`VmHWM`) | %.1f MB | %.1f MB |\n\n",
                numberOf(picture, "peak-kb") / 1024.0, numberOf(layers, "peak-kb") / 1024.0);
    const double referenceCpu = numberOf(reference, "cpu-per-second");
    std::printf("The reference used %s CPU seconds per second at %s frames per second.\n\n",
                valueOf(reference, "cpu-per-second").c_str(),
                valueOf(reference, "fps-mean").c_str());
    if (referenceCpu > 0)
        std::printf("Idle CPU against the reference: **%.2f** with the map picture, %.2f layer by "
                    "layer.\n\n",
                    numberOf(picture, "cpu-per-second") / referenceCpu,
                    numberOf(layers, "cpu-per-second") / referenceCpu);
}

// ---------------------------------------------------------------- in-process figures

// Milliseconds per frame of each way of drawing, every frame cleared and flipped: the median
// over rounds of 60 frames, the ways taking turns within each round so that a busy moment of
// the shared machine touches all of them alike.
std::vector<double> msPerFrame(const std::vector<std::function<void()>>& ways) {
    constexpr int rounds = 11;
    constexpr int framesPerRound = 60;
    std::vector<std::vector<double>> samples(ways.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t w = 0; w < ways.size(); ++w) {
            const double start = monotonicNow();
            for (int frame = 0; frame < framesPerRound; ++frame) {
                ALLEGRO_BITMAP* target = al_get_backbuffer(game.display);
                al_set_target_bitmap(target);
                al_clear_to_color(al_map_rgb(0, 0, 0));
                ways[w]();
                al_flip_display();
            }
            samples[w].push_back((monotonicNow() - start) * 1000.0 / framesPerRound);
        }
    }
    std::vector<double> result;
    for (const auto& s : samples)
        result.push_back(median(s));
    return result;
}

long bitmapArea(ALLEGRO_BITMAP* bitmap) {
    return bitmap ? static_cast<long>(al_get_bitmap_width(bitmap)) * al_get_bitmap_height(bitmap)
                  : 0;
}

const Npc* clickTarget() {
    const Npc* quilla = game.npcManager->findNpcByName("Quilla");
    return quilla ? quilla : game.npcManager->npc(0);
}

void clickOn(const Npc* npc) {
    const int x = (npc->left() + npc->right()) / 2;
    const int y = (npc->top() + npc->bottom()) / 2;
    game.environment->handleMouse(ButtonState::Press, x, y);
    game.environment->handleMouse(ButtonState::Release, x, y);
}

// The OpenGL renderer of the game's window (llvmpipe when Mesa renders in software).
std::string glRenderer() {
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(al_get_opengl_proc_address("glGetString"));
    const unsigned char* text = getString ? getString(GL_RENDERER) : nullptr;
    const unsigned char* version = getString ? getString(GL_VERSION) : nullptr;
    return std::string(text ? reinterpret_cast<const char*>(text) : "unknown") + ", OpenGL " +
           (version ? reinterpret_cast<const char*>(version) : "unknown");
}

// The frame's pixels in the back buffer after a composition, read back.
std::vector<uint32_t> frameRead(ALLEGRO_BITMAP* back) {
    DisplayManager* const display = game.displayManager;
    display->composeFrame(back);
    std::vector<uint32_t> pixels;
    const ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(back, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    if (region == nullptr)
        return pixels;
    for (int y = 0; y < windowHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(region->data) +
                                                            static_cast<long>(y) * region->pitch);
        pixels.insert(pixels.end(), row, row + windowWidth);
    }
    al_unlock_bitmap(back);
    return pixels;
}

// Pixels of the whole frame that differ between the map picture and the layers one by one
// (-1 when the back buffer cannot be read).
long differingPixels(ALLEGRO_BITMAP* back,
                     const std::function<void(const std::function<void()>&)>& layerByLayer) {
    const std::vector<uint32_t> pictured = frameRead(back);
    std::vector<uint32_t> layered;
    layerByLayer([&] { layered = frameRead(back); });
    if (pictured.empty() || pictured.size() != layered.size())
        return -1;
    long count = 0;
    for (size_t i = 0; i < pictured.size(); ++i)
        count += pictured[i] != layered[i];
    return count;
}

void reportFrame() {
    const Npc* npc = clickTarget();
    if (npc != nullptr)
        clickOn(npc);
    const bool chatShown = game.gui->chatOpen();
    ALLEGRO_BITMAP* back = al_get_backbuffer(game.display);
    const int layers = game.mapManager->isReady() ? game.mapManager->layerCount() : 1;

    // Everything but the full-window layers, as pixel area: player, characters, chat box.
    long spriteArea = bitmapArea(game.bitmapLibrary->bitmap(BitmapLibrary::standingFirst));
    for (int i = 0; i < game.npcManager->getNpcCount(); ++i)
        spriteArea += bitmapArea(game.npcManager->npc(i)->bitmap());
    spriteArea += bitmapArea(game.bitmapLibrary->bitmap(BitmapLibrary::chatBox));
    const long windowArea = static_cast<long>(windowWidth) * windowHeight;
    const int extraDraws = static_cast<int>((spriteArea + windowArea - 1) / windowArea);
    const int floorDraws = layers + extraDraws;

    std::vector<ALLEGRO_BITMAP*> fills;
    for (int i = 0; i < floorDraws; ++i)
        fills.push_back(makeFullWindowBitmap(i));

    DisplayManager* const display = game.displayManager;
    display->setDrawLayerByLayer(false);
    auto layerByLayer = [display](const std::function<void()>& draw) {
        display->setDrawLayerByLayer(true);
        draw();
        display->setDrawLayerByLayer(false);
    };
    const std::vector<double> ms = msPerFrame({
        [] {},
        [&] { game.environment->draw(back); },
        [&] { display->drawWorld(back); },
        [&] { game.player->draw(back); },
        [&] { game.npcManager->drawAll(back); },
        [&] { game.gui->draw(back); },
        [&] { layerByLayer([&] { display->composeFrame(back); }); },
        [&] { display->composeFrame(back); },
        [&] {
            for (ALLEGRO_BITMAP* fill : fills)
                al_draw_bitmap(fill, 0, 0, 0);
        },
    });
    for (ALLEGRO_BITMAP* fill : fills)
        al_destroy_bitmap(fill);
    const double base = ms[0];
    const double layered = ms[6] - base;
    const double pictured = ms[7] - base;
    const double floor = ms[8] - base;

    std::printf("## Frame composition\n\n");
    std::printf("The window's renderer: %s.\n\n", glRenderer().c_str());
    std::printf("One 800 x 600 frame of the start map (its collision switched on by its script) "
                "with the player, %d characters and the "
                "chat box %s (after a click on %s: portrait and dialogue lines), measured in "
                "one run. Each way is drawn into the back buffer after a clear and followed by a "
                "flip; the net figure subtracts the clear-and-flip alone. The world (the map's "
                "layers) is drawn either layer by layer, as `Environment::draw` does, or as the "
                "picture of them composed once and copied. The fill floor draws %d full-window "
                "bitmaps: one per map layer (%d) and %d for the player, characters and chat box, "
                "whose pixels together cover %.0f%% of the window.\n\n",
                game.npcManager->getNpcCount(), chatShown ? "open" : "NOT open",
                npc ? npc->getName() : "nobody", floorDraws, layers, extraDraws,
                100.0 * static_cast<double>(spriteArea) / static_cast<double>(windowArea));
    std::printf("| Part of the frame | ms per frame | net ms |\n|---|---:|---:|\n");
    const char* names[] = {"clear and flip alone",
                           "map layers one by one (`Environment::draw`)",
                           "map picture (`DisplayManager::drawWorld`)",
                           "player (`Player::draw`)",
                           "characters (`NpcManager::drawAll`)",
                           "buttons and open chat box (`Gui::draw`)",
                           "**whole frame**, layer by layer (`composeFrame`, texts included)",
                           "**whole frame**, map picture (`composeFrame`, texts included)",
                           "**fill floor** (full-window bitmap draws)"};
    for (size_t i = 0; i < ms.size(); ++i)
        std::printf("| %s | %.2f | %.2f |\n", names[i], ms[i], i == 0 ? 0.0 : ms[i] - base);
    std::printf("\nWhole frame against the fill floor (net): **%.2f** with the map picture "
                "(%.2f ms against %.2f ms), %.2f layer by layer (%.2f ms).\n\n",
                floor > 0 ? pictured / floor : 0.0, pictured, floor,
                floor > 0 ? layered / floor : 0.0, layered);
    std::printf("The two ways give the same picture: of the %d pixels of the whole frame read "
                "back from the back buffer, %ld differ.\n\n",
                windowWidth * windowHeight, differingPixels(back, layerByLayer));
    game.conversation->close();
}

void reportClick() {
    const Npc* npc = clickTarget();
    std::printf("## Script dispatch\n\n");
    if (npc == nullptr) {
        std::printf("No character was spawned; nothing measured.\n\n");
        return;
    }
    std::vector<double> samples;
    bool opened = true;
    for (int i = 0; i < 500; ++i) {
        game.conversation->close();
        const double start = monotonicNow();
        clickOn(npc);
        samples.push_back(1e6 * (monotonicNow() - start));
        opened = opened && game.gui->chatOpen();
    }
    std::sort(samples.begin(), samples.end());
    std::printf("A press and release on %s: `Environment::handleMouse` finds the character, "
                "`Conversation` runs its script from disk (`ScriptHost::runFile`) and opens the "
                "chat box. 500 clicks, chat box open after each: %s.\n\n",
                npc->getName(), opened ? "yes" : "NO");
    std::printf("| Figure | us per click |\n|---|---:|\n");
    std::printf("| median | %.1f |\n| 10th percentile | %.1f |\n| 90th percentile | %.1f |\n\n",
                samples[samples.size() / 2], samples[samples.size() / 10],
                samples[samples.size() * 9 / 10]);
}

// Map of size x size cells in 8 layers of the run-length type 1, with 64 graphics of 32 x 32.
std::vector<uint8_t> makeMapImage(int size) {
    constexpr int graphics = 64;
    constexpr int layers = 8;
    MapImageBuilder b;
    MapImageBuilder::Header& h = b.header;
    h.mapType = 1;
    h.byteOrder = 1;
    h.mapWidth = h.mapHeight = size;
    h.blockWidth = h.blockHeight = h.columnStep = h.rowStep = 32;
    h.blockDepth = 32;
    h.blockCount = h.graphicCount = graphics;
    b.mphd();
    std::vector<MapImageBuilder::Block> blocks(graphics);
    for (int i = 0; i < graphics; ++i)
        blocks[i].background = i;
    b.bkdt(blocks);
    std::vector<uint8_t> pixels;
    for (int i = 0; i < graphics * 32 * 32; ++i)
        pixels.insert(pixels.end(), {0, uint8_t(i), uint8_t(i >> 4), 200});
    b.bgfx(pixels);
    static const char* ids[layers] = {"BODY", "LYR1", "LYR2", "LYR3",
                                      "LYR4", "LYR5", "LYR6", "LYR7"};
    std::vector<int> cells(size_t(size) * size);
    for (int layer = 0; layer < layers; ++layer) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                cells[size_t(y) * size + x] = ((x / 4) + (y / 2) * 7 + layer) % graphics;
        b.layer(ids[layer], cells);
    }
    return b.image();
}

size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void reportMapLoad() {
    std::printf("## Map load against map size\n\n");
    std::printf("Generated maps of 8 layers (run-length type 1) with 64 graphics of 32 x 32, "
                "decoded from memory by `MapLibrary::decodeMap` with the window open (so the "
                "graphics become display bitmaps, as in the game). Time is the median of 7 "
                "loads; memory is the heap the loaded map holds.\n\n");
    std::printf("| Cells per layer | File KB | Load ms | Heap held KB | Added ns per added cell | "
                "Added bytes per added cell |\n|---:|---:|---:|---:|---:|---:|\n");
    double lastMs = 0.0;
    double lastHeld = 0.0;
    double lastCells = 0.0;
    for (int size : {64, 128, 256, 512, 1024}) {
        const std::vector<uint8_t> bytes = makeMapImage(size);
        MapLibrary::freeMap();
        const size_t before = heapInUse();
        if (MapLibrary::decodeMap(bytes.data(), bytes.size(), 1) != 0) {
            std::printf("| %d x %d | failed: %s |\n", size, size, MapLibrary::lastErrorDetail());
            continue;
        }
        const size_t held = heapInUse() - before;
        std::vector<double> samples;
        for (int i = 0; i < 7; ++i) {
            MapLibrary::freeMap();
            const double start = monotonicNow();
            MapLibrary::decodeMap(bytes.data(), bytes.size(), 1);
            samples.push_back(monotonicNow() - start);
        }
        const double cells = 8.0 * size * size;
        const double ms = 1000.0 * median(samples);
        const double addedCells = cells - lastCells;
        std::printf("| %d x %d | %.0f | %.2f | %.0f | %.2f | %.2f |\n", size, size,
                    bytes.size() / 1024.0, ms, held / 1024.0, 1e6 * (ms - lastMs) / addedCells,
                    (static_cast<double>(held) - lastHeld) / addedCells);
        lastMs = ms;
        lastHeld = static_cast<double>(held);
        lastCells = cells;
    }
    MapLibrary::freeMap();
    std::printf("\nEach row has 4 times the cells of the row above (8 layers of them). Growth is "
                "linear when the cost of the added cells stays level from row to row: a fixed "
                "part (the 64 graphics, made into display bitmaps) plus a constant cost per "
                "cell. The first row's added figures include that fixed part.\n\n");

    std::vector<double> samples;
    for (int i = 0; i < 7; ++i) {
        game.mapManager->unload();
        const double start = monotonicNow();
        game.mapManager->load("WillowCreekFarm");
        samples.push_back(monotonicNow() - start);
    }
    std::printf("The shipped start map through `MapManager::load` (file read, decode, map "
                "script, characters spawned): **%.2f ms** (median of 7).\n\n",
                1000.0 * median(samples));
}

// ---------------------------------------------------------------- the world to walk in

// Microseconds per tick of the player walking diagonally on the start map, with the map's
// collision (solid cells, the characters' feet, the window, and the exits looked at after the
// move) and without; the median over rounds, the two taking turns.
void reportCollision() {
    Player& player = *game.player;
    MapTravel& travel = *game.mapTravel;
    const bool wasOn = travel.settings().collision;
    travel.setCollision(true);
    player.primaryKeys[Player::Down] = true;
    player.primaryKeys[Player::Right] = true;
    constexpr int ticks = 600;
    std::vector<double> with;
    std::vector<double> without;
    for (int round = 0; round < 15; ++round) {
        for (const bool collide : {true, false}) {
            player.x = 440.0f;
            player.y = 200.0f;
            const double start = monotonicNow();
            for (int i = 0; i < ticks; ++i) {
                if (collide) {
                    player.update(travel.collisionForTick());
                    travel.afterPlayerMoved();
                } else {
                    player.update();
                }
                // Round and round the same stretch, never off to another map.
                if (i % 120 == 119) {
                    player.x = 440.0f;
                    player.y = 200.0f;
                }
            }
            travel.takePending();
            (collide ? with : without).push_back((monotonicNow() - start) * 1e6 / ticks);
        }
    }
    player.primaryKeys[Player::Down] = false;
    player.primaryKeys[Player::Right] = false;
    player.x = 440.0f;
    player.y = 200.0f;
    travel.setCollision(wasOn);
    const double withUs = median(with);
    const double withoutUs = median(without);
    std::printf("## Collision\n\n");
    std::printf("One tick of the player walking diagonally across the start map (%d ticks a "
                "round, 15 rounds, the median). With collision the tick also gathers the "
                "characters' feet, resolves each axis in steps of at most 4 pixels against the "
                "solid cells, the feet and the window, and looks for an exit under the feet.\n\n",
                ticks);
    std::printf("| Tick | us per tick |\n|---|---:|\n");
    std::printf("| without collision (`Player::update`) | %.3f |\n", withoutUs);
    std::printf("| with collision (`collisionForTick`, `update`, `afterPlayerMoved`) | %.3f |\n\n",
                withUs);
    std::printf("Collision per tick: **%.3f us** more, %.4f%% of the 16.7 ms a tick lasts.\n\n",
                withUs - withoutUs, 100.0 * (withUs - withoutUs) / 16667.0);
}

// From the moment the player's feet enter an exit to the first frame of the new map flipped:
// MapTravel::travel (the map file read and decoded, the characters kept and brought back, the
// first visit's script) and one frame composed with the new map's picture.
void reportMapChange() {
    ALLEGRO_BITMAP* back = al_get_backbuffer(game.display);
    MapTravel& travel = *game.mapTravel;
    auto change = [&](const char* map, int x, int y) {
        const double start = monotonicNow();
        travel.travel(map, x, y);
        game.displayManager->composeFrame(back);
        al_flip_display();
        return 1000.0 * (monotonicNow() - start);
    };
    const double first = change("CloverMeadow", 60, 250);
    std::vector<double> back1;
    std::vector<double> there;
    back1.push_back(change("WillowCreekFarm", 640, 250));
    for (int i = 0; i < 7; ++i) {
        there.push_back(change("CloverMeadow", 60, 250));
        back1.push_back(change("WillowCreekFarm", 640, 250));
    }
    std::printf("## A map change\n\n");
    std::printf("From the exit to the first frame of the new map: `MapTravel::travel` (the map "
                "file read and decoded, the characters kept and brought back or, on a first "
                "visit, the map's script), then one whole frame composed with the new map's "
                "picture and flipped.\n\n");
    std::printf("| Change | ms |\n|---|---:|\n");
    std::printf("| farm to Clover Meadow, first visit (its script runs) | %.2f |\n", first);
    std::printf("| farm to Clover Meadow, again (median of 7) | %.2f |\n", median(there));
    std::printf("| Clover Meadow to the farm (median of 8) | %.2f |\n\n", median(back1));
    std::printf("A map change: **%.2f ms** at most of these, against the goal of 50 ms.\n\n",
                std::max({first, median(there), median(back1)}));
}

int runReport(int startupRuns, double idleSeconds) {
    if (!std::filesystem::is_directory("Data")) {
        std::fprintf(stderr, "GameReport: run from the repository root: no Data directory.\n");
        return 1;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "fennow-report.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "GameReport: could not make a scratch directory.\n");
        return 1;
    }
    const std::filesystem::path dir = pattern;
    std::filesystem::create_directory_symlink(std::filesystem::absolute("Data"), dir / "Data");

    const bool started = reportStartup(dir, startupRuns);
    if (started && idleSeconds > 0)
        reportIdle(dir, idleSeconds);

    // The in-process part runs the game in the scratch directory, its console in a log file.
    const std::filesystem::path here = std::filesystem::current_path();
    std::fflush(stderr);
    const int savedErr = dup(STDERR_FILENO);
    const int log = open((dir / "console.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(log, STDERR_FILENO);
    std::filesystem::current_path(dir);
    const bool ready = initGame() == 0;
    if (ready) {
        reportFrame();
        reportClick();
        reportMapLoad();
        reportCollision();
        reportMapChange();
    }
    std::filesystem::current_path(here);
    dup2(savedErr, STDERR_FILENO);
    if (!ready)
        std::fprintf(stderr, "GameReport: the game could not start\n");
    std::filesystem::remove_all(dir);
    return started && ready ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--child-startup") == 0)
        return runStartupChild();
    if (argc >= 3 && std::strcmp(argv[1], "--child-idle") == 0)
        return runIdleChild(std::atof(argv[2]));
    if (argc >= 4 && std::strcmp(argv[1], "--child-reference") == 0)
        return runReferenceChild(std::max(1, std::atoi(argv[2])), std::atof(argv[3]));
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
    const double idle = argc >= 3 ? std::atof(argv[2]) : 60.0;
    return runReport(runs, idle);
}
