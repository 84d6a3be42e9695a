#include "core/DisplayManager.h"

#include "core/AuthorMode.h"
#include "core/Console.h"
#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "gui/Gui.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <cstdlib>
#include <cstring>

namespace {

ALLEGRO_COLOR clearColour() {
    return al_map_rgb(0, 0, 0);
}

bool layerByLayerAsked() {
    const char* value = std::getenv("FENNOW_DRAW_LAYERS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

} // namespace

DisplayManager::DisplayManager(int width, int height) {
    consoleWrite("Creating display manager\n");
    game.display = al_create_display(width, height);
    if (game.display == nullptr) {
        std::fprintf(stderr, "Display of size %i by %i failed to create.\n", width, height);
        return;
    }
#ifdef __EMSCRIPTEN__
    // Allegro's SDL backend reads every picture drawn into back into memory at each flip, in
    // case the GL context is lost; in a browser that read-back stalls every frame.
    al_set_new_bitmap_flags(al_get_new_bitmap_flags() | ALLEGRO_NO_PRESERVE_TEXTURE);
#endif
    al_set_target_backbuffer(game.display);
    al_clear_to_color(al_map_rgb(0, 0, 0));
    al_set_window_title(game.display, windowTitle);
    game.viewWidth = width;
    game.viewHeight = height;
    mapPicture_ = std::make_unique<MapPicture>(width, height, clearColour());
    layerByLayer_ = layerByLayerAsked();
}

DisplayManager::DisplayManager(int width, int height, NoWindow)
    : mapPicture_(std::make_unique<MapPicture>(width, height, clearColour())),
      layerByLayer_(layerByLayerAsked()) {
    game.viewWidth = width;
    game.viewHeight = height;
}

void DisplayManager::initText() {
    textFont_ = game.bitmapLibrary != nullptr ? game.bitmapLibrary->font(BitmapLibrary::bitmapFont)
                                              : nullptr;
    textColour = al_map_rgb(255, 255, 255);
}

void DisplayManager::drawFrame() {
    if (game.display == nullptr) {
        consoleWrite("Display was not created yet.\n");
        return;
    }
    composeFrame(al_get_backbuffer(game.display));
    al_flip_display();
}

void DisplayManager::composeFrame(ALLEGRO_BITMAP* target) {
    if (target == nullptr) {
        return;
    }
    al_set_target_bitmap(target);
    al_clear_to_color(clearColour());
    drawWorld(target);
    if (game.player != nullptr) {
        game.player->draw(target);
    }
    if (game.npcManager != nullptr) {
        game.npcManager->drawAll(target);
    }
    if (game.gui != nullptr) {
        game.gui->draw(target);
    }
    if (game.author != nullptr) {
        game.author->drawPointerInfo(target, textFont_);
    }
    if (textFont_ == nullptr) {
        return;
    }
    al_set_target_bitmap(target);
    if (game.player != nullptr) {
        al_draw_textf(textFont_, textColour, 5.0f, 21.0f, 0, "%.3f",
                      static_cast<double>(game.player->walkSpeed()));
        al_draw_textf(textFont_, textColour, 73.0f, 21.0f, 0, "%.3f",
                      static_cast<double>(game.player->sprintSpeed()));
    }
    al_draw_textf(textFont_, textColour, 0.0f, 288.0f, 0, "FPS %f", game.measuredFps);
}

void DisplayManager::drawWorld(ALLEGRO_BITMAP* target) {
    Environment* const environment = game.environment;
    if (environment == nullptr)
        return;
    MapManager* const map = game.mapManager;
    // Cells whose animation moved on since the last frame; the layers drawn whole show them
    // anyway.
    const std::vector<MapManager::Area> changed =
        map != nullptr ? map->takeChangedAreas() : std::vector<MapManager::Area>{};
    if (mapPicture_ != nullptr && !layerByLayer_) {
        // The picture shows one Environment and one state of the map; another one (tests swap
        // them) or a new load needs a picture of its own.
        const int mapChanges = map != nullptr ? map->changeCount() : 0;
        if (environment != pictured_ || mapChanges != picturedMapChanges_) {
            pictured_ = environment;
            picturedMapChanges_ = mapChanges;
            mapPicture_->remake();
        }
        std::vector<MapPicture::Area> areas;
        for (const MapManager::Area& area : changed)
            areas.push_back({area.x, area.y, area.width, area.height});
        mapPicture_->repaint(areas, [map](ALLEGRO_BITMAP* picture, const MapPicture::Area& area) {
            map->drawArea(picture, {area.x, area.y, area.width, area.height});
        });
        if (mapPicture_->draw(
                target, [environment](ALLEGRO_BITMAP* picture) { environment->draw(picture); }))
            return;
    }
    environment->draw(target);
}

void DisplayManager::remakeMapPicture() {
    if (mapPicture_ != nullptr)
        mapPicture_->remake();
}
