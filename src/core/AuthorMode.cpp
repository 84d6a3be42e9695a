#include "core/AuthorMode.h"

#include "core/GameContext.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/ErrorPanel.h"
#include "gui/Gui.h"
#include "script/ScriptHost.h"
#include "world/Npc.h"

#include <cstdio>
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
