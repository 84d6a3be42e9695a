// Temporary: the shared problem report's two functions until their definitions land with the
// script host's problem listener. Removed when that lands.
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
    }
    return "error";
}

std::string formatProblem(const ScriptProblem& problem) {
    std::string text;
    if (!problem.file.empty()) {
        text += problem.file;
        if (problem.line > 0)
            text += ":" + std::to_string(problem.line);
        text += ": ";
    }
    return text + problemKindName(problem.kind) + ": " + problem.message;
}
