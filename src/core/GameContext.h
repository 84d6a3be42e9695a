#pragma once

#include "core/MapSettings.h"

#include <allegro5/allegro.h>

class Gui;
class MapManager;
class DisplayManager;
class BitmapLibrary;
class PortraitStore;
class Environment;
class KeyBindings;
class NpcManager;
class ScriptHost;
class Player;
class AuthorMode;
class CommandLine;
class Conversation;
class MapTravel;
class FriendlyControls;
class SaveManager;

// The one record through which every manager reaches every other. It is filled once by
// initGame in a fixed order; each manager lives until the process ends.
struct GameContext {
    ALLEGRO_DISPLAY* display = nullptr;
    ALLEGRO_EVENT_QUEUE* eventQueue = nullptr;
    ALLEGRO_EVENT event{};
    ALLEGRO_TIMER* timer = nullptr;
    Gui* gui = nullptr;
    MapManager* mapManager = nullptr;
    DisplayManager* displayManager = nullptr;
    BitmapLibrary* bitmapLibrary = nullptr;
    PortraitStore* portraits = nullptr;
    Environment* environment = nullptr;
    KeyBindings* keyBindings = nullptr;
    NpcManager* npcManager = nullptr;
    Conversation* conversation = nullptr;
    // Which map is on show, what every visited map keeps, collision and exits.
    MapTravel* mapTravel = nullptr;
    FriendlyControls* friendlyControls = nullptr;
    // The size of the frames the display manager composes; 0 while there is none.
    int viewWidth = 0;
    int viewHeight = 0;
    bool quit = false;
    float targetFps = 0.0f;
    double measuredFps = 0.0;
    ScriptHost* scriptHost = nullptr;
    Player* player = nullptr;
    // The run's save; only in the whole game (not in a headless world).
    SaveManager* saving = nullptr;
    // Only with --author.
    AuthorMode* author = nullptr;
    // The map loaded at start-up and by a reload.
    const char* startMap = "WillowCreekFarm";
    // What the current map's script switched on; all off at start-up and after a reload.
    MapSettings mapSettings;
};

extern GameContext game;

// Start-up: 0 on success, -1 when a step of the Allegro set-up fails.
int initGame();
// The same, for what the command line asks (another start map, author mode).
int initGame(const CommandLine& options);
// Author mode's F5: the file of the map on show, the start-up scripts and the map script are
// loaded again, with the characters, portraits, script variables and Lua state of a new start,
// in the same window; what other maps kept is forgotten.
void reloadWorld();
void registerEventSources(ALLEGRO_EVENT_QUEUE* queue);
// The managers after the script host and the display manager, in start-up order: the art, the
// portraits, the player, the keys, the characters, the conversation, the GUI, the map and the
// ground. Without the whole game, only what conversations need: the portraits, the
// characters, the conversation and the GUI.
void createManagers(bool wholeGame);
// Deletes every manager in the context, last made first, and empties it.
void deleteManagers(GameContext& context);
void cleanupGame();
