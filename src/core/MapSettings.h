#pragma once

// What a map's script switched on beyond the plain game; each map keeps its own. Everything is off
// until a script asks, so content that asks for nothing plays the plain game.
struct MapSettings {
    // SetCollision: solid cells, characters and the map's edges stop the player.
    bool collision = false;
    // SetFriendlyControls: the Quit key closes a conversation first, walking away closes it,
    // the response under the pointer is highlighted and a hasty second click is ignored.
    bool friendlyControls = false;
    // SetMapAnimation: the map's block animations advance every tick.
    bool mapAnimation = false;

    bool operator==(const MapSettings& other) const {
        return collision == other.collision && friendlyControls == other.friendlyControls &&
               mapAnimation == other.mapAnimation;
    }
};

// The settings of the map on show: the one place that knows where they are kept.
MapSettings& currentMapSettings();
