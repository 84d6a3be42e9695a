#include "core/GameContext.h"

#include "core/AuthorMode.h"
#include "core/CommandLine.h"
#include "core/Console.h"
#include "core/DisplayManager.h"
#include "core/SaveManager.h"
#include "gfx/BitmapLibrary.h"
#include "gui/ErrorPanel.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "input/ConfigReader.h"
#include "input/KeyBindings.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "script/ScriptFunctionTable.h"
#include "script/ScriptHost.h"
#include "world/Conversation.h"
#include "world/Environment.h"
#include "world/FriendlyControls.h"
#include "world/MapTravel.h"
#include "world/NpcManager.h"

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>

#include <cstdlib>
#include <string>

GameContext game;

namespace {

constexpr int groundColumns = 50;
constexpr int groundRows = 50;
// Kept for the life of the process: game.startMap points into it.
std::string startMapName = CommandLine::defaultMap;

// The Allegro set-up; -1 after the message of the first step that fails.
int initAllegro() {
    if (!al_install_system(ALLEGRO_VERSION_INT, std::atexit)) {
        consoleWrite("Allegro failed to initialize\n");
        return -1;
    }
    al_init_font_addon();
    al_init_image_addon();
    al_init_ttf_addon();
    if (!al_install_keyboard()) {
        consoleWrite("Allegro could not install the keyboard\n");
        return -1;
    }
    if (!al_install_mouse()) {
        consoleWrite("Allegro could not install the mouse\n");
        return -1;
    }
    game.eventQueue = al_create_event_queue();
    if (game.eventQueue == nullptr) {
        consoleWrite("Allegro could not create an Event Queue\n");
        return -1;
    }
    game.targetFps = 60.0f;
    game.timer = al_create_timer(1.0 / 60);
    if (game.timer == nullptr) {
        std::fprintf(stderr, "Allegro could not create a timer of FPS %i\n",
                     static_cast<int>(game.targetFps));
        return -1;
    }
    return 0;
}

// A new Lua state; author mode listens to it.
void createScriptHost() {
    game.scriptHost = new ScriptHost(scriptFunctionTable());
    if (game.author != nullptr)
        game.author->attach(*game.scriptHost);
}

void runStartupScripts() {
    if (game.saving)
        game.saving->beginStartup();
    consoleWrite("== Init Lua ==\n\n");
    game.scriptHost->runFile("Data\\Scripts\\VersionBark.lua");
    game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
    consoleWrite("\n== Lua Init Complete ==\n");
}

} // namespace

int initGame() {
    return initGame(CommandLine());
}

int initGame(const CommandLine& options) {
    consoleWrite("== Begin Init ==\n");
    game.bitmapLibrary = nullptr;
    game.display = nullptr;
    game.displayManager = nullptr;
    game.environment = nullptr;
    game.eventQueue = nullptr;
    game.quit = false;
    startMapName = options.map();
    game.startMap = startMapName.c_str();
    game.author = options.authorMode() ? new AuthorMode() : nullptr;

    if (initAllegro() == -1) {
        return -1;
    }

    createScriptHost();
    game.displayManager =
        new DisplayManager(DisplayManager::windowWidth, DisplayManager::windowHeight);
    if (game.display == nullptr) {
        // Without a window nothing can be seen or closed, so start-up ends here.
        return -1;
    }
    createManagers(true);
    game.saving = new SaveManager(options.newGame());
    game.conversation->addListener(*game.saving);
    registerEventSources(game.eventQueue);
    consoleWrite("== Done Init ==\n");

    consoleWrite("== Read CFG File ==\n");
    { ConfigReader reader; }
    consoleWrite("== Done CFG Read ==\n");

    runStartupScripts();
    if (!game.saving->loadAtStart())
        game.mapManager->load(game.startMap);
    if (game.author != nullptr)
        game.author->startCheck(game.mapTravel != nullptr ? game.mapTravel->maps().currentName()
                                                          : std::string(game.startMap));
    return 0;
}

MapSettings& currentMapSettings() {
    // Without the world's travel (the checker, some tests) one set stands for the map on show.
    return game.mapTravel != nullptr ? game.mapTravel->settings() : game.mapSettings;
}

void createManagers(bool wholeGame) {
    if (wholeGame)
        game.bitmapLibrary = new BitmapLibrary();
    game.portraits = new PortraitStore();
    if (wholeGame) {
        if (game.displayManager != nullptr)
            game.displayManager->initText();
        game.player = new Player(0.0f, 0.0f);
        game.keyBindings = new KeyBindings();
    }
    game.npcManager = new NpcManager();
    game.mapTravel = new MapTravel(game.startMap);
    game.conversation = new Conversation();
    if (game.author != nullptr)
        game.conversation->addListener(*game.author);
    game.friendlyControls = new FriendlyControls();
    game.gui = new Gui();
    if (wholeGame) {
        game.mapManager = new MapManager();
        game.environment = new Environment(groundColumns, groundRows);
    }
}

void deleteManagers(GameContext& context) {
    delete context.saving;
    delete context.environment;
    delete context.mapManager;
    delete context.gui;
    delete context.friendlyControls;
    delete context.conversation;
    delete context.mapTravel;
    delete context.npcManager;
    delete context.keyBindings;
    delete context.player;
    delete context.portraits;
    delete context.bitmapLibrary;
    delete context.displayManager;
    delete context.scriptHost;
    delete context.author;
    context = GameContext{};
}

void reloadWorld() {
    consoleWrite("== Reload (F5) ==\n");
    if (game.conversation != nullptr)
        game.conversation->reset();
    if (game.gui != nullptr) {
        game.gui->resetChat();
        game.gui->errorPanel()->clear();
    }
    if (game.npcManager != nullptr)
        game.npcManager->clear();
    // The map on show is loaded again; every other map starts afresh when next visited. Its
    // settings go with its record: the map script switches its powers on again when it runs.
    std::string mapName = game.startMap;
    if (game.mapTravel != nullptr) {
        mapName = game.mapTravel->maps().currentName();
        game.mapTravel->startOver();
    } else {
        game.mapSettings = MapSettings{};
    }
    if (game.portraits != nullptr)
        game.portraits->clear();
    delete game.scriptHost;
    createScriptHost();
    runStartupScripts();
    if (game.saving != nullptr)
        game.saving->endStartup();
    if (game.mapManager != nullptr)
        game.mapManager->load(mapName.c_str());
    if (game.author != nullptr)
        game.author->startCheck(mapName);
}

void registerEventSources(ALLEGRO_EVENT_QUEUE* queue) {
    if (queue == nullptr) {
        return;
    }
    if (game.display != nullptr) {
        al_register_event_source(queue, al_get_display_event_source(game.display));
    }
    if (game.timer != nullptr) {
        al_register_event_source(queue, al_get_timer_event_source(game.timer));
    }
    if (al_is_keyboard_installed()) {
        al_register_event_source(queue, al_get_keyboard_event_source());
    }
    if (al_is_mouse_installed()) {
        al_register_event_source(queue, al_get_mouse_event_source());
    }
}

void cleanupGame() {
    consoleWrite("== Begin Cleanup ==\n");
    delete game.displayManager;
    game.displayManager = nullptr;
    if (game.timer != nullptr) {
        al_destroy_timer(game.timer);
        game.timer = nullptr;
    }
    if (game.display != nullptr) {
        al_destroy_display(game.display);
        game.display = nullptr;
    }
    if (game.eventQueue != nullptr) {
        al_destroy_event_queue(game.eventQueue);
        game.eventQueue = nullptr;
    }
    consoleWrite("== Cleanup Completed ==\n");
}
