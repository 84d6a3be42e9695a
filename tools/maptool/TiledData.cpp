#include "TiledData.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cctype>

namespace {

int base64Value(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

bool TiledData::fail(const std::string& reason) {
    error_ = reason;
    return false;
}

bool TiledData::parseGid(const std::string& text, std::uint32_t& gid) {
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return false;
    gid = static_cast<std::uint32_t>(value);
    return true;
}

bool TiledData::decode(const std::string& text, const std::string& encoding,
                       const std::string& compression, std::size_t cells,
                       std::vector<std::uint32_t>& gids) {
    gids.clear();
    if (cells > maxCells)
        return fail(std::to_string(cells) + " cells are more than the " + std::to_string(maxCells) +
                    " a layer may hold");
    if (encoding == "csv") {
        if (!compression.empty())
            return fail("CSV data cannot be compressed (compression \"" + compression + "\")");
        return decodeCsv(text, cells, gids);
    }
    if (encoding != "base64")
        return fail("unknown encoding \"" + encoding + "\"");
    if (!compression.empty() && compression != "zlib" && compression != "gzip" &&
        compression != "zstd")
        return fail("unknown compression \"" + compression + "\"");

    std::vector<unsigned char> packed;
    if (!decodeBase64(text, packed))
        return false;
    const std::size_t expected = cells * 4;
    std::vector<unsigned char> bytes;
    if (compression.empty())
        bytes = std::move(packed);
    else if (compression == "zstd" ? !unzstd(packed, expected, bytes)
                                   : !inflate(packed, compression == "gzip", expected, bytes))
        return false;
    if (bytes.size() != expected)
        return fail("data holds " + std::to_string(bytes.size()) + " bytes, expected " +
                    std::to_string(expected) + " (" + std::to_string(cells) + " tiles)");
    gids.resize(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        const unsigned char* b = &bytes[i * 4];
        gids[i] = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
                  std::uint32_t{b[3]} << 24;
    }
    return true;
}

bool TiledData::decodeCsv(const std::string& text, std::size_t cells,
                          std::vector<std::uint32_t>& gids) {
    gids.reserve(cells);
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    skipSpace();
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && text[i] != ',' &&
               !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        const std::string word = text.substr(start, i - start);
        std::uint32_t gid = 0;
        if (!parseGid(word, gid))
            return fail("CSV value " + std::to_string(gids.size() + 1) + " \"" +
                        word.substr(0, 20) + "\" is not a tile number");
        if (gids.size() == cells)
            return fail("CSV data holds more than " + std::to_string(cells) + " tiles");
        gids.push_back(gid);
        skipSpace();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipSpace();
        } else if (i < text.size()) {
            return fail("CSV value " + std::to_string(gids.size()) + " is not followed by a comma");
        }
    }
    if (gids.size() != cells)
        return fail("CSV data holds " + std::to_string(gids.size()) + " tile" +
                    (gids.size() == 1 ? "" : "s") + ", expected " + std::to_string(cells));
    return true;
}

bool TiledData::decodeBase64(const std::string& text, std::vector<unsigned char>& bytes) {
    bytes.reserve(text.size() / 4 * 3);
    unsigned int buffer = 0;
    int bits = 0;
    int padding = 0;
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (std::isspace(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = base64Value(c);
        if (value < 0 || padding > 0)
            return fail("bad base64 text (character " + std::to_string(static_cast<int>(c)) +
                        (padding > 0 ? " after the padding)" : ")"));
        buffer = (buffer << 6 | static_cast<unsigned int>(value)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<unsigned char>(buffer >> bits & 0xFF));
        }
    }
    if (padding > 2 || bits >= 6)
        return fail("bad base64 text (wrong length)");
    return true;
}

bool TiledData::inflate(const std::vector<unsigned char>& packed, bool gzip, std::size_t limit,
                        std::vector<unsigned char>& bytes) {
    const char* name = gzip ? "gzip" : "zlib";
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 15 + 16 : 15) != Z_OK)
        return fail(std::string("cannot start the ") + name + " decoder");
    // One byte more than expected, so that an overlong stream shows as a wrong length.
    bytes.assign(limit + 1, 0);
    stream.next_in = const_cast<unsigned char*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = bytes.data();
    stream.avail_out = static_cast<uInt>(bytes.size());
    int status = Z_OK;
    while (status == Z_OK && stream.avail_out > 0)
        status = ::inflate(&stream, Z_NO_FLUSH);
    const std::size_t produced = bytes.size() - stream.avail_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END && !(status == Z_OK && stream.avail_out == 0))
        return fail(std::string("corrupt ") + name + " data" +
                    (status == Z_BUF_ERROR ? " (stream cut short)" : ""));
    bytes.resize(produced);
    return true;
}

bool TiledData::unzstd(const std::vector<unsigned char>& packed, std::size_t limit,
                       std::vector<unsigned char>& bytes) {
    ZSTD_DCtx* context = ZSTD_createDCtx();
    if (context == nullptr)
        return fail("cannot start the zstd decoder");
    // Frames that ask for a huge window are refused rather than allocated.
    ZSTD_DCtx_setParameter(context, ZSTD_d_windowLogMax, 27);
    bytes.assign(limit + 1, 0);
    ZSTD_inBuffer in{packed.data(), packed.size(), 0};
    ZSTD_outBuffer out{bytes.data(), bytes.size(), 0};
    std::size_t status = 1;
    while (status != 0 && out.pos < out.size) {
        const std::size_t before = in.pos + out.pos;
        status = ZSTD_decompressStream(context, &out, &in);
        if (ZSTD_isError(status))
            break;
        if (in.pos + out.pos == before)
            break; // no progress: the input ends inside a frame
    }
    ZSTD_freeDCtx(context);
    if (ZSTD_isError(status))
        return fail(std::string("corrupt zstd data (") + ZSTD_getErrorName(status) + ")");
    if (status != 0 && out.pos < out.size)
        return fail("corrupt zstd data (stream cut short)");
    bytes.resize(out.pos);
    return true;
}

bool TiledData::assemble(const std::vector<Chunk>& chunks, int& left, int& top, int& width,
                         int& height, std::vector<std::uint32_t>& gids) {
    left = top = width = height = 0;
    gids.clear();
    if (chunks.empty())
        return true;
    long long x0 = chunks[0].x, y0 = chunks[0].y;
    long long x1 = x0 + chunks[0].width, y1 = y0 + chunks[0].height;
    for (const Chunk& chunk : chunks) {
        x0 = std::min(x0, chunk.x);
        y0 = std::min(y0, chunk.y);
        x1 = std::max(x1, chunk.x + chunk.width);
        y1 = std::max(y1, chunk.y + chunk.height);
    }
    const long long limit = 1LL << 30;
    if (x0 < -limit || y0 < -limit || x1 > limit || y1 > limit ||
        static_cast<unsigned long long>((x1 - x0) * (y1 - y0)) > maxCells)
        return fail("the chunks span " + std::to_string(x1 - x0) + " x " + std::to_string(y1 - y0) +
                    " cells, more than the " + std::to_string(maxCells) + " a layer may hold");
    left = static_cast<int>(x0);
    top = static_cast<int>(y0);
    width = static_cast<int>(x1 - x0);
    height = static_cast<int>(y1 - y0);
    gids.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (const Chunk& chunk : chunks)
        for (long long j = 0; j < chunk.height; ++j)
            for (long long i = 0; i < chunk.width; ++i)
                gids[static_cast<std::size_t>((chunk.y - y0 + j) * width + chunk.x - x0 + i)] =
                    chunk.gids[static_cast<std::size_t>(j * chunk.width + i)];
    return true;
}
