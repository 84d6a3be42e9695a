#include "ContentChecker.h"

#include "CharacterChecks.h"
#include "CheckWorld.h"
#include "ConsoleSilencer.h"
#include "ConversationWalker.h"
#include "GroundChecks.h"
#include "PictureCache.h"

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "core/HostPath.h"
#include "gfx/BitmapLibrary.h"
#include "world/MapTravel.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <malloc.h>
#include <memory>

namespace fs = std::filesystem;

namespace {

const char* const startMap = "WillowCreekFarm";
const char* const chatFont = "Data\\Graphics\\Fonts\\Courier.ttf";

// The working directory for one run, put back when the run ends.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~WorkingDirectory() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  private:
    fs::path previous_;
};

// The folder that holds Data/: the given one, or its parent when it is Data/ itself.
bool findDataRoot(const std::string& given, fs::path& root) {
    std::error_code error;
    const fs::path folder(given.empty() ? "." : given);
    if (fs::is_directory(folder / "Data", error)) {
        root = folder;
        return true;
    }
    if (folder.filename() == "Data" && fs::is_directory(folder, error)) {
        root = folder.parent_path().empty() ? fs::path(".") : folder.parent_path();
        return true;
    }
    return false;
}

bool startAllegro() {
    if (!al_init() || !al_init_image_addon() || !al_init_font_addon() || !al_init_ttf_addon())
        return false;
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return true;
}

bool isFile(const std::string& gamePath) {
    std::error_code error;
    return fs::is_regular_file(hostPath(gamePath), error);
}

} // namespace

ContentChecker::ContentChecker(CheckOptions options) : options_(std::move(options)) {}

bool ContentChecker::findMaps(std::vector<std::string>& maps, std::string& error) const {
    if (!options_.allMaps) {
        maps = options_.maps;
        if (maps.empty())
            maps.push_back(startMap);
        for (const std::string& name : maps) {
            if (!isFile(mapScriptPath(name))) {
                error = "map " + name + " has no script " + mapScriptPath(name);
                return false;
            }
        }
        return true;
    }
    std::error_code failure;
    for (fs::directory_iterator it(fs::path("Data") / "Maps", failure), end; !failure && it != end;
         it.increment(failure)) {
        const fs::path& file = it->path();
        if (file.extension() == ".fmp" && isFile(mapScriptPath(file.stem().string())))
            maps.push_back(file.stem().string());
    }
    std::sort(maps.begin(), maps.end());
    // A walk of nothing would pass silently; a Data/ without maps is a setup mistake.
    if (maps.empty()) {
        error = "--all found no map in Data\\Maps with a script in Data\\Scripts\\Maps";
        return false;
    }
    return true;
}

int ContentChecker::run(std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const auto started = std::chrono::steady_clock::now();
    terminal_ = errIsTerminal;
    progress_ = options_.progress || errIsTerminal ? &err : nullptr;
    // Every replay allocates and frees the same pictures again; kept in the heap instead of
    // fresh mappings, they cost no page faults each time.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    fs::path root;
    if (!findDataRoot(options_.dataRoot, root)) {
        err << "fennow-check: no Data folder in " << options_.dataRoot
            << " (run it from the folder that holds Data/, or name that folder with --data)\n";
        return 2;
    }
    std::vector<std::string> maps;
    {
        WorkingDirectory inRoot(root);
        std::string error;
        if (!findMaps(maps, error)) {
            err << "fennow-check: " << error << "\n";
            return 2;
        }
        if (!startAllegro()) {
            err << "fennow-check: Allegro could not be started\n";
            return 2;
        }
        if (!isFile(chatFont))
            report_.note(std::string("the chat font ") + chatFont +
                         " is missing; text is measured in Allegro's built-in font");
        ConsoleSilencer quiet(options_.verbose);
        const PictureCache pictures;
        // The game's art, shared by every world of the run.
        const HeadlessWorld art(HeadlessScope::Art);
        findEntrances(maps);
        for (const std::string& name : maps)
            checkMap(name, maps.size() > 1 ? "map " + name + ", " : "");
    }
    report_.maps = static_cast<int>(maps.size());
    report_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (!options_.character.empty() && report_.characters == 0) {
        err << "fennow-check: no character named " << options_.character << " is spawned by "
            << (maps.size() == 1 ? "map " + maps.front() : "any map checked") << "\n";
        return 2;
    }
    if (options_.json)
        report_.writeJson(out);
    else
        report_.writeText(out);
    return report_.findings().empty() ? 0 : 1;
}

void ContentChecker::findEntrances(const std::vector<std::string>& maps) {
    for (const std::string& name : maps) {
        CheckWorld world(options_.timeLimit, nullptr);
        world.runStartupScripts();
        world.runMapScript(name);
        for (const MapExit& exit : game.mapTravel->maps().current().exits)
            entrances_[exit.map].emplace_back(exit.toX, exit.toY);
        if (const auto& move = game.mapTravel->pending())
            entrances_[move->map].emplace_back(move->x, move->y);
    }
}

void ContentChecker::checkMap(const std::string& name, const std::string& pathPrefix) {
    std::vector<SpawnedCharacter> characters;
    std::vector<std::pair<int, int>> starts;
    bool collision = false;
    // The game's own word on each character spawned, to be joined by what the checks add.
    std::vector<CheckFinding> characterProblems;
    {
        std::string context;
        CheckWorld world(options_.scriptLimit, [&](const ScriptProblem& problem) {
            if (problem.kind == ProblemKind::Character)
                characterProblems.push_back({problem, context});
            else
                report_.add(problem, context);
        });
        context = pathPrefix + "start-up";
        world.runStartupScripts();
        context = "map " + name;
        world.runMapScript(name);
        characters = world.spawned();
        starts = world.placements();
        collision = game.mapTravel->settings().collision;
    }
    // The player starts the game at (0, 0) on the start map, unless its script moves them.
    if (starts.empty() && name == startMap)
        starts.emplace_back(0, 0);
    const auto& entrances = entrances_[name];
    starts.insert(starts.end(), entrances.begin(), entrances.end());
    if (collision) {
        GroundChecks ground;
        if (ground.load(name))
            ground.check(characters, starts, "map " + name, report_);
    }
    const CharacterChecks checks;
    ConversationWalker::Settings settings;
    settings.mapName = name;
    settings.pathPrefix = pathPrefix;
    settings.timeLimit = options_.timeLimit;
    settings.scriptLimit = options_.scriptLimit;
    settings.progress = progress_;
    settings.terminal = terminal_;
    settings.visits = options_.visits;
    settings.depth = options_.depth;
    settings.states = options_.states;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const SpawnedCharacter& character = characters[i];
        if (!options_.character.empty() && character.name != options_.character)
            continue;
        ++report_.characters;
        for (CheckFinding& finding : characterProblems) {
            const ScriptProblem& problem = finding.problem;
            if (problem.file == character.file && problem.line == character.line &&
                !finding.path.empty()) {
                checks.explain(character, finding.problem);
                report_.add(finding.problem, finding.path);
                finding.path.clear();
            }
        }
        if (!checks.check(character, "map " + name, report_))
            continue;
        ConversationWalker walker(settings, static_cast<int>(i), character, report_);
        walker.walk();
        report_.states += walker.states();
        report_.responses += walker.responses();
    }
    for (const CheckFinding& finding : characterProblems) {
        if (!finding.path.empty())
            report_.add(finding.problem, finding.path);
    }
}
