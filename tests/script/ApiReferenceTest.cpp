#include "ScriptTestSupport.h"

#include "core/SaveManager.h"
#include "script/ScriptFunctionTable.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

// The references for script authors held against the code: the editor annotations
// (docs/api/fennow.lua) and the table of every function in docs/scripting.md. The facts come
// from the functions themselves: the names registered, the argument count each checked
// function announces in debug mode, the line it prints when it refuses, and the Talk and Farm
// tables that RunOnce.lua leaves behind when it runs.

namespace {

using Counts = std::map<std::string, int>;
using Names = std::set<std::string>;

const char* const annotationFile = "docs/api/fennow.lua";
const char* const startupScript = "Data/Scripts/RunOnce.lua";
const char* const scriptingGuide = "docs/scripting.md";

std::vector<std::string> readLines(const char* path) {
    std::ifstream file(path);
    EXPECT_TRUE(file) << "cannot read " << path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// "a, b" as {"a", "b"}; "" as none.
std::vector<std::string> splitParameters(const std::string& list) {
    std::vector<std::string> names;
    static const std::regex name("[^,\\s]+");
    for (std::sregex_iterator it(list.begin(), list.end(), name), end; it != end; ++it)
        names.push_back(it->str());
    return names;
}

// What the annotation file declares: each `function Name(a, b) end` with its parameters and
// the names its ---@param lines document, and the ---@field names above each `Table = {}`.
struct Annotations {
    std::map<std::string, std::vector<std::string>> parameters;
    std::map<std::string, std::vector<std::string>> documented;
    std::map<std::string, Names> fields;
    // Lines that begin a function in any other form, which this reading would miss.
    std::vector<std::string> unreadable;

    // The parameter count of every function whose name starts with the prefix ("" for the
    // globals, which have no dot; "Talk." for a helper table).
    Counts counts(const std::string& prefix) const {
        Counts result;
        for (const auto& [name, list] : parameters) {
            const bool helper = name.find('.') != std::string::npos;
            if (prefix.empty() ? !helper : name.rfind(prefix, 0) == 0)
                result[name] = static_cast<int>(list.size());
        }
        return result;
    }
};

Annotations readAnnotations() {
    static const std::regex declaration("function ([A-Za-z_][\\w.]*)\\(([^)]*)\\) end");
    static const std::regex table("([A-Za-z_]\\w*) = \\{\\}");
    static const std::regex param("---@param ([A-Za-z_]\\w*|\\.\\.\\.)\\??\\s.*");
    static const std::regex field("---@field ([A-Za-z_]\\w*)\\s.*");
    Annotations annotations;
    std::vector<std::string> params;
    Names fields;
    for (const std::string& line : readLines(annotationFile)) {
        std::smatch match;
        if (std::regex_match(line, match, param)) {
            params.push_back(match[1]);
        } else if (std::regex_match(line, match, field)) {
            fields.insert(match[1]);
        } else if (line.rfind("---", 0) != 0) {
            // Tags belong to the declaration right below their block.
            if (std::regex_match(line, match, declaration)) {
                annotations.parameters[match[1]] = splitParameters(match[2]);
                annotations.documented[match[1]] = params;
            } else if (std::regex_match(line, match, table)) {
                annotations.fields[match[1]] = fields;
            } else if (line.rfind("function", 0) == 0) {
                annotations.unreadable.push_back(line);
            }
            params.clear();
            fields.clear();
        }
    }
    return annotations;
}

// The parameter count of every `function Talk.name(a, b)` and `function Farm.name()` in
// RunOnce.lua. Lua 5.1 cannot tell a function's parameter count at run time, so the source
// is read; the test also makes sure no helper is defined in a form this misses.
Counts helperDefinitions() {
    static const std::regex definition("function ((?:Talk|Farm)\\.\\w+)\\(([^)]*)\\).*");
    Counts counts;
    for (const std::string& line : readLines(startupScript)) {
        std::smatch match;
        if (std::regex_match(line, match, definition))
            counts[match[1]] = static_cast<int>(splitParameters(match[2]).size());
    }
    return counts;
}

// A row of the table of every function: the call it shows and the console lines (in
// backticks) of its last column.
struct ReferenceRow {
    int argumentCount;
    Names refusalLines;
};

std::map<std::string, ReferenceRow> readReferenceTable() {
    static const std::regex row("\\| \\[`(\\w+)\\(([^)]*)\\)`\\]\\(#[a-z-]+\\) \\|.*\\|([^|]*)\\|");
    static const std::regex code("`([^`]+)`");
    std::map<std::string, ReferenceRow> rows;
    for (const std::string& line : readLines(scriptingGuide)) {
        std::smatch match;
        if (!std::regex_match(line, match, row))
            continue;
        ReferenceRow& entry = rows[match[1]];
        entry.argumentCount = static_cast<int>(splitParameters(match[2]).size());
        const std::string refusal = match[3];
        for (std::sregex_iterator it(refusal.begin(), refusal.end(), code), end; it != end; ++it)
            entry.refusalLines.insert((*it)[1]);
    }
    return rows;
}

class ApiReferenceTest : public ScriptTest {
  protected:
    // Calls a registered function without arguments. Every checked function refuses that
    // call, so it prints its refusal line, and in debug mode its diagnostics first.
    ScriptOutcome callWithoutArguments(const std::string& name, bool debug) {
        if (debug)
            host().activateDebugMode();
        else
            host().deactivateDebugMode();
        return call("return " + name + "()");
    }

    // The count the function checks, from its diagnostics ("SetPortrait expects 1
    // argument."); a function without a check reads no argument. Variable functions count
    // only while a character is active.
    int checkedArgumentCount(const std::string& name) {
        static const std::regex expects(" expects (\\d+) argument\\.\n");
        const std::string console = callWithoutArguments(name, true).console;
        std::smatch match;
        return std::regex_search(console, match, expects) ? std::stoi(match[1]) : 0;
    }

    Counts registeredArgumentCounts() {
        run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SetActiveNPCI(0)");
        Counts counts;
        for (const ScriptFunction& entry : scriptFunctionTable())
            counts[entry.name] = checkedArgumentCount(entry.name);
        host().deactivateDebugMode();
        return counts;
    }

    // The console lines of refused calls without arguments, with and without an active
    // character, each without its line feed.
    std::map<std::string, Names> refusalLines() {
        std::map<std::string, Names> lines;
        // As in the game once the start-up scripts have run, where EnableSaving refuses.
        SaveManager saving(false);
        saving.endStartup();
        game.saving = &saving;
        for (const char* setup : {"", "SpawnNPC(0, 0, 'Mare', 'm.lua', '') SetActiveNPCI(0)"}) {
            run(setup);
            for (const ScriptFunction& entry : scriptFunctionTable()) {
                Names& refusals = lines[entry.name];
                const ScriptOutcome outcome = callWithoutArguments(entry.name, false);
                std::istringstream console(outcome.console);
                for (std::string line; outcome.values.empty() && std::getline(console, line);)
                    refusals.insert(line);
            }
        }
        game.saving = nullptr;
        return lines;
    }

    // "function Talk.say" for every function in the table a script left, "Talk.NONE" ... for
    // the rest; sorted.
    Values membersOf(const std::string& table) {
        Values members;
        for (const std::string& member :
             values("local members = {} for key, value in pairs(" + table +
                    ") do members[#members + 1] = (type(value) == 'function' and 'function ' "
                    "or '') .. '" +
                    table + ".' .. key end table.sort(members) return unpack(members)"))
            members.push_back(member.substr(1, member.size() - 2));
        return members;
    }
};

} // namespace

// Exactly the functions a script can call, each with the arguments it checks, and nothing
// that the game does not register.
TEST_F(ApiReferenceTest, AnnotationsDeclareEveryRegisteredFunctionWithItsArgumentCount) {
    EXPECT_EQ(readAnnotations().counts(""), registeredArgumentCounts());
}

// Every helper function RunOnce.lua leaves in Talk and Farm with its parameter count, and
// every other value it leaves there as a field of the table's class.
TEST_F(ApiReferenceTest, AnnotationsDeclareEveryHelperAndFieldOfTheStartupScript) {
    ASSERT_EQ(runFile("Data\\Scripts\\RunOnce.lua"), "");
    const Counts definitions = helperDefinitions();
    const Annotations annotations = readAnnotations();
    for (const std::string table : {"Farm", "Talk"}) {
        Names functions, fields, read;
        for (const std::string& member : membersOf(table)) {
            if (member.rfind("function ", 0) == 0)
                functions.insert(member.substr(9));
            else
                fields.insert(member.substr(table.size() + 1));
        }
        Counts defined;
        for (const auto& [name, count] : definitions) {
            if (name.rfind(table + ".", 0) == 0) {
                defined[name] = count;
                read.insert(name);
            }
        }
        EXPECT_EQ(read, functions) << "a helper of " << startupScript
                                   << " not written as `function " << table << ".name(a, b)`";
        EXPECT_EQ(annotations.counts(table + "."), defined);
        EXPECT_EQ(annotations.fields.count(table) ? annotations.fields.at(table) : Names{}, fields);
    }
}

// An editor reads each ---@param by name: every parameter documented, in order, none extra.
// The file is valid Lua, and every function in it is in the form this test reads.
TEST_F(ApiReferenceTest, AnnotationsDocumentEveryParameterInOrder) {
    const Annotations annotations = readAnnotations();
    EXPECT_EQ(annotations.unreadable, std::vector<std::string>{});
    for (const auto& [name, parameters] : annotations.parameters)
        EXPECT_EQ(annotations.documented.at(name), parameters) << name;
    EXPECT_EQ(luaL_loadfile(L(), annotationFile), 0);
    lua_pop(L(), 1);
}

// The table of every function in docs/scripting.md: a row for each registered function, its
// argument count, and the exact line it prints when it refuses a call (every one of them, in
// backticks; a function that never refuses shows none).
TEST_F(ApiReferenceTest, ReferenceTableShowsEveryFunctionWithItsRefusalLines) {
    const std::map<std::string, Names> refusals = refusalLines();
    const Counts registered = registeredArgumentCounts();
    const std::map<std::string, ReferenceRow> rows = readReferenceTable();
    Counts shown;
    for (const auto& [name, row] : rows)
        shown[name] = row.argumentCount;
    EXPECT_EQ(shown, registered);
    for (const auto& [name, lines] : refusals) {
        const auto row = rows.find(name);
        if (row == rows.end())
            continue;
        const Names& documented = row->second.refusalLines;
        EXPECT_EQ(documented.empty(), lines.empty()) << name;
        for (const std::string& line : lines)
            EXPECT_EQ(documented.count(line), 1u) << name << ": " << line;
    }
}
