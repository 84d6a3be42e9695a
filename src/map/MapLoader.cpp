#include "map/MapLibrary.h"
#include "map/MapState.h"

#include "core/HostPath.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace MapLibrary {

namespace {

// A layer holds at most this many cells (32 MB): run-length layers expand thousands of times,
// so without a bound a small forged file could ask for gigabytes.
constexpr long long MaxLayerCells = 1LL << 24;
// Depths below 7 store no pixel bytes, so the file no longer bounds the graphics: the same
// limit then holds for their pixels.
constexpr long long MaxBlankPixels = 1LL << 24;

std::string format(const char* fmt, ...) {
    char text[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

uint32_t bigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The numbers inside MPHD, BKDT, ANDT and the layers follow the MPHD byte order.
int16_t read16(const unsigned char* p, bool little) {
    const unsigned v = little ? (p[0] | p[1] << 8) : (p[0] << 8 | p[1]);
    return int16_t(uint16_t(v));
}

int32_t read32(const unsigned char* p, bool little) {
    const uint32_t v =
        little ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
               : bigEndian32(p);
    return int32_t(v);
}

bool isLittle() {
    return mapState().header.byteOrder == 1;
}

// A pixel never takes a negative number of bytes: depths below 7 store none.
long long pixelBytes(int depth) {
    return std::max(0, (depth + 1) / 8);
}

long long graphicBytes(const MapHeader& h) {
    return (long long)h.blockWidth * h.blockHeight * pixelBytes(h.blockDepth);
}

// Per-walk bookkeeping that is not part of the map itself.
struct WalkState {
    bool headerSeen = false;
    bool headerUsed = false; // a BKDT, ANDT or layer chunk has been decoded with the header
};

// The sequence positions an animation can show, as one or two ranges of first and last.
// Steps run from start to end - 1 (start alone when they are equal); when start lies above
// end, the step rules only ever land on start and end - 1.
template <typename Visit> void forEachFrameRange(const BlockAnimation& a, Visit visit) {
    if (a.start <= a.end) {
        visit((long long)a.start, std::max((long long)a.start, (long long)a.end - 1));
    } else {
        visit((long long)a.start, (long long)a.start);
        visit((long long)a.end - 1, (long long)a.end - 1);
    }
}

int decodeHeader(WalkState& walk, const unsigned char* d, uint32_t n) {
    // A later header replaces an earlier one, but not once chunks were decoded with it.
    if (walk.headerUsed)
        return fail(MapBadFile, "MPHD chunk after a chunk that depends on the header");
    if (n < 28)
        return fail(MapBadFile, format("MPHD chunk of %u bytes, at least 28 needed", n));
    if (n > 28 && n < 36)
        return fail(MapBadFile, format("MPHD chunk of %u bytes, 28 or at least 36 needed", n));
    walk.headerSeen = true;
    MapHeader& h = mapState().header;
    h.versionMajor = d[0];
    h.versionMinor = d[1];
    h.byteOrder = d[2];
    h.mapType = d[3];
    const bool little = isLittle();
    h.mapWidth = read16(d + 4, little);
    h.mapHeight = read16(d + 6, little);
    h.blockWidth = read16(d + 12, little);
    h.blockHeight = read16(d + 14, little);
    h.blockDepth = read16(d + 16, little);
    h.blockRecordSize = read16(d + 18, little);
    h.blockCount = read16(d + 20, little);
    h.graphicCount = read16(d + 22, little);
    if (n > 28) {
        h.columnStep = read16(d + 28, little);
        h.rowStep = read16(d + 30, little);
        h.staggerX = read16(d + 32, little);
        h.staggerY = read16(d + 34, little);
    } else {
        h.columnStep = h.blockWidth;
        h.rowStep = h.blockHeight;
        h.staggerX = 0;
        h.staggerY = 0;
    }
    if (h.versionMajor > 1)
        return fail(MapTooNew, format("map version %d is newer than 1", h.versionMajor));
    if (h.mapType > 3)
        return fail(MapTooNew, format("map type %d is unknown", h.mapType));
    if (h.mapWidth <= 0 || h.mapHeight <= 0)
        return fail(MapBadFile, format("map size %d x %d", h.mapWidth, h.mapHeight));
    if (h.blockWidth <= 0 || h.blockHeight <= 0)
        return fail(MapBadFile, format("block size %d x %d", h.blockWidth, h.blockHeight));
    // Type 0 divides graphic offsets by the size of a graphic.
    if (h.mapType == 0 && pixelBytes(h.blockDepth) == 0)
        return fail(MapBadFile,
                    format("block depth %d stores no bytes, so type 0 offsets name no graphic",
                           h.blockDepth));
    if (h.blockRecordSize <= 0)
        return fail(MapBadFile, format("block record size %d", h.blockRecordSize));
    if (h.blockCount < 0 || h.graphicCount < 0)
        return fail(MapBadFile, format("%d blocks and %d graphics", h.blockCount, h.graphicCount));
    if (h.columnStep <= 0 || h.rowStep <= 0)
        return fail(MapBadFile, format("column and row steps %d, %d", h.columnStep, h.rowStep));
    if ((long long)h.mapWidth * h.mapHeight > MaxLayerCells)
        return fail(MapOutOfMemory, format("map of %d x %d cells is above the limit of %lld",
                                           h.mapWidth, h.mapHeight, MaxLayerCells));
    if (pixelBytes(h.blockDepth) == 0 &&
        (long long)h.graphicCount * h.blockWidth * h.blockHeight > MaxBlankPixels)
        return fail(MapOutOfMemory,
                    format("%d graphics of %d x %d pixels are above the limit of "
                           "%lld pixels",
                           h.graphicCount, h.blockWidth, h.blockHeight, MaxBlankPixels));
    return 0;
}

int decodeBlocks(const unsigned char* d, uint32_t n) {
    MapState& s = mapState();
    const MapHeader& h = s.header;
    const bool little = isLittle();
    if (h.blockCount > 0 && (long long)(h.blockCount - 1) * h.blockRecordSize + 32 > (long long)n)
        return fail(MapBadFile,
                    format("BKDT chunk of %u bytes is short for %d records", n, h.blockCount));
    const long long perGraphic = graphicBytes(h);
    std::vector<BlockStructure> blocks(h.blockCount);
    for (int k = 0; k < h.blockCount; ++k) {
        const unsigned char* r = d + (long long)k * h.blockRecordSize;
        BlockStructure& b = blocks[k];
        int32_t graphic[4];
        for (int g = 0; g < 4; ++g) {
            long long value = read32(r + 4 * g, little);
            if (h.mapType == 0)
                value /= perGraphic;
            const bool absent = g > 0 && value == 0; // a foreground of 0 means none
            if (!absent && (value < 0 || value >= h.graphicCount))
                return fail(MapBadFile,
                            format("block %d names graphic %lld of %d", k, value, h.graphicCount));
            graphic[g] = int32_t(value);
        }
        b.backgroundGraphic = graphic[0];
        b.foreground1Graphic = graphic[1];
        b.foreground2Graphic = graphic[2];
        b.foreground3Graphic = graphic[3];
        b.userLong1 = read32(r + 16, little);
        b.userLong2 = read32(r + 20, little);
        b.userShort1 = read16(r + 24, little);
        b.userShort2 = read16(r + 26, little);
        b.userByte1 = r[28];
        b.userByte2 = r[29];
        b.userByte3 = r[30];
        b.flags = r[31];
    }
    s.blocks.swap(blocks);
    s.blocksSeen = true;
    return 0;
}

int decodeAnimations(const unsigned char* d, uint32_t n) {
    MapState& s = mapState();
    const MapHeader& h = s.header;
    const bool little = isLittle();
    // The records are found from the end: the terminator is the last record that begins with
    // 0xFF, and everything before it is the sequence.
    long long terminator = n;
    int records = 0;
    do {
        terminator -= 16;
        ++records;
    } while (terminator >= 0 && d[terminator] != 0xFF);
    if (terminator < 0)
        return fail(MapBadFile, "ANDT chunk without a terminator record");
    if (terminator % 4 != 0)
        return fail(MapBadFile, "ANDT sequence is not a whole number of 4-byte values");

    std::vector<int32_t> sequence(terminator / 4);
    for (size_t i = 0; i < sequence.size(); ++i) {
        const int32_t value = read32(d + 4 * i, little);
        sequence[i] = h.mapType == 0 ? value / h.blockRecordSize : value;
    }
    const long long length = (long long)sequence.size();
    std::vector<BlockAnimation> animations(records);
    for (int i = 0; i < records; ++i) {
        const unsigned char* r = d + terminator + 16LL * i;
        BlockAnimation& a = animations[i];
        a.type = int8_t(r[0]);
        a.delay = int8_t(r[1]);
        a.counter = int8_t(r[2]);
        a.userByte = int8_t(r[3]);
        long long field[3];
        for (int f = 0; f < 3; ++f) {
            field[f] = read32(r + 4 + 4 * f, little);
            if (h.mapType == 0)
                field[f] = (field[f] + n) / 4;
        }
        const auto inside = [&](long long v) { return 0 <= v && v <= length; };
        if (i > 0 && !(inside(field[1]) && inside(field[2])))
            return fail(MapBadFile,
                        format("animation %d runs over frames %lld..%lld of a sequence of %lld", i,
                               field[1], field[2], length));
        // The terminator's fields are never used; keep them in range of the type.
        a.current = int32_t(field[0]);
        a.start = int32_t(field[1]);
        a.end = int32_t(field[2]);
    }
    // Only the frames some animation can reach must name a block.
    std::vector<int> reached(sequence.size() + 1, 0); // +1 at a range's start, -1 past its end
    for (int i = 1; i < records; ++i)
        forEachFrameRange(animations[i], [&](long long first, long long last) {
            if (first >= 0 && last < length) {
                ++reached[first];
                --reached[last + 1];
            }
        });
    int depth = 0;
    for (size_t i = 0; i < sequence.size(); ++i) {
        depth += reached[i];
        if (depth > 0 && (sequence[i] < 0 || sequence[i] >= h.blockCount))
            return fail(MapBadFile, format("animation frame %zu names block %d of %d", i,
                                           sequence[i], h.blockCount));
    }
    s.sequence.swap(sequence);
    s.animations.swap(animations);
    resetAnimations();
    return 0;
}

// Types 2 and 3: every row is a list of runs that ends exactly at the end of the row.
int decodeRuns(const unsigned char* d, uint32_t n, std::vector<int16_t>& cells) {
    const MapHeader& h = mapState().header;
    const bool little = isLittle();
    const bool copies = h.mapType == 3;
    size_t pos = 0;
    long long index = 0;
    auto next = [&](int16_t& value) {
        if (n - pos < 2)
            return false;
        value = read16(d + pos, little);
        pos += 2;
        return true;
    };
    for (int row = 0; row < h.mapHeight; ++row) {
        int filled = 0;
        while (filled < h.mapWidth) {
            int16_t count;
            if (!next(count))
                return fail(MapBadFile, format("layer data ends inside row %d", row));
            const int cellsInRun = count < 0 ? -int(count) : int(count);
            if (filled + cellsInRun > h.mapWidth)
                return fail(MapBadFile, format("a run passes the end of row %d", row));
            if (count > 0) {
                if ((long long)(n - pos) < 2LL * count)
                    return fail(MapBadFile, format("layer data ends inside row %d", row));
                for (int i = 0; i < count; ++i, pos += 2)
                    cells[index++] = read16(d + pos, little);
            } else if (count < 0) {
                int16_t value;
                if (!next(value))
                    return fail(MapBadFile, format("layer data ends inside row %d", row));
                if (!copies) {
                    for (int i = 0; i < cellsInRun; ++i)
                        cells[index++] = value;
                } else {
                    if (value >= 0 || index + value < 0)
                        return fail(MapBadFile,
                                    format("a copy in row %d reaches outside the layer", row));
                    // One cell at a time, so a short pattern repeats.
                    for (int i = 0; i < cellsInRun; ++i, ++index)
                        cells[index] = cells[index + value];
                }
            }
            filled += cellsInRun;
        }
    }
    return 0;
}

int decodeLayer(int slot, const unsigned char* d, uint32_t n) {
    MapState& s = mapState();
    const MapHeader& h = s.header;
    const bool little = isLittle();
    const long long count = (long long)h.mapWidth * h.mapHeight;
    std::vector<int16_t> cells(count);
    if (h.mapType <= 1) {
        if ((long long)n < 2 * count)
            return fail(MapBadFile,
                        format("layer chunk of %u bytes holds fewer than %lld cells", n, count));
        for (long long i = 0; i < count; ++i) {
            const int16_t v = read16(d + 2 * i, little);
            if (h.mapType == 1)
                cells[i] = v;
            else
                cells[i] = int16_t(v >= 0 ? v / h.blockRecordSize : v / 16);
        }
    } else if (decodeRuns(d, n, cells) != 0) {
        return -1;
    }
    s.layers[slot].swap(cells);
    if (slot == 0)
        s.currentLayer = 0;
    return 0;
}

int layerSlot(const char* id) {
    if (std::memcmp(id, "BODY", 4) == 0)
        return 0;
    if (std::memcmp(id, "LYR", 3) == 0 && id[3] >= '1' && id[3] <= '7')
        return id[3] - '0';
    return -1;
}

int decodeChunk(WalkState& walk, const char* id, const unsigned char* d, uint32_t n) {
    MapState& s = mapState();
    if (std::memcmp(id, "MPHD", 4) == 0)
        return decodeHeader(walk, d, n);
    if (std::memcmp(id, "CMAP", 4) == 0) {
        s.palette.assign(d, d + n);
        return 0;
    }
    if (std::memcmp(id, "AGFX", 4) == 0)
        return fail(MapUnsupported, "AGFX chunks are not supported");
    if (std::memcmp(id, "BGFX", 4) == 0) {
        if (!s.graphicsSeen) {
            s.graphics.assign(d, d + n);
            s.graphicsSeen = true;
        }
        return 0;
    }
    const int slot = layerSlot(id);
    const bool needsHeader =
        slot >= 0 || std::memcmp(id, "BKDT", 4) == 0 || std::memcmp(id, "ANDT", 4) == 0;
    if (!needsHeader)
        return 0; // NOVC and any unknown chunk
    if (!walk.headerSeen)
        return fail(MapBadFile, format("%.4s chunk before the MPHD chunk", id));
    walk.headerUsed = true;
    if (slot >= 0)
        return decodeLayer(slot, d, n);
    if (id[1] == 'K')
        return decodeBlocks(d, n);
    return decodeAnimations(d, n);
}

// What the walk cannot check chunk by chunk, because the chunks may come in any order.
int checkWholeMap(const WalkState& walk) {
    MapState& s = mapState();
    const MapHeader& h = s.header;
    if (!walk.headerSeen)
        return fail(MapBadFile, "no MPHD chunk");
    if (h.blockCount > 0 && !s.blocksSeen)
        return fail(MapBadFile, format("%d blocks but no BKDT chunk", h.blockCount));
    const long long needed = graphicBytes(h) * h.graphicCount;
    if ((long long)s.graphics.size() < needed)
        return fail(MapBadFile, format("%d graphics need %lld bytes of BGFX data, %zu found",
                                       h.graphicCount, needed, s.graphics.size()));
    const int blocks = int(s.blocks.size());
    const int animations = int(s.animations.size());
    std::vector<char> named(animations, 0);
    for (int slot = 0; slot < LayerSlots; ++slot) {
        for (const int16_t v : s.layers[slot]) {
            if (v >= 0 ? v < blocks : animations + v >= 1) {
                if (v < 0)
                    named[animations + v] = 1;
                continue;
            }
            return fail(MapBadFile, format("layer %d has the cell value %d, which names no %s",
                                           slot, v, v >= 0 ? "block" : "animation"));
        }
    }
    const long long sequence = (long long)s.sequence.size();
    for (int i = 1; i < animations; ++i) {
        bool outside = false;
        forEachFrameRange(s.animations[i], [&](long long first, long long last) {
            outside = outside || first < 0 || last >= sequence;
        });
        if (named[i] && outside)
            return fail(MapBadFile,
                        format("animation %d, shown by a cell, can show a frame outside the "
                               "sequence of %lld",
                               i, sequence));
    }
    return 0;
}

int decodeChunks(const unsigned char* data, size_t size, long long remaining, int makeTransparent) {
    freeMap();
    MapState& s = mapState();
    WalkState walk;
    size_t pos = 0;
    while (remaining > 0) {
        if (size - pos < 8) {
            fail(MapBadFile, format("chunk header cut short at offset %zu", pos + 12));
            freeMap();
            return -1;
        }
        char id[4];
        std::memcpy(id, data + pos, 4);
        const uint32_t length = bigEndian32(data + pos + 4);
        ChunkInfo info;
        std::memcpy(info.id, id, 4);
        info.length = length;
        info.offset = pos + 12;
        s.chunks.push_back(info);
        // Checked before anything is allocated, so a forged length costs nothing.
        if (length > size - pos - 8) {
            fail(MapBadFile, format("%.4s chunk at offset %zu claims %u bytes, %zu remain", id,
                                    pos + 12, length, size - pos - 8));
            freeMap();
            return -1;
        }
        if (decodeChunk(walk, id, data + pos + 8, length) != 0 || s.lastError != MapOk) {
            freeMap();
            return -1;
        }
        pos += 8 + size_t(length);
        remaining -= 8 + (long long)length;
    }
    if (checkWholeMap(walk) != 0) {
        freeMap();
        return -1;
    }
    const MapHeader& h = s.header;
    return convertGraphics(makeTransparent, h.graphicCount, h.blockCount, s.palette.data());
}

// The 12-byte container header: "FORM", the big-endian length L, "FMAP".
bool readContainer(const unsigned char* head, size_t size, long long& formLength) {
    if (size < 12 || std::memcmp(head, "FORM", 4) != 0 || std::memcmp(head + 8, "FMAP", 4) != 0)
        return false;
    formLength = bigEndian32(head + 4);
    return true;
}

int walkImage(const unsigned char* body, size_t size, long long formLength, int makeTransparent) {
    MapState& s = mapState();
    s.lastError = MapOk;
    int result;
    try {
        result = decodeChunks(body, size, formLength - 4, makeTransparent);
    } catch (const std::bad_alloc&) {
        freeMap();
        result = fail(MapOutOfMemory, "out of memory");
    }
    resetAnimations();
    return result;
}

void startLoad() {
    MapState& s = mapState();
    s.lastError = MapOk;
    s.errorDetail.clear();
    s.chunks.clear();
}

} // namespace

int loadMap(const char* path, int makeTransparent) {
    startLoad();
    ALLEGRO_FILE* file = path ? al_fopen(hostPath(path).c_str(), "rb") : nullptr;
    if (!file)
        return fail(MapCannotOpen, format("cannot open %s", path ? path : "(no path)"));
    unsigned char head[12];
    long long formLength = 0;
    if (al_fread(file, head, 12) != 12 || !readContainer(head, 12, formLength)) {
        al_fclose(file);
        return fail(MapBadFile, "not a FORM FMAP file");
    }
    std::vector<unsigned char> body;
    try {
        const int64_t fileSize = al_fsize(file);
        if (fileSize >= 12) {
            body.resize(size_t(fileSize - 12));
            body.resize(al_fread(file, body.data(), body.size()));
        } else {
            unsigned char block[65536];
            size_t got;
            while ((got = al_fread(file, block, sizeof block)) > 0)
                body.insert(body.end(), block, block + got);
        }
    } catch (const std::bad_alloc&) {
        al_fclose(file);
        freeMap();
        return fail(MapOutOfMemory, "out of memory reading the file");
    }
    al_fclose(file);
    return walkImage(body.data(), body.size(), formLength, makeTransparent);
}

int decodeMap(const unsigned char* data, size_t size, int makeTransparent) {
    startLoad();
    long long formLength = 0;
    if (!data || !readContainer(data, size, formLength))
        return fail(MapBadFile, "not a FORM FMAP image");
    return walkImage(data + 12, size - 12, formLength, makeTransparent);
}

int loadMapOrKeep(const char* path, int makeTransparent) {
    MapState& s = mapState();
    // The map on show steps aside, with its bitmaps, while the new one is read; it comes back
    // whole when the new one cannot be loaded.
    MapState kept = std::move(s);
    s = MapState{};
    const int result = loadMap(path, makeTransparent);
    if (result == 0) {
        std::swap(s, kept);
        freeMap();
        std::swap(s, kept);
        return 0;
    }
    freeMap();
    const int error = s.lastError;
    std::string detail = std::move(s.errorDetail);
    std::vector<ChunkInfo> chunks = std::move(s.chunks);
    s = std::move(kept);
    s.lastError = error;
    s.errorDetail = std::move(detail);
    s.chunks = std::move(chunks);
    return result;
}

void freeMap() {
    MapState& s = mapState();
    // After Allegro has shut down its bitmaps are gone already; only forget the handles.
    if (al_is_system_installed()) {
        for (ALLEGRO_BITMAP* bitmap : s.blockBitmaps)
            if (bitmap)
                al_destroy_bitmap(bitmap);
        for (ALLEGRO_BITMAP* page : s.atlasPages)
            al_destroy_bitmap(page);
    }
    std::vector<ALLEGRO_BITMAP*>().swap(s.blockBitmaps);
    std::vector<ALLEGRO_BITMAP*>().swap(s.atlasPages);
    std::vector<unsigned char>().swap(s.palette);
    std::vector<unsigned char>().swap(s.graphics);
    std::vector<unsigned char>().swap(s.colours);
    std::vector<BlockStructure>().swap(s.blocks);
    std::vector<int32_t>().swap(s.sequence);
    std::vector<BlockAnimation>().swap(s.animations);
    for (auto& layer : s.layers)
        std::vector<int16_t>().swap(layer);
    s.graphicsSeen = false;
    s.blocksSeen = false;
    s.currentLayer = -1;
    s.loaded = false;
}

int lastError() {
    return mapState().lastError;
}

const char* lastErrorDetail() {
    return mapState().errorDetail.c_str();
}

const char* errorName(int code) {
    switch (code) {
    case MapOk:
        return "MapOk";
    case MapOutOfMemory:
        return "MapOutOfMemory";
    case MapBadFile:
        return "MapBadFile";
    case MapCannotOpen:
        return "MapCannotOpen";
    case MapNoSystem:
        return "MapNoSystem";
    case MapNoBitmap:
        return "MapNoBitmap";
    case MapTooNew:
        return "MapTooNew";
    case MapUnsupported:
        return "MapUnsupported";
    default:
        return "MapUnknown";
    }
}

int selectLayer(int n) {
    MapState& s = mapState();
    if (n < 0 || n >= LayerSlots || s.layers[n].empty())
        return -1;
    s.currentLayer = n;
    return n;
}

// ---- Queries -------------------------------------------------------------------------------

int mapLoaded() {
    return mapState().loaded ? 1 : 0;
}

const MapHeader& header() {
    return mapState().header;
}

int layerPresent(int n) {
    return n >= 0 && n < LayerSlots && !mapState().layers[n].empty() ? 1 : 0;
}

int currentLayer() {
    return mapState().currentLayer;
}

const int16_t* layerCells(int layer) {
    return layerPresent(layer) ? mapState().layers[layer].data() : nullptr;
}

int cellAt(int layer, int column, int row) {
    const MapHeader& h = mapState().header;
    if (!layerPresent(layer) || column < 0 || row < 0 || column >= h.mapWidth || row >= h.mapHeight)
        return NoCell;
    return mapState().layers[layer][(size_t)row * h.mapWidth + column];
}

int blockOfCell(int value) {
    const MapState& s = mapState();
    const int animations = int(s.animations.size());
    if (value >= 0)
        return value < int(s.blocks.size()) ? value : -1;
    if (value < -(animations - 1))
        return -1;
    const int current = s.animations[animations + value].current;
    if (current < 0 || current >= int(s.sequence.size()))
        return -1;
    const int block = s.sequence[current];
    return block >= 0 && block < int(s.blocks.size()) ? block : -1;
}

int blockCount() {
    return int(mapState().blocks.size());
}

int graphicCount() {
    const MapState& s = mapState();
    return s.blockBitmaps.empty() ? 0 : int(s.blockBitmaps.size()) - 1;
}

const BlockStructure* blockStructure(int i) {
    const MapState& s = mapState();
    return i >= 0 && i < int(s.blocks.size()) ? &s.blocks[i] : nullptr;
}

int animationCount() {
    return int(mapState().animations.size());
}

const BlockAnimation* animation(int i) {
    const MapState& s = mapState();
    return i >= 0 && i < int(s.animations.size()) ? &s.animations[i] : nullptr;
}

int sequenceLength() {
    return int(mapState().sequence.size());
}

int sequenceValue(int i) {
    const MapState& s = mapState();
    return i >= 0 && i < int(s.sequence.size()) ? s.sequence[i] : -1;
}

ALLEGRO_BITMAP* blockBitmap(int graphic) {
    const MapState& s = mapState();
    return graphic >= 0 && graphic < graphicCount() ? s.blockBitmaps[graphic] : nullptr;
}

const unsigned char* palette() {
    return mapState().palette.data();
}

int paletteSize() {
    return int(mapState().palette.size() / 3);
}

int chunkCount() {
    return int(mapState().chunks.size());
}

const ChunkInfo* chunk(int i) {
    const MapState& s = mapState();
    return i >= 0 && i < int(s.chunks.size()) ? &s.chunks[i] : nullptr;
}

} // namespace MapLibrary
