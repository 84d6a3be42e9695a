#include "DescriptionWriter.h"
#include "NpcScript.h"
#include "TiledImport.h"
#include "TiledLoader.h"
#include "ToolSupport.h"

#include <cstdio>
#include <filesystem>

// import MAP.tmx|MAP.tmj OUT.fmp [options]: reads a Tiled map, converts it and writes the map
// file, the characters' block of the map's script and, when asked, a JSON description. Every
// output is worked out first and written only when all of them are ready, so a failure leaves
// nothing behind.

namespace fs = std::filesystem;

namespace {

struct Options {
    ImportOptions import;
    std::string description; // --description OUT.json
    std::string script;      // --script PATH
};

bool readOptions(const ParsedArguments& args, Options& options, std::string& error) {
    FormatChoice format;
    if (!readFormatChoice(args, format, error))
        return false;
    options.import.mapType = format.mapType.value_or(options.import.mapType);
    options.import.depth = format.depth.value_or(options.import.depth);
    options.import.byteOrder = format.byteOrder.value_or(options.import.byteOrder);
    for (const auto& [name, value] : args.options) {
        if (name == "--description") {
            options.description = value;
        } else if (name == "--script") {
            options.script = value;
        }
    }
    return true;
}

// The map's script: given by --script, or found beside the map in a Data tree
// (Data/Maps/NAME.fmp has its script at Data/Scripts/Maps/NAME.lua); empty when neither.
std::string scriptPathFor(const std::string& out, const std::string& given) {
    if (!given.empty())
        return given;
    const fs::path path(out);
    const fs::path folder = path.parent_path();
    if (folder.filename() != "Maps")
        return "";
    return (folder.parent_path() / "Scripts" / "Maps" / path.stem()).string() + ".lua";
}

// The files an import makes that were not there before, so that a failed write can take them
// back.
class CreatedFiles {
  public:
    void note(const std::string& path) {
        std::error_code ignored;
        if (!fs::exists(path, ignored))
            paths_.push_back(path);
    }
    void remove() const {
        std::error_code ignored;
        for (const std::string& path : paths_)
            if (fs::is_regular_file(path, ignored))
                fs::remove(path, ignored);
    }

  private:
    std::vector<std::string> paths_;
};

// The tile sheet that writeDescription puts beside the JSON: Farm.json -> Farm.png.
std::string sheetPathFor(const std::string& jsonPath) {
    return fs::path(jsonPath).replace_extension(".png").string();
}

// The script's new text with the characters' block in place; "" (and no error) when the map
// has no characters and the script holds no block to empty.
bool newScriptText(const std::string& path, const std::vector<NpcSpawn>& spawns,
                   const std::string& source, std::string& text, std::string& error) {
    std::string old;
    std::error_code ignored;
    const bool exists = fs::exists(path, ignored);
    std::vector<unsigned char> bytes;
    if (exists && !readWholeFile(path, bytes, error))
        return false;
    old.assign(bytes.begin(), bytes.end());
    if (spawns.empty() && old.find(NpcScript::beginMarker) == std::string::npos)
        return true;
    if (!exists)
        old = "-- " + fs::path(path).stem().string() +
              ": runs each time the map is loaded. Lines outside the characters' block are "
              "yours; an import replaces only that block.\n";
    if (!NpcScript::merge(old, NpcScript::block(spawns, source), text, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void printLines(const char* kind, const std::string& file, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        std::fprintf(stderr, "fennow-maptool: %s: %s: %s\n", kind, file.c_str(), line.c_str());
}

} // namespace

int importCommand(const std::vector<std::string>& words) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(words, {"--type", "--depth", "--byte-order", "--description", "--script"},
                        {}, args, error))
        return failWith("import: " + error);
    if (args.positional.size() != 2)
        return failWith("import needs MAP.tmx (or .tmj) and OUT.fmp");
    Options options;
    if (!readOptions(args, options, error))
        return failWith("import: " + error);
    const std::string& source = args.positional[0];
    const std::string& out = args.positional[1];

    TiledLoader reader;
    TiledModel::Map map;
    if (!reader.read(source, map))
        return failWith(reader.error());
    TiledImport import;
    if (!import.convert(map, options.import))
        return failWith(source + ": " + import.error());
    const MapWriter::MapContent& content = import.content();
    const std::vector<unsigned char> bytes = MapWriter::writeMap(content, error);
    if (bytes.empty())
        return failWith(source + ": " + error);

    const std::string scriptPath = scriptPathFor(out, options.script);
    std::string scriptText;
    if (!scriptPath.empty() &&
        !newScriptText(scriptPath, import.spawns(), fs::path(source).filename().string(),
                       scriptText, error))
        return failWith(error);

    printLines("warning", source, import.warnings());
    printLines("note", source, import.notes());
    if (scriptPath.empty() && !import.spawns().empty())
        std::fprintf(stderr,
                     "fennow-maptool: warning: %s: %zu characters are not written: %s is not in "
                     "a Data/Maps folder; give --script PATH for the map's script\n",
                     source.c_str(), import.spawns().size(), out.c_str());

    // Written last, each only when the one before succeeded; a failure takes back the files
    // this import created.
    CreatedFiles created;
    if (!options.description.empty()) {
        created.note(options.description);
        created.note(sheetPathFor(options.description));
        if (!writeDescription(content, options.description, error)) {
            created.remove();
            return failWith("import: " + error);
        }
    }
    created.note(out);
    if (!writeWholeFile(out, std::string(bytes.begin(), bytes.end()))) {
        created.remove();
        return failWith("cannot write \"" + out + "\"");
    }
    if (!scriptText.empty()) {
        created.note(scriptPath);
        std::error_code ignored;
        fs::create_directories(fs::path(scriptPath).parent_path(), ignored);
        if (!writeWholeFile(scriptPath, scriptText)) {
            created.remove();
            return failWith("cannot write \"" + scriptPath + "\"");
        }
    }

    int layers = 0;
    for (const auto& layer : content.layers)
        layers += layer.empty() ? 0 : 1;
    std::printf("Imported %s into %s: type %d, depth %d, %d x %d blocks of %d x %d, %d layers, "
                "%zu blocks, %zu animations, %zu characters, %zu bytes\n",
                source.c_str(), out.c_str(), content.mapType, content.blockDepth, content.mapWidth,
                content.mapHeight, content.blockWidth, content.blockHeight, layers,
                content.blocks.size(), content.animations.size(), import.spawns().size(),
                bytes.size());
    if (!scriptText.empty())
        std::printf("Wrote %zu characters into %s\n", import.spawns().size(), scriptPath.c_str());
    return 0;
}
