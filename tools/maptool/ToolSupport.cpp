#include "ToolSupport.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

bool startAllegro() {
    if (!al_init() || !al_init_image_addon())
        return false;
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return true;
}

int failWith(const std::string& message) {
    std::fprintf(stderr, "fennow-maptool: %s\n", message.c_str());
    return 1;
}

bool parseArguments(const std::vector<std::string>& words,
                    const std::vector<std::string>& withValue,
                    const std::vector<std::string>& flags, ParsedArguments& out,
                    std::string& error) {
    auto listed = [](const std::vector<std::string>& list, const std::string& word) {
        return std::find(list.begin(), list.end(), word) != list.end();
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
            out.positional.push_back(word);
        } else if (listed(withValue, word)) {
            if (i + 1 >= words.size()) {
                error = "option " + word + " needs a value";
                return false;
            }
            out.options[word] = words[++i];
        } else if (listed(flags, word)) {
            out.options[word] = "";
        } else {
            error = "unknown option " + word;
            return false;
        }
    }
    return true;
}

bool parseInteger(const std::string& text, long long lowest, long long highest, long long& out) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lowest || v > highest)
        return false;
    out = v;
    return true;
}

bool parsePair(const std::string& text, int& first, int& second) {
    const auto comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    long long a = 0;
    long long b = 0;
    if (!parseInteger(text.substr(0, comma), -32768, 32767, a) ||
        !parseInteger(text.substr(comma + 1), -32768, 32767, b))
        return false;
    first = static_cast<int>(a);
    second = static_cast<int>(b);
    return true;
}

bool readFormatChoice(const ParsedArguments& args, FormatChoice& choice, std::string& error) {
    long long v = 0;
    for (const auto& [name, value] : args.options) {
        if (name == "--type") {
            if (!parseInteger(value, 0, 3, v)) {
                error = "--type must be 0, 1, 2 or 3, not \"" + value + "\"";
                return false;
            }
            choice.mapType = static_cast<int>(v);
        } else if (name == "--depth") {
            if (!parseInteger(value, 8, 32, v) || !MapFormat::isToolDepth(static_cast<int>(v))) {
                error = "--depth must be 8, 15, 16, 24 or 32, not \"" + value + "\"";
                return false;
            }
            choice.depth = static_cast<int>(v);
        } else if (name == "--byte-order") {
            if (value != "le" && value != "be") {
                error = "--byte-order must be le or be, not \"" + value + "\"";
                return false;
            }
            choice.byteOrder =
                value == "le" ? MapWriter::ByteOrder::Little : MapWriter::ByteOrder::Big;
        }
    }
    return true;
}

bool writeWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && written)
        return true;
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored))
        std::filesystem::remove(path, ignored);
    return false;
}

bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    bytes.clear();
    unsigned char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read \"" + path + "\"";
        return false;
    }
    return true;
}
