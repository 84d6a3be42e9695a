#include "MapDescription.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::string refusal(const std::string& text) {
    const std::string path = testing::TempDir() + "d.json";
    std::ofstream(path, std::ios::binary) << text;
    MapDescription description;
    EXPECT_FALSE(description.read(path, MakeOptions()));
    return description.error();
}

TEST(MapDescription, AKeyUsedTwiceInOneObjectIsRefusedWithItsPlace) {
    const struct {
        const char* name;
        const char* text;
        const char* expected;
    } rows[] = {
        {"top level", R"({"name": "a", "width": 2, "name": "b"})",
         R"(description: the key "name" is used twice)"},
        {"legend", R"({"legend": {"g": 1, "w": 2, "g": 3}})",
         R"(legend: the key "g" is used twice)"},
        {"a layer", R"({"layers": [{"rows": []}, {"rows": [], "name": "x", "rows": []}]})",
         R"(layers[1]: the key "rows" is used twice)"},
        {"after arrays and values",
         R"({"blocks": [1, [2, 3], {"background": 1, "background": 2}]})",
         R"(blocks[2]: the key "background" is used twice)"},
        {"nested objects", R"({"layers": [[["a"]], {"x": {"y": 1, "y": 2}}]})",
         R"(layers[1].x: the key "y" is used twice)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(refusal(row.text), testing::TempDir() + "d.json: " + row.expected);
    }
}

TEST(MapDescription, OneKeyInTwoObjectsIsNoDuplicate) {
    const std::string error = refusal(R"({"legend": {"g": 1}, "blocks": [{"g": 1}, {"g": 2}]})");
    EXPECT_EQ(error.find("twice"), std::string::npos) << error;
}

} // namespace
