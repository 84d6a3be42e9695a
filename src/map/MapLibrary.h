#pragma once

#include "map/MapFormat.h"

#include <allegro5/allegro.h>

#include <cstddef>
#include <cstdint>

// The map library holds exactly one tile map in module state. These are its operations;
// the state itself lives in MapState.h, shared by MapLoader, BlockGraphics, LayerDrawing and
// BlockAnimation. Everything runs on the main thread.
namespace MapLibrary {

enum MapError {
    MapOk = 0,
    MapOutOfMemory = 1,
    MapBadFile = 2,
    MapCannotOpen = 3,
    MapNoSystem = 4,
    MapNoBitmap = 6,
    MapTooNew = 7,
    MapUnsupported = 8,
};

// The sizes and encodings of the loaded map, as the MPHD chunk gave them. The 16-bit fields
// are sign-extended; columnStep .. staggerY fall back to the block size and 0 when the chunk
// is 28 bytes long.
struct MapHeader {
    int versionMajor = 0;
    int versionMinor = 0;
    int byteOrder = 0; // 1: little-endian numbers, anything else big-endian
    int mapType = 0;   // 0..3, the cell encoding of the layer chunks
    int mapWidth = 0;  // blocks per row
    int mapHeight = 0; // rows
    int blockWidth = 0;
    int blockHeight = 0;
    int blockDepth = 0; // bits per pixel of the block graphics
    int blockRecordSize = 0;
    int blockCount = 0;
    int graphicCount = 0;
    int columnStep = 0;
    int rowStep = 0;
    int staggerX = 0;
    int staggerY = 0;
};

// What a cell shows. The bitmap handles point into blockBitmaps (null for an absent
// foreground); the record keeps the graphic indices the file gave (0 for an absent
// foreground), so tools can report them, and the author's fields.
struct BlockStructure {
    ALLEGRO_BITMAP* background = nullptr;
    ALLEGRO_BITMAP* foreground1 = nullptr;
    ALLEGRO_BITMAP* foreground2 = nullptr;
    ALLEGRO_BITMAP* foreground3 = nullptr;
    MapFormat::BlockRecord record;
};

// The loader keeps the animation records as the file holds them.
using BlockAnimation = MapFormat::AnimationRecord;

// One chunk met during the last load, in file order.
struct ChunkInfo {
    char id[5] = {0, 0, 0, 0, 0}; // four characters and a terminating zero
    uint32_t length = 0;          // data bytes, without the 8-byte chunk header
    std::size_t offset = 0;       // file offset of the chunk header
};

using MapFormat::LayerSlots;
// cellAt's answer for an absent layer or a position outside the map.
constexpr int NoCell = -2147483647 - 1;

// ---- Loading -------------------------------------------------------------------------------

// 0 on success, -1 on failure with lastError() set. path is handed to hostPath() and opened
// with Allegro's file functions.
int loadMap(const char* path, int makeTransparent);
// The same checks and chunk walk over a map image already in memory (the whole file).
int decodeMap(const unsigned char* data, std::size_t size, int makeTransparent);
// loadMap, except that a map that cannot be loaded leaves the map loaded before in place,
// whole and drawable; lastError and the chunks still describe the failed load.
int loadMapOrKeep(const char* path, int makeTransparent);
void freeMap();
int lastError();
// "MapOk" .. "MapUnsupported"; "MapUnknown" for any other code.
const char* errorName(int code);
// A short English explanation of why the last load failed ("" after a success), for tools.
const char* lastErrorDetail();
int selectLayer(int n);

// ---- Graphics ------------------------------------------------------------------------------

int convertGraphics(int makeTransparent, int graphicCount, int blockCount,
                    const unsigned char* palette);
int makeBlockBitmaps(int makeTransparent, int graphicCount, int blockCount);
// Stores the display and target state; makes bitmap (when given) the target and returns it,
// otherwise returns the current target. Calls do not nest.
ALLEGRO_BITMAP* saveDrawState(ALLEGRO_BITMAP* bitmap);
void restoreDrawState();

// ---- Drawing and animation -----------------------------------------------------------------

void drawBackground(int mapX, int mapY, int screenX, int screenY, int screenWidth,
                    int screenHeight);
void resetAnimations();
void updateAnimations();

// ---- Read-only queries (valid until the next load or freeMap) -------------------------------

// 1 while a map is loaded.
int mapLoaded();
const MapHeader& header();
// 1 when slot n (0..7) holds a layer.
int layerPresent(int n);
// The slot drawBackground reads, or -1.
int currentLayer();
// The raw cell value, or NoCell for an absent layer or a position outside the map.
int cellAt(int layer, int column, int row);
// The layer's mapWidth x mapHeight cells, row-major, or null.
const int16_t* layerCells(int layer);
// The block structure a cell value shows now (through its animation's current frame for a
// negative value), or -1 when the value names nothing.
int blockOfCell(int value);
int blockCount();
int graphicCount();
const BlockStructure* blockStructure(int i);
// Animation records including the terminator: animation(0) is the terminator, and a cell
// value v < 0 names animation(animationCount() + v).
int animationCount();
const BlockAnimation* animation(int i);
int sequenceLength();
int sequenceValue(int i);
// Graphic i's bitmap (a sub-bitmap of the atlas), or null.
ALLEGRO_BITMAP* blockBitmap(int graphic);
// The palette bytes (3 per entry: red, green, blue) and the number of entries.
const unsigned char* palette();
int paletteSize();
// The chunks walked by the last load, kept after a failed load too.
int chunkCount();
const ChunkInfo* chunk(int i);

} // namespace MapLibrary
