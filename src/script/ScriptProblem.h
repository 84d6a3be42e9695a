#pragma once

#include <optional>
#include <string>

// What can be wrong with a script or the conversation it builds. Author mode shows these in
// the window and fennow-check reports them, in the same words.
enum class ProblemKind {
    Error,     // a script failed to load or to run
    Refused,   // a script call was refused for its arguments
    Stuck,     // a chat box the player could not leave
    Value,     // a response value that is missing or not a number, or ambiguous
    Text,      // a line cut short, too wide for the chat box, or outside it
    Portrait,  // a portrait selected but never loaded, or a picture that cannot be decoded
    Character, // a character's script, position or sprite
    Map,       // an exit or a move to a map that does not exist
};

// "error", "refused", "stuck", "value", "text", "portrait", "character" or "map".
const char* problemKindName(ProblemKind kind);
// The kind of one of those names; none for any other text.
std::optional<ProblemKind> problemKindFromName(const std::string& name);

// One problem and where it happened. `file` and `line` are the author's own line: when the
// problem arose inside a shared helper of RunOnce.lua, the line of the script that called
// the helper, and `helperFile`/`helperLine` say where inside the helper it was.
struct ScriptProblem {
    ProblemKind kind = ProblemKind::Error;
    std::string message; // one line, without a newline
    std::string file;    // as the game names it ("Data\Scripts\Quilla.lua"); "" when unknown
    int line = 0;        // 0 when unknown
    std::string helperFile;
    int helperLine = 0;
};

// "FILE:LINE: KIND: message", or "KIND: message" when no line is known.
std::string formatProblem(const ScriptProblem& problem);

// The console line author mode prints after a problem's own console line, or "" when there is
// nothing to add: for a refused call "    at FILE:LINE" (with ", called from FILE:LINE" when
// the call was inside a shared helper), for an error inside a shared helper
// "    called from FILE:LINE". Errors elsewhere carry their location in Lua's message already.
std::string locationLine(const ScriptProblem& problem);
