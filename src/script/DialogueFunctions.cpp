#include "script/DialogueFunctions.h"

#include "core/GameContext.h"
#include "gfx/PictureProblem.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "script/ScriptArguments.h"
#include "script/ScriptHost.h"
#include "world/Conversation.h"

#include <string>

namespace {

// Null only in programs that run scripts without the GUI (tools and tests).
ChatBox* chatBox() {
    return game.gui ? game.gui->chatBox() : nullptr;
}

// The host to tell about a problem, or null when nobody listens (the game without options).
ScriptHost* listeningHost() {
    return game.scriptHost && game.scriptHost->reportsProblems() ? game.scriptHost : nullptr;
}

// A text quoted for a one-line message: long texts are shortened, and a line break never
// reaches the message.
std::string quoted(std::string_view text) {
    constexpr std::size_t shown = 40;
    std::string result(text.substr(0, text.find_first_of("\r\n")));
    if (result.size() > shown) {
        result = result.substr(0, shown) + "...";
    }
    return "\"" + result + "\"";
}

void checkPortraitName(lua_State* L, std::string_view name, const char* what) {
    ScriptHost* host = listeningHost();
    if (!host || (game.portraits && game.portraits->find(name))) {
        return;
    }
    host->reportProblem(L, ProblemKind::Portrait,
                        std::string(what) + " " + quoted(name) +
                            " was never loaded with LoadPortrait");
}

// A line that the chat box cannot show as written: outside the box, cut short, or wider
// than the text column in the chat font.
void checkLine(lua_State* L, const ChatBox* chat, int index, const char* text) {
    ScriptHost* host = listeningHost();
    if (!host) {
        return;
    }
    const std::string line = "line " + std::to_string(index);
    if (index < 0 || index >= ChatBox::lineCount) {
        host->reportProblem(L, ProblemKind::Text,
                            line + " is outside the chat box (lines 0 to " +
                                std::to_string(ChatBox::lineCount - 1) + "); " + quoted(text) +
                                " is not shown");
        return;
    }
    const std::size_t bytes = std::char_traits<char>::length(text);
    if (bytes > static_cast<std::size_t>(ChatLine::maxText)) {
        host->reportProblem(L, ProblemKind::Text,
                            line + " " + quoted(text) + " is " + std::to_string(bytes) +
                                " bytes long; a chat line holds " +
                                std::to_string(ChatLine::maxText) + ", so it is cut");
    }
    const int width = chat ? chat->lineWidth(index) : 0;
    if (width > ChatBox::textColumnWidth) {
        host->reportProblem(L, ProblemKind::Text,
                            line + " " + quoted(text) + " is " + std::to_string(width) +
                                " pixels wide; the chat box's text column is " +
                                std::to_string(ChatBox::textColumnWidth));
    }
}

void checkResponseValue(lua_State* L, std::string_view text) {
    ScriptHost* host = listeningHost();
    const int type = lua_type(L, 3);
    if (!host || lua_isnumber(L, 3)) {
        return;
    }
    host->reportProblem(L, ProblemKind::Value,
                        "response " + quoted(text) +
                            (type == LUA_TNIL ? std::string(" has no value")
                                              : std::string(" has a value that is not a number (") +
                                                    lua_typename(L, type) + ")") +
                            "; it counts as 0");
}

} // namespace

// Chat lines and file paths are C text: a zero byte ends them. Portrait names keep all their
// bytes, so "A\0b" and "A\0c" name two portraits. Lua strings always end in a zero byte, so
// data() is C text.

// SetPortrait(name) -> 1
int luaSetPortrait(lua_State* L) {
    const char* name = "SetPortrait";
    if (!checkDialogueArguments(L, name, 1)) {
        return 0;
    }
    const auto portrait = textArgument(L, 1, name);
    if (!portrait) {
        return refuseDialogueCall(L, name);
    }
    if (ChatBox* chat = chatBox()) {
        chat->setPortrait(*portrait);
    }
    checkPortraitName(L, *portrait, "portrait");
    return pushAccepted(L);
}

// SetPortraitBackground(name) -> 1
int luaSetPortraitBackground(lua_State* L) {
    const char* name = "SetPortraitBackground";
    if (!checkDialogueArguments(L, name, 1)) {
        return 0;
    }
    const auto portrait = textArgument(L, 1, name);
    if (!portrait) {
        return refuseDialogueCall(L, name);
    }
    if (ChatBox* chat = chatBox()) {
        chat->setPortraitBackground(*portrait);
    }
    checkPortraitName(L, *portrait, "portrait background");
    return pushAccepted(L);
}

// LoadPortrait(name, path) -> 1
// The call is accepted even when the file does not load; the store reports that itself.
int luaLoadPortrait(lua_State* L) {
    const char* name = "LoadPortrait";
    if (!checkDialogueArguments(L, name, 2)) {
        return 0;
    }
    const auto portrait = textArgument(L, 1, name);
    const auto path = textArgument(L, 2, name);
    if (!portrait || !path) {
        return refuseDialogueCall(L, name);
    }
    if (game.portraits && !game.portraits->load(*portrait, path->data())) {
        if (ScriptHost* host = listeningHost()) {
            host->reportProblem(L, ProblemKind::Portrait,
                                "portrait " + quoted(*portrait) + ": the file " +
                                    std::string(path->data()) + " cannot be loaded (" +
                                    pictureProblem(path->data()) + ")");
            // The author sees the placeholder where the portrait would be, as for any other
            // missing picture; the player's game keeps an empty frame.
            game.portraits->addPlaceholder(*portrait, ChatBox::portraitWidth,
                                           ChatBox::portraitHeight);
        }
    }
    return pushAccepted(L);
}

// SetDialogueLine(index, text) -> 1
int luaSetDialogueLine(lua_State* L) {
    const char* name = "SetDialogueLine";
    if (!checkDialogueArguments(L, name, 2)) {
        return 0;
    }
    const int index = argumentInt(L, 1);
    const auto text = textArgument(L, 2, name);
    if (!text) {
        return refuseDialogueCall(L, name);
    }
    ChatBox* chat = chatBox();
    if (chat) {
        chat->setLine(index, text->data());
    }
    checkLine(L, chat, index, text->data());
    return pushAccepted(L);
}

// SetDialogueResponse(index, text, value) -> 1
int luaSetDialogueResponse(lua_State* L) {
    const char* name = "SetDialogueResponse";
    if (!checkDialogueArguments(L, name, 3)) {
        return 0;
    }
    const int index = argumentInt(L, 1);
    const auto text = textArgument(L, 2, name);
    const int value = argumentInt(L, 3);
    if (!text) {
        return refuseDialogueCall(L, name);
    }
    ChatBox* chat = chatBox();
    if (chat) {
        chat->setResponse(index, text->data(), value);
    }
    checkResponseValue(L, *text);
    checkLine(L, chat, index, text->data());
    return pushAccepted(L);
}

// ClearDialogue() -> 1
int luaClearDialogue(lua_State* L) {
    if (ChatBox* chat = chatBox()) {
        chat->clearAll();
    }
    return pushAccepted(L);
}

// GetLastChatResponse() -> value
int luaGetLastChatResponse(lua_State* L) {
    lua_pushnumber(L, game.conversation ? game.conversation->lastResponse()
                                        : Conversation::noResponse);
    return 1;
}
