#include "MapImageBuilder.h"

#include "MapWriter.h"

namespace {

void putBig32(MapImageBuilder::Bytes& d, uint32_t v) {
    d.insert(d.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

} // namespace

MapImageBuilder& MapImageBuilder::chunk(const char* id, const Bytes& data) {
    chunks_.push_back({std::string(id, 4), data});
    return *this;
}

MapImageBuilder& MapImageBuilder::mphd() {
    const Header& h = header;
    Bytes d{uint8_t(h.versionMajor), uint8_t(h.versionMinor), uint8_t(h.byteOrder),
            uint8_t(h.mapType)};
    put(d, 2,
        {h.mapWidth, h.mapHeight, 0, 0, h.blockWidth, h.blockHeight, h.blockDepth,
         h.blockRecordSize, h.blockCount, h.graphicCount, 0, 0, h.columnStep, h.rowStep, h.staggerX,
         h.staggerY});
    d.resize(h.length, 0);
    return chunk(MapFormat::headerChunk, d);
}

MapImageBuilder& MapImageBuilder::bkdt(const std::vector<Block>& blocks) {
    const Header& h = header;
    const int perGraphic =
        h.mapType == 0 ? h.blockWidth * h.blockHeight * MapFormat::pixelBytes(h.blockDepth) : 1;
    Bytes d;
    for (const Block& b : blocks) {
        const size_t start = d.size();
        put(d, 4,
            {b.background * perGraphic, b.foreground1 * perGraphic, b.foreground2 * perGraphic,
             b.foreground3 * perGraphic, b.userLong1, b.userLong2});
        put(d, 2, {b.userShort1, b.userShort2});
        d.insert(d.end(), {b.userByte1, b.userByte2, b.userByte3, b.flags});
        d.resize(start + header.blockRecordSize, 0xEE);
    }
    return chunk(MapFormat::blockChunk, d);
}

MapImageBuilder& MapImageBuilder::andt(const std::vector<int>& sequence,
                                       const std::vector<Animation>& records) {
    const bool offsets = header.mapType == 0;
    const int recordSize = MapFormat::animationRecordSize;
    const int n = int(sequence.size() * 4 + (records.size() + 1) * recordSize);
    Bytes d;
    for (int v : sequence)
        put(d, 4, {offsets ? v * header.blockRecordSize : v});
    auto index = [&](int i) { return offsets ? i * 4 - n : i; };
    std::vector<Animation> all{Animation{-1}};
    all.insert(all.end(), records.begin(), records.end());
    for (const Animation& a : all) {
        d.insert(d.end(),
                 {uint8_t(a.type), uint8_t(a.delay), uint8_t(a.counter), uint8_t(a.userByte)});
        put(d, 4, {index(a.current), index(a.start), index(a.end)});
    }
    return chunk(MapFormat::animationChunk, d);
}

MapImageBuilder& MapImageBuilder::layerNumbers(const char* id, const std::vector<int>& numbers) {
    Bytes d;
    put(d, 2, numbers);
    return chunk(id, d);
}

MapImageBuilder& MapImageBuilder::layer(const char* id, const std::vector<int>& cells) {
    std::vector<int> out;
    if (header.mapType >= 2) {
        const std::vector<int16_t> runs = MapWriter::encodeRuns(
            std::vector<int16_t>(cells.begin(), cells.end()), header.mapWidth, header.mapType == 3);
        out.assign(runs.begin(), runs.end());
    } else {
        for (int v : cells)
            out.push_back(header.mapType == 1 ? v
                                              : v * (v >= 0 ? header.blockRecordSize
                                                            : MapFormat::animationRecordSize));
    }
    return layerNumbers(id, out);
}

MapImageBuilder::Bytes MapImageBuilder::image() const {
    Bytes out;
    out.insert(out.end(), MapFormat::containerId, MapFormat::containerId + 4);
    putBig32(out, 0); // the length, filled in below
    out.insert(out.end(), MapFormat::mapId, MapFormat::mapId + 4);
    for (const auto& c : chunks_) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        putBig32(out, uint32_t(c.data.size()));
        out.insert(out.end(), c.data.begin(), c.data.end());
    }
    const uint32_t length = uint32_t(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = uint8_t(length >> (24 - 8 * i));
    return out;
}

void MapImageBuilder::put(Bytes& d, int size, const std::vector<int>& values) const {
    for (int value : values)
        for (int i = 0; i < size; ++i) {
            const int byte = header.byteOrder == 1 ? i : size - 1 - i;
            d.push_back(uint8_t(uint32_t(value) >> (8 * byte)));
        }
}
