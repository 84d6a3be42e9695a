#include "core/SaveManager.h"

#include "core/AtomicFile.h"
#include "core/GameContext.h"
#include "core/HostPath.h"
#include "gui/ErrorPanel.h"
#include "gui/Gui.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "world/MapTravel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

SaveManager::SaveManager(bool newGame) : newGame_(newGame) {}

void SaveManager::beginStartup() {
    startup_ = true;
    enabled_ = false;
}

bool SaveManager::enable() {
    if (!startup_)
        return false;
    enabled_ = true;
    return true;
}

std::string SaveManager::checkAgainstData(const SaveFile& save) {
    std::error_code error;
    for (const MapRecord& map : save.maps) {
        // A name from the file must not lead out of Data\Maps.
        if (!MapManager::isMapName(map.name))
            return "\"" + map.name + "\" is not the name of a map";
        for (const MapExit& exit : map.exits)
            if (!MapManager::isMapName(exit.map))
                return "an exit of " + map.name + " leads to \"" + exit.map +
                       "\", which is not the name of a map";
        const std::string mapFile = "Data\\Maps\\" + map.name + ".fmp";
        if (!fs::is_regular_file(hostPath(mapFile), error))
            return "the map " + map.name + " no longer exists (" + mapFile + ")";
        for (const KeptCharacter& character : map.characters)
            if (!fs::is_regular_file(hostPath(character.scriptPath), error))
                return "the script " + character.scriptPath + " of " +
                       character.name.substr(0, character.name.find('\0')) + " on " + map.name +
                       " no longer exists";
    }
    return "";
}

void SaveManager::refuse(const std::string& problem) {
    std::string line = std::string("The save ") + path + " cannot be loaded: " + problem + ".";
    std::error_code error;
    fs::rename(hostPath(path), hostPath(brokenPath), error);
    if (error) {
        // Writing over it would lose it for good.
        enabled_ = false;
        line += std::string(" It could not be moved to ") + brokenPath + " (" + error.message() +
                "), so saving is off for this run.";
    } else {
        line += std::string(" It is kept as ") + brokenPath + " and the game starts afresh.";
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    if (game.author && game.gui && game.gui->errorPanel())
        game.gui->errorPanel()->add(line);
}

std::optional<SaveFile> SaveManager::read() {
    std::ifstream in(hostPath(path), std::ios::binary);
    std::error_code error;
    if (!in || fs::is_directory(hostPath(path), error)) {
        refuse(std::string("it cannot be read (") + std::strerror(errno ? errno : EISDIR) + ")");
        return std::nullopt;
    }
    const auto size = fs::file_size(hostPath(path), error);
    if (!error && size > SaveFile::maxBytes) {
        refuse("it is larger than " + std::to_string(SaveFile::maxBytes >> 20) + " MiB");
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SaveReadResult result = readSaveText(text);
    if (!result.save) {
        refuse(result.problem);
        return std::nullopt;
    }
    const std::string missing = checkAgainstData(*result.save);
    if (!missing.empty()) {
        refuse(missing);
        return std::nullopt;
    }
    return std::move(result.save);
}

SaveFile SaveManager::capture() {
    SaveFile save;
    if (game.player)
        save.player = {game.player->x, game.player->y, game.player->direction,
                       game.player->walkSpeed(), game.player->sprintSpeed()};
    if (!game.mapTravel || !game.npcManager)
        return save;
    const VisitedMaps& maps = game.mapTravel->maps();
    save.currentMap = maps.currentName();
    for (const auto& [name, record] : maps.records())
        save.maps.push_back(name == save.currentMap ? maps.currentWithCharacters(*game.npcManager)
                                                    : record);
    return save;
}

bool SaveManager::restore(const SaveFile& save) {
    // The map file first: when it cannot be loaded nothing has changed yet.
    if (!game.mapManager || !game.mapManager->loadFile(save.currentMap.c_str())) {
        refuse("the map " + save.currentMap + " cannot be loaded");
        return false;
    }
    if (game.player) {
        game.player->direction = save.player.direction;
        game.player->setWalkSpeed(save.player.walkSpeed);
        game.player->setSprintSpeed(save.player.sprintSpeed);
    }
    if (game.mapTravel)
        game.mapTravel->restore(save.currentMap, save.maps, save.player.x, save.player.y);
    const MapRecord* current = save.findMap(save.currentMap);
    std::fprintf(stderr, "Loaded the save %s: map %s, %zu characters.\n", path,
                 save.currentMap.c_str(), current ? current->characters.size() : 0);
    return true;
}

bool SaveManager::loadAtStart() {
    endStartup();
    std::error_code error;
    if (!enabled_ || newGame_ || !fs::exists(fs::symlink_status(hostPath(path), error)))
        return false;
    const std::optional<SaveFile> save = read();
    if (!save)
        return false;
    return restore(*save);
}

bool SaveManager::save() {
    if (!enabled_)
        return true;
    AtomicFile file(path);
    if (file.write(writeSaveText(capture())))
        return true;
    std::fprintf(stderr, "Could not save the game to %s: %s. The old save is kept.\n", path,
                 file.problem().c_str());
    return false;
}
