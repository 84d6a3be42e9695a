#include "MapDescription.h"
#include "ToolSupport.h"

#include <cstdio>
#include <filesystem>

// make DESCRIPTION.json OUT.fmp [options]: resolves the description and writes the map file.

namespace {

bool readOptions(const ParsedArguments& args, MakeOptions& options, std::string& error) {
    FormatChoice format;
    if (!readFormatChoice(args, format, error))
        return false;
    options.mapType = format.mapType;
    options.depth = format.depth;
    options.byteOrder = format.byteOrder;
    for (const auto& [name, value] : args.options) {
        if (name == "--stagger" || name == "--steps") {
            int a = 0;
            int b = 0;
            if (!parsePair(value, a, b) || (name == "--steps" && (a < 0 || b < 0))) {
                error = name + " takes two numbers X,Y, not \"" + value + "\"";
                return false;
            }
            (name == "--stagger" ? options.stagger : options.steps) = std::make_pair(a, b);
        } else if (name == "--note") {
            options.note = value;
        } else if (name == "--short-header") {
            options.shortHeader = true;
        }
    }
    return true;
}

} // namespace

int makeCommand(const std::vector<std::string>& words) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(words,
                        {"--type", "--depth", "--byte-order", "--stagger", "--steps", "--note"},
                        {"--short-header"}, args, error))
        return failWith("make: " + error);
    if (args.positional.size() != 2)
        return failWith("make needs DESCRIPTION.json and OUT.fmp");
    MakeOptions options;
    if (!readOptions(args, options, error))
        return failWith("make: " + error);

    MapDescription description;
    if (!description.read(args.positional[0], options))
        return failWith(description.error());
    const MapWriter::MapContent& map = description.content();
    const std::vector<unsigned char> bytes = MapWriter::writeMap(map, error);
    if (bytes.empty())
        return failWith(args.positional[0] + ": " + error);
    if (!writeWholeFile(args.positional[1], std::string(bytes.begin(), bytes.end())))
        return failWith("cannot write \"" + args.positional[1] + "\"");

    int layers = 0;
    for (const auto& layer : map.layers)
        layers += layer.empty() ? 0 : 1;
    std::printf("Wrote %s: type %d, depth %d, %s, %d x %d blocks of %d x %d, %d layers, "
                "%zu blocks, %zu graphics, %zu animations, %zu bytes\n",
                args.positional[1].c_str(), map.mapType, map.blockDepth,
                map.byteOrder == MapWriter::ByteOrder::Little ? "little-endian" : "big-endian",
                map.mapWidth, map.mapHeight, map.blockWidth, map.blockHeight, layers,
                map.blocks.size(), map.graphics.size(), map.animations.size(), bytes.size());
    if (description.greyKeyPixels() > 0 && map.blockDepth != 15 && map.blockDepth != 16)
        std::fprintf(stderr,
                     "fennow-maptool: warning: %d opaque pixels are grey 64,64,64, which the "
                     "game makes transparent\n",
                     description.greyKeyPixels());
    return 0;
}
