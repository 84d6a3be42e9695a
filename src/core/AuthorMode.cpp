#include "core/AuthorMode.h"

#include "core/GameContext.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/ErrorPanel.h"
#include "gui/Gui.h"
#include "map/MapLibrary.h"
#include "script/ScriptHost.h"
#include "world/Npc.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>

namespace {

bool hasResponseLine(const ChatBox& chat) {
    for (int i = 0; i < ChatBox::lineCount; ++i) {
        const ChatLine* line = chat.line(i);
        if (line && line->shown() && line->isResponse())
            return true;
    }
    return false;
}

// The lowest line nothing was written on, or the last line when all are taken.
int lastFreeLine(const ChatBox& chat) {
    for (int i = ChatBox::lineCount - 1; i >= 0; --i) {
        const ChatLine* line = chat.line(i);
        if (line && !line->shown())
            return i;
    }
    return ChatBox::lineCount - 1;
}

} // namespace

void AuthorMode::attach(ScriptHost& host) {
    host.setProblemListener([this](const ScriptProblem& problem) { report(problem); });
    // A file that runs cleanly again was mended: its old entries would only mislead.
    host.setRunListener([](const std::string& path, bool clean) {
        if (clean && game.gui && game.gui->errorPanel())
            game.gui->errorPanel()->forget(path);
    });
}

void AuthorMode::report(const ScriptProblem& problem) {
    // Errors and refusals have their own console line already; the rest are new to it.
    if (problem.kind != ProblemKind::Error && problem.kind != ProblemKind::Refused)
        std::fprintf(stderr, "%s\n", formatProblem(problem).c_str());
    const std::string location = locationLine(problem);
    if (!location.empty())
        std::fprintf(stderr, "%s\n", location.c_str());
    if (game.gui && game.gui->errorPanel())
        game.gui->errorPanel()->add(formatProblem(problem), problem.file);
}

void AuthorMode::startCheck(const std::string& mapName) {
    const std::string program = BackgroundCheck::findProgram();
    if (program.empty()) {
        if (!checkerMissingTold_)
            std::fprintf(stderr, "Author mode: fennow-check was not found beside the game; "
                                 "conversations are not walked in the background\n");
        checkerMissingTold_ = true;
        return;
    }
    std::string error;
    if (!check_.start(program, mapName, error)) {
        std::fprintf(stderr, "Author mode: %s\n", error.c_str());
        return;
    }
    checkedMap_ = mapName;
    framesWhileChecking_ = 0;
    std::fprintf(stderr, "Author mode: checking the conversations of %s in the background\n",
                 mapName.c_str());
}

void AuthorMode::frameDrawn() {
    if (!check_.running())
        return;
    ++framesWhileChecking_;
    std::vector<CheckedFinding> findings;
    std::string error;
    if (!check_.poll(findings, error))
        return;
    if (!error.empty()) {
        std::fprintf(stderr, "Author mode: %s\n", error.c_str());
        return;
    }
    addFindings(findings);
    const double seconds = check_.seconds();
    std::fprintf(stderr,
                 "Author mode: the check of %s ended after %.2f s with %zu %s; the game drew "
                 "%.1f frames per second meanwhile\n",
                 checkedMap_.c_str(), seconds, findings.size(),
                 findings.size() == 1 ? "finding" : "findings",
                 seconds > 0 ? static_cast<double>(framesWhileChecking_) / seconds : 0.0);
}

void AuthorMode::addFindings(const std::vector<CheckedFinding>& findings) {
    ErrorPanel* panel = game.gui ? game.gui->errorPanel() : nullptr;
    for (const CheckedFinding& finding : findings) {
        const std::string text = formatProblem(finding.problem);
        // What the game itself reported while it ran is in the panel already.
        bool known = false;
        for (const std::string& message : panel ? panel->messages() : std::deque<std::string>{})
            known = known || message.compare(0, text.size(), text) == 0;
        if (known)
            continue;
        std::fprintf(stderr, "%s\n  path: %s\n", text.c_str(), finding.path.c_str());
        if (panel)
            panel->add(text + " (path: " + finding.path + ")", finding.problem.file);
    }
}

std::string AuthorMode::pointerText(int x, int y) {
    std::string text = "map (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    const MapLibrary::MapHeader& map = MapLibrary::header();
    const bool staggered = map.staggerX != 0 || map.staggerY != 0;
    if (MapLibrary::mapLoaded() == 1 && map.columnStep > 0 && map.rowStep > 0 && !staggered &&
        x >= 0 && y >= 0 && x / map.columnStep < map.mapWidth && y / map.rowStep < map.mapHeight)
        text += ", cell (" + std::to_string(x / map.columnStep) + ", " +
                std::to_string(y / map.rowStep) + ")";
    return text;
}

void AuthorMode::drawPointerInfo(ALLEGRO_BITMAP* target, ALLEGRO_FONT* font) const {
    if (!pointerInfo_ || !font || !target || !game.gui)
        return;
    const int x = static_cast<int>(game.gui->mouseX());
    const int y = static_cast<int>(game.gui->mouseY());
    const std::string text = pointerText(x, y);
    const int width = al_get_text_width(font, text.c_str()) + 6;
    const int height = al_get_font_line_height(font) + 4;
    // Below right of the pointer, kept inside the window.
    const int left = std::min(x + 14, al_get_bitmap_width(target) - width);
    const int top = std::min(y + 18, al_get_bitmap_height(target) - height);
    al_set_target_bitmap(target);
    int cx, cy, cw, ch;
    al_get_clipping_rectangle(&cx, &cy, &cw, &ch);
    al_set_clipping_rectangle(left, top, width, height);
    al_clear_to_color(al_map_rgb(20, 20, 36));
    al_set_clipping_rectangle(cx, cy, cw, ch);
    al_draw_text(font, al_map_rgb(255, 255, 160), static_cast<float>(left + 3),
                 static_cast<float>(top + 2), 0, text.c_str());
}

void AuthorMode::scriptRan(const Npc& npc) {
    ChatBox* chat = game.gui ? game.gui->chatBox() : nullptr;
    if (!chat)
        return;
    const bool failed = game.scriptHost && game.scriptHost->lastRunFailed();
    if (!failed && hasResponseLine(*chat))
        return;
    ScriptProblem problem;
    problem.kind = ProblemKind::Stuck;
    problem.file = npc.getScriptPath();
    // The words fennow-check uses for the same problems.
    problem.message = failed ? std::string("the script of ") + npc.getName() +
                                   " failed; author mode added a close line"
                             : std::string("the chat box of ") + npc.getName() +
                                   " is open with no response line to pick; author mode added "
                                   "a close line";
    chat->setResponse(lastFreeLine(*chat), closeText, Conversation::closeResponse);
    report(problem);
}
