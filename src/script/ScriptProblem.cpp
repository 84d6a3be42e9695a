#include "script/ScriptProblem.h"

const char* problemKindName(ProblemKind kind) {
    switch (kind) {
    case ProblemKind::Error:
        return "error";
    case ProblemKind::Refused:
        return "refused";
    case ProblemKind::Stuck:
        return "stuck";
    case ProblemKind::Value:
        return "value";
    case ProblemKind::Text:
        return "text";
    case ProblemKind::Portrait:
        return "portrait";
    case ProblemKind::Character:
        return "character";
    case ProblemKind::Map:
        return "map";
    }
    return "error";
}

std::optional<ProblemKind> problemKindFromName(const std::string& name) {
    for (ProblemKind kind :
         {ProblemKind::Error, ProblemKind::Refused, ProblemKind::Stuck, ProblemKind::Value,
          ProblemKind::Text, ProblemKind::Portrait, ProblemKind::Character, ProblemKind::Map}) {
        if (name == problemKindName(kind))
            return kind;
    }
    return std::nullopt;
}

namespace {

std::string place(const std::string& file, int line) {
    return line > 0 ? file + ":" + std::to_string(line) : file;
}

} // namespace

std::string formatProblem(const ScriptProblem& problem) {
    std::string text;
    if (!problem.file.empty())
        text = place(problem.file, problem.line) + ": ";
    text += problemKindName(problem.kind);
    text += ": " + problem.message;
    if (!problem.helperFile.empty())
        text +=
            " (inside the shared helper at " + place(problem.helperFile, problem.helperLine) + ")";
    return text;
}

std::string locationLine(const ScriptProblem& problem) {
    if (problem.file.empty())
        return "";
    const std::string author = place(problem.file, problem.line);
    if (problem.kind == ProblemKind::Refused) {
        if (problem.helperFile.empty())
            return "    at " + author;
        return "    at " + place(problem.helperFile, problem.helperLine) + ", called from " +
               author;
    }
    if (problem.kind == ProblemKind::Error && !problem.helperFile.empty())
        return "    called from " + author;
    return "";
}
