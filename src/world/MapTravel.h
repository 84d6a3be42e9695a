#pragma once

#include "player/Collision.h"
#include "world/VisitedMaps.h"

#include <optional>
#include <string>
#include <utility>

// Going from map to map, and the powers a map's scripts switch on for it: collision and exits.
// It holds the record of every visited map. A move to another map asked for by a script waits
// until the main loop is between events, so the script that asked has returned and the Lua
// state is never changed under it. A map that cannot be loaded changes nothing.
class MapTravel {
  public:
    // A move a script asked for, not yet made.
    struct Request {
        std::string map;
        int x = 0;
        int y = 0;
    };

    explicit MapTravel(std::string currentMap);

    VisitedMaps& maps() { return maps_; }
    const VisitedMaps& maps() const { return maps_; }
    MapSettings& settings() { return maps_.current().settings; }

    // SetCollision: for the map on show from now on.
    void setCollision(bool on);
    // AddMapExit. The player standing in it already must leave and come back to use it.
    void addExit(MapExit exit);
    // GoToMap: carried out by travelPending.
    void request(std::string map, int x, int y) { pending_ = Request{std::move(map), x, y}; }
    const std::optional<Request>& pending() const { return pending_; }
    // The waiting move, which is no longer waiting.
    std::optional<Request> takePending() { return std::exchange(pending_, std::nullopt); }
    // Makes the move waiting, if any. True when a map was entered.
    bool travelPending();
    // Goes to `map` now and puts the player at (x, y): the chat box closes, the map on show
    // keeps its characters, exits and settings, and `map` comes back as it was left or, on a
    // first visit, runs its script. False, with nothing changed, when `map` cannot be loaded.
    bool travel(const std::string& map, int x, int y);
    // SetPlayerPosition. Standing in an exit does not use it.
    void placePlayer(float x, float y);
    // A reload of the world (author mode's F5): every other map is forgotten.
    void startOver();
    // The maps a save kept, `map` on show (its file loaded already) with the player at (x, y);
    // no script runs.
    void restore(const std::string& map, std::vector<MapRecord> records, float x, float y);

    // Null while collision is off; otherwise the collision of the map on show, with the
    // characters' feet as they stand now.
    const Collision* collisionForTick();
    // After the player moved: an exit the feet walked into is taken.
    void afterPlayerMoved();

  private:
    // The exit under the player's feet, or -1.
    int exitUnderFeet() const;
    void rebuildCells();

    VisitedMaps maps_;
    std::optional<Request> pending_;
    Collision collision_;
    // The map manager's change count the cells were read at; -1 when never.
    int cellsReadAt_ = -1;
    int exitUnderFeet_ = -1;
};
