#pragma once

#include "core/TestSupport.h"

#include <string>

// Small art files written into Data/ of the working directory, each pixel chosen so a test can
// tell which sheet cell it came from.
namespace testart {

using testsupport::writeImage;

// Cell colour of column c (0-29) in row r (0-2) of the player sheet: never a colour key.
inline testsupport::Rgba playerCellRgba(int row, int column) {
    return {20 + 7 * column, 40 + 60 * row, 100, 255};
}

// Marker pixels inside every 96 x 96 cell of the player sheet.
constexpr int keyGreyX = 10, keyGreenX = 11, nearGreyX = 12, magentaX = 13, keyRowY = 10;
constexpr int markerX = 2, markerY = 3; // white: shows which way a frame faces

inline void writePlayerSheet() {
    writeImage("Data/Graphics/Vornels/MareSprite.png", 2880, 288, [](int x, int y) {
        const int cx = x % 96, cy = y % 96;
        if (cy == keyRowY && cx >= keyGreyX && cx <= magentaX) {
            const ALLEGRO_COLOR keys[] = {al_map_rgb(64, 64, 64), al_map_rgb(34, 177, 76),
                                          al_map_rgb(63, 64, 64), al_map_rgb(255, 0, 255)};
            return keys[cx - keyGreyX];
        }
        if (cx == markerX && cy == markerY)
            return al_map_rgb(255, 255, 255);
        const testsupport::Rgba cell = playerCellRgba(y / 96, x / 96);
        return al_map_rgb(cell.r, cell.g, cell.b);
    });
}

// Both colour keys at (1, 1) and (2, 1), paint() elsewhere.
template <typename Paint>
inline void writeKeyed(const std::string& path, int width, int height, Paint paint) {
    writeImage(path, width, height, [paint](int x, int y) {
        if (y == 1 && (x == 1 || x == 2))
            return x == 1 ? al_map_rgb(64, 64, 64) : al_map_rgb(255, 0, 255);
        return paint(x, y);
    });
}

inline ALLEGRO_COLOR mudTileColour(int k) {
    return al_map_rgb(30 * k + 10, 90, 30);
}

// Tile 0 also holds the two colour keys, which stay as stored in tiles.
inline void writeMudTiles() {
    writeKeyed("Data/Graphics/Tiles/MudTiles.bmp", 96, 64,
               [](int x, int y) { return mudTileColour(x / 32 + 3 * (y / 32)); });
}

inline void writeChatBubble() {
    writeImage("Data/Graphics/GUI/ChatBubble.png", 160, 40, [](int x, int y) {
        if (x % 40 >= 32 || y >= 32)
            return al_map_rgb(200, 0, 0); // outside each frame
        return al_map_rgb(50 * (x / 40) + 20, 60, 160);
    });
}

// A whole picture of one colour with both colour keys.
inline void writeKeyedPicture(const std::string& path, int width, int height,
                              ALLEGRO_COLOR colour) {
    writeKeyed(path, width, height, [colour](int, int) { return colour; });
}

inline void writeDirectPictures() {
    writeKeyedPicture("Data/Graphics/GUI/DirectionalToggleUp.png", 17, 17, al_map_rgb(1, 2, 3));
    writeKeyedPicture("Data/Graphics/Misc/MouseImg.bmp", 16, 16, al_map_rgb(4, 5, 6));
    writeKeyedPicture("Data/Graphics/GUI/ChatBox.png", 688, 220, al_map_rgb(7, 8, 9));
    writeKeyedPicture("Data/Graphics/GUI/ResponseBubble.png", 16, 16, al_map_rgb(10, 11, 12));
    writeKeyedPicture("Data/Graphics/Vornels/BrambleTemp.png", 96, 96, al_map_rgb(13, 14, 15));
    writeKeyedPicture("Data/Graphics/Vornels/QuillaTemp.png", 80, 90, al_map_rgb(16, 17, 18));
}

inline void writeAllPictures() {
    writePlayerSheet();
    writeMudTiles();
    writeChatBubble();
    writeDirectPictures();
}

} // namespace testart
