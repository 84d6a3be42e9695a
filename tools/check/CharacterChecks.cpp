#include "CharacterChecks.h"

#include "CheckReport.h"

#include "core/HostPath.h"
#include "gui/ChatBox.h"
#include "world/NpcManager.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;
// The GUI takes every click from its corner to these edges (both included), shown or not.
constexpr int chatLeft = 0;
constexpr int chatTop = windowHeight - ChatBox::areaHeight;
constexpr int chatRight = chatLeft + ChatBox::areaWidth;
constexpr int chatBottom = windowHeight;

const char* const quillaSprite = "QuillaTemp";
const char* const picturesFolder = "Data\\Graphics\\Characters\\";

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string point(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::string hitBox(const SpawnedCharacter& c) {
    return point(c.left, c.top) + " to " + point(c.right, c.bottom);
}

bool isFile(const std::string& gamePath) {
    std::error_code error;
    return std::filesystem::is_regular_file(hostPath(gamePath), error);
}

// Names that differ only in letter case, or by a "Temp" at the end.
bool similar(const std::string& wanted, const std::string& existing) {
    const std::string a = lower(wanted);
    const std::string b = lower(existing);
    return a == b || a + "temp" == b || a == b + "temp";
}

ScriptProblem characterProblem(const SpawnedCharacter& character, const std::string& message) {
    ScriptProblem problem;
    problem.kind = ProblemKind::Character;
    problem.message = message;
    problem.file = character.file;
    problem.line = character.line;
    return problem;
}

} // namespace

CharacterChecks::CharacterChecks() {
    std::error_code error;
    const std::filesystem::path folder = hostPath(picturesFolder);
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path& file = it->path();
        if (file.extension() == ".png")
            pictures_.push_back(file.stem().string());
    }
    std::sort(pictures_.begin(), pictures_.end());
}

bool CharacterChecks::check(const SpawnedCharacter& character, const std::string& pathText,
                            CheckReport& report) const {
    checkPlace(character, pathText, report);
    if (isFile(character.scriptPath))
        return true;
    report.add(characterProblem(character, "the script " + character.scriptPath + " of character " +
                                               character.name + " does not exist"),
               pathText);
    return false;
}

void CharacterChecks::checkPlace(const SpawnedCharacter& c, const std::string& pathText,
                                 CheckReport& report) const {
    const int left = std::max(c.left, 0);
    const int top = std::max(c.top, 0);
    const int right = std::min(c.right, windowWidth - 1);
    const int bottom = std::min(c.bottom, windowHeight - 1);
    const std::string who = "character " + c.name + " at " + point(c.x, c.y);
    if (left > right || top > bottom) {
        report.add(characterProblem(c, who + ": no part of its hit box " + hitBox(c) +
                                           " lies in the 800x600 window"),
                   pathText);
        return;
    }
    const bool overlaps =
        left <= chatRight && right >= chatLeft && top <= chatBottom && bottom >= chatTop;
    if (!overlaps)
        return;
    const bool whole =
        left >= chatLeft && right <= chatRight && top >= chatTop && bottom <= chatBottom;
    report.add(characterProblem(
                   c, who + ": " + (whole ? "its whole" : "part of its") + " hit box " + hitBox(c) +
                          " lies under the chat box area " + point(chatLeft, chatTop) + " to " +
                          point(chatRight, chatBottom) + ", where a click goes to the chat box"),
               pathText);
}

std::string CharacterChecks::nearMiss(const SpawnedCharacter& c) const {
    const std::string& sprite = c.spriteName;
    if (!NpcManager::usesDefaultSprite(sprite) || sprite == NpcManager::defaultSpriteName)
        return "";
    std::vector<std::string> candidates = pictures_;
    candidates.push_back(quillaSprite);
    for (const std::string& candidate : candidates) {
        if (candidate == sprite || !similar(sprite, candidate))
            continue;
        const std::string where = candidate == quillaSprite
                                      ? std::string()
                                      : " (" + std::string(picturesFolder) + candidate + ".png)";
        return "\"" + candidate + "\"" + where;
    }
    return "";
}

void CharacterChecks::explain(const SpawnedCharacter& character, ScriptProblem& problem) const {
    const std::string meant = nearMiss(character);
    if (!meant.empty() && problem.message.find("sprite") != std::string::npos)
        problem.message += "; did you mean " + meant + "?";
}
