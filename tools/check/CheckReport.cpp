#include "CheckReport.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

std::string plural(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

void CheckReport::add(const ScriptProblem& problem, const std::string& path) {
    if (seen_.insert(formatProblem(problem)).second)
        findings_.push_back({problem, path});
}

void CheckReport::writeText(std::ostream& out) const {
    for (const CheckFinding& finding : findings_) {
        out << formatProblem(finding.problem) << "\n";
        if (!finding.path.empty())
            out << "  path: " << finding.path << "\n";
    }
    for (const std::string& text : notes_)
        out << "note: " << text << "\n";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", this->seconds);
    out << "fennow-check: " << plural(maps, "map", "maps") << ", "
        << plural(characters, "character", "characters") << ", "
        << plural(states, "state", "states") << ", " << plural(responses, "response", "responses")
        << " walked, " << plural(static_cast<long long>(findings_.size()), "finding", "findings")
        << ", " << seconds << " seconds\n";
}

void CheckReport::writeJson(std::ostream& out) const {
    nlohmann::json findings = nlohmann::json::array();
    for (const CheckFinding& finding : findings_) {
        const ScriptProblem& problem = finding.problem;
        nlohmann::json entry = {
            {"kind", problemKindName(problem.kind)},
            {"message", problem.message},
            {"file", problem.file},
            {"line", problem.line},
            {"text", formatProblem(problem)},
            {"path", finding.path},
        };
        if (!problem.helperFile.empty()) {
            entry["helperFile"] = problem.helperFile;
            entry["helperLine"] = problem.helperLine;
        }
        findings.push_back(std::move(entry));
    }
    const nlohmann::json result = {
        {"maps", maps},           {"characters", characters}, {"states", states},
        {"responses", responses}, {"findings", findings},     {"notes", notes_},
        {"seconds", seconds},
    };
    // Texts are byte strings from scripts; bytes that are not UTF-8 are replaced, never fatal.
    out << result.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}
