#pragma once

// What the current map's script switched on beyond the plain game. Everything is off until a
// script asks, so content that asks for nothing plays the plain game.
struct MapSettings {
    // SetFriendlyControls: the Quit key closes a conversation first, walking away closes it,
    // the response under the pointer is highlighted and a hasty second click is ignored.
    bool friendlyControls = false;
    // SetMapAnimation: the map's block animations advance every tick.
    bool mapAnimation = false;
};

// The settings of the map on show: the one place that knows where they are kept.
MapSettings& currentMapSettings();
