#include "map/MapTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

// The fuzzer's seed corpus: small valid maps of every type, byte order and depth, with blocks,
// foregrounds, animations, two layers and a stagger on some. The test proves that each seed
// loads; with FENNOW_WRITE_CORPUS=DIR it also writes them to DIR (fuzz/corpus/map_decoder).
std::vector<uint8_t> seedImage(int mapType, int byteOrder, int depth) {
    MapImageBuilder b = solidHeader(4, 3, 2, 3);
    MapImageBuilder::Header& h = b.header;
    h.mapType = mapType;
    h.byteOrder = byteOrder;
    h.blockDepth = depth;
    h.staggerX = h.staggerY = depth == 16 ? 1 : 0;
    h.length = depth == 24 ? 28 : 36;
    b.mphd();
    b.chunk("NOVC", {'s', 'e', 'e', 'd'});
    const int pixelSize = (depth + 1) / 8;
    if (pixelSize == 1)
        b.cmap({0, 0, 0, 255, 0, 255, 64, 64, 64, 10, 200, 30});
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 3 * 4 * pixelSize; ++i)
        pixels.push_back(uint8_t(pixelSize == 1 ? i % 4 : i * 37));
    b.bgfx(pixels);
    MapImageBuilder::Block withForeground;
    withForeground.background = 1;
    withForeground.foreground1 = 2;
    withForeground.userLong1 = -5;
    b.bkdt({{}, withForeground, {}});
    MapImageBuilder::Animation loop{1, 0, 0, 3}, pingPong{5, 1, 1, 3};
    b.andt({0, 1, 2}, {loop, pingPong});
    b.layer("BODY", {0, 1, 1, 1, 2, -1, -2, 0, 2, -1, -2, 0});
    b.layer("LYR1", {1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0});
    return b.image();
}

TEST(FuzzCorpusTest, EverySeedLoads) {
    const char* dir = std::getenv("FENNOW_WRITE_CORPUS");
    for (int mapType = 0; mapType <= 3; ++mapType)
        for (int byteOrder = 0; byteOrder <= 1; ++byteOrder)
            for (int depth : {8, 15, 16, 24, 32}) {
                const std::vector<uint8_t> image = seedImage(mapType, byteOrder, depth);
                EXPECT_EQ(decode(image), 0)
                    << mapType << " " << byteOrder << " " << depth << ": " << lastErrorDetail();
                EXPECT_EQ(cellAt(0, 1, 1), -1);
                if (!dir)
                    continue;
                const std::string path = std::string(dir) + "/type" + std::to_string(mapType) +
                                         (byteOrder ? "_le_" : "_be_") + std::to_string(depth) +
                                         ".fmp";
                FILE* file = std::fopen(path.c_str(), "wb");
                ASSERT_NE(file, nullptr) << path;
                std::fwrite(image.data(), 1, image.size(), file);
                std::fclose(file);
            }
    freeMap();
}

} // namespace
