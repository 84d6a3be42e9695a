#include "ToolSupport.h"

#include "map/MapLibrary.h"

#include <nlohmann/json.hpp>

#include <cstdio>

// info MAP.fmp [--json]: what the game's loader finds in a map file, as text or as JSON.

namespace {

using json = nlohmann::json;

// The text of the first NOVC chunk, read from the file at the offset the loader reported.
std::string noteText(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string error;
    for (int i = 0; i < MapLibrary::chunkCount(); ++i) {
        const MapLibrary::ChunkInfo* c = MapLibrary::chunk(i);
        if (std::string(c->id) != "NOVC")
            continue;
        if (!readWholeFile(path, bytes, error) || c->offset + 8 + c->length > bytes.size())
            return "";
        std::string text(bytes.begin() + static_cast<std::ptrdiff_t>(c->offset + 8),
                         bytes.begin() + static_cast<std::ptrdiff_t>(c->offset + 8 + c->length));
        // Shown on one line: control bytes become blanks.
        for (char& ch : text)
            if (static_cast<unsigned char>(ch) < 32)
                ch = ' ';
        return text;
    }
    return "";
}

json chunkList() {
    json chunks = json::array();
    for (int i = 0; i < MapLibrary::chunkCount(); ++i) {
        const MapLibrary::ChunkInfo* c = MapLibrary::chunk(i);
        chunks.push_back({{"id", c->id}, {"length", c->length}, {"offset", c->offset}});
    }
    return chunks;
}

json headerObject() {
    const MapLibrary::MapHeader& h = MapLibrary::header();
    return {{"versionMajor", h.versionMajor},
            {"versionMinor", h.versionMinor},
            {"byteOrder", h.byteOrder == 1 ? "le" : "be"},
            {"mapType", h.mapType},
            {"mapWidth", h.mapWidth},
            {"mapHeight", h.mapHeight},
            {"blockWidth", h.blockWidth},
            {"blockHeight", h.blockHeight},
            {"blockDepth", h.blockDepth},
            {"blockRecordSize", h.blockRecordSize},
            {"blockCount", h.blockCount},
            {"graphicCount", h.graphicCount},
            {"columnStep", h.columnStep},
            {"rowStep", h.rowStep},
            {"staggerX", h.staggerX},
            {"staggerY", h.staggerY}};
}

// Animations as cells name them: the last record is cell -1.
json animationList() {
    json list = json::array();
    const int records = MapLibrary::animationCount();
    for (int i = 1; i < records; ++i) {
        const MapLibrary::BlockAnimation* a = MapLibrary::animation(i);
        json frames = json::array();
        for (int k = a->start; k < a->end; ++k)
            frames.push_back(MapLibrary::sequenceValue(k));
        list.push_back({{"cell", i - records},
                        {"type", a->type},
                        {"delay", a->delay},
                        {"start", a->start},
                        {"end", a->end},
                        {"current", a->current},
                        {"frames", frames},
                        {"shows", MapLibrary::blockOfCell(i - records)}});
    }
    return list;
}

json layerList() {
    json list = json::array();
    for (int n = 0; n < MapLibrary::LayerSlots; ++n)
        if (MapLibrary::layerPresent(n))
            list.push_back(n);
    return list;
}

int drawnLayerCount() {
    int count = 0;
    while (count < MapLibrary::LayerSlots && MapLibrary::selectLayer(count) == count)
        ++count;
    return count;
}

void printText(const std::string& path, const json& info) {
    std::printf("%s: %s\n", path.c_str(), info["result"].get<std::string>().c_str());
    std::printf("chunks:\n");
    for (const auto& c : info["chunks"])
        std::printf("  %-4s %8u bytes at offset %zu\n", c["id"].get<std::string>().c_str(),
                    c["length"].get<unsigned>(), c["offset"].get<std::size_t>());
    if (!info["note"].get<std::string>().empty())
        std::printf("note: %s\n", info["note"].get<std::string>().c_str());
    if (!info.contains("header"))
        return;
    const json& h = info["header"];
    std::printf("header: version %d.%d, %s numbers, map type %d\n", h["versionMajor"].get<int>(),
                h["versionMinor"].get<int>(),
                h["byteOrder"] == "le" ? "little-endian" : "big-endian", h["mapType"].get<int>());
    std::printf("  %d x %d blocks of %d x %d pixels at depth %d, record size %d\n",
                h["mapWidth"].get<int>(), h["mapHeight"].get<int>(), h["blockWidth"].get<int>(),
                h["blockHeight"].get<int>(), h["blockDepth"].get<int>(),
                h["blockRecordSize"].get<int>());
    std::printf("  steps %d x %d, stagger %d,%d\n", h["columnStep"].get<int>(),
                h["rowStep"].get<int>(), h["staggerX"].get<int>(), h["staggerY"].get<int>());
    std::printf("layers: %zu present (slots", info["layers"].size());
    for (const auto& n : info["layers"])
        std::printf(" %d", n.get<int>());
    std::printf("), %d drawn by the game\n", info["drawnLayers"].get<int>());
    std::printf("blocks: %d, graphics: %d, palette entries: %d\n", info["blocks"].get<int>(),
                info["graphics"].get<int>(), info["paletteEntries"].get<int>());
    std::printf("animations: %zu\n", info["animations"].size());
    for (const auto& a : info["animations"]) {
        std::printf("  cell %d: type %d, delay %d, frames", a["cell"].get<int>(),
                    a["type"].get<int>(), a["delay"].get<int>());
        for (const auto& f : a["frames"])
            std::printf(" %d", f.get<int>());
        std::printf(", shows block %d\n", a["shows"].get<int>());
    }
}

} // namespace

int infoCommand(const std::vector<std::string>& words) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(words, {}, {"--json"}, args, error))
        return failWith("info: " + error);
    if (args.positional.size() != 1)
        return failWith("info needs one MAP.fmp");
    const std::string& path = args.positional[0];

    const int result = MapLibrary::loadMap(path.c_str(), 1);
    const int code = MapLibrary::lastError();
    json info;
    info["file"] = path;
    info["error"] = MapLibrary::errorName(code);
    info["result"] = result == 0 ? std::string("MapOk")
                                 : std::string(MapLibrary::errorName(code)) + ": " +
                                       MapLibrary::lastErrorDetail();
    info["chunks"] = chunkList();
    info["note"] = noteText(path);
    if (result == 0) {
        info["header"] = headerObject();
        info["layers"] = layerList();
        info["drawnLayers"] = drawnLayerCount();
        info["blocks"] = MapLibrary::blockCount();
        info["graphics"] = MapLibrary::graphicCount();
        info["paletteEntries"] = MapLibrary::paletteSize();
        info["animations"] = animationList();
        MapLibrary::freeMap();
    }
    if (args.options.count("--json") != 0)
        std::printf("%s\n", info.dump(2, ' ', false, json::error_handler_t::replace).c_str());
    else
        printText(path, info);
    return result == 0 ? 0 : 1;
}
