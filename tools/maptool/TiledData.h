#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes the tile numbers of a tile layer or chunk from the text forms Tiled writes: CSV, and
// base64 of little-endian 32-bit numbers, raw or compressed with zlib, gzip or zstd. Output is
// never larger than the cells asked for, whatever the input claims.
class TiledData {
  public:
    // The most cells one layer may hold; anything larger is refused before memory is taken.
    static constexpr std::size_t maxCells = std::size_t{1} << 24;
    // The most cells all layers of one map may hold together.
    static constexpr std::size_t maxMapCells = std::size_t{1} << 25;

    // Fills gids with exactly `cells` numbers; false with a reason in error() otherwise.
    // encoding is "csv" or "base64"; compression "", "zlib", "gzip" or "zstd".
    bool decode(const std::string& text, const std::string& encoding,
                const std::string& compression, std::size_t cells,
                std::vector<std::uint32_t>& gids);
    // One chunk of an infinite map's layer: its cells, row by row, at map cell (x, y).
    struct Chunk {
        long long x = 0;
        long long y = 0;
        long long width = 0;
        long long height = 0;
        std::vector<std::uint32_t> gids;
    };
    // Puts the chunks into one rectangle, their bounding box; false when it is too large.
    bool assemble(const std::vector<Chunk>& chunks, int& left, int& top, int& width, int& height,
                  std::vector<std::uint32_t>& gids);

    // A decimal tile number in 0..2^32-1, the whole text.
    static bool parseGid(const std::string& text, std::uint32_t& gid);
    const std::string& error() const { return error_; }

  private:
    bool decodeCsv(const std::string& text, std::size_t cells, std::vector<std::uint32_t>& gids);
    bool decodeBase64(const std::string& text, std::vector<unsigned char>& bytes);
    bool inflate(const std::vector<unsigned char>& packed, bool gzip, std::size_t limit,
                 std::vector<unsigned char>& bytes);
    bool unzstd(const std::vector<unsigned char>& packed, std::size_t limit,
                std::vector<unsigned char>& bytes);
    bool fail(const std::string& reason);

    std::string error_;
};
