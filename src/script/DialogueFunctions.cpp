#include "script/DialogueFunctions.h"

#include "core/GameContext.h"
#include "gui/ChatBox.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "script/ScriptArguments.h"

namespace {

// Null only in programs that run scripts without the GUI (tools and tests).
ChatBox* chatBox() {
    return game.gui ? game.gui->chatBox() : nullptr;
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
    const auto portrait = argumentText(L, 1);
    if (!portrait) {
        return refuseDialogueCall(name);
    }
    if (ChatBox* chat = chatBox()) {
        chat->setPortrait(*portrait);
    }
    return pushAccepted(L);
}

// SetPortraitBackground(name) -> 1
int luaSetPortraitBackground(lua_State* L) {
    const char* name = "SetPortraitBackground";
    if (!checkDialogueArguments(L, name, 1)) {
        return 0;
    }
    const auto portrait = argumentText(L, 1);
    if (!portrait) {
        return refuseDialogueCall(name);
    }
    if (ChatBox* chat = chatBox()) {
        chat->setPortraitBackground(*portrait);
    }
    return pushAccepted(L);
}

// LoadPortrait(name, path) -> 1
// The call is accepted even when the file does not load; the store reports that itself.
int luaLoadPortrait(lua_State* L) {
    const char* name = "LoadPortrait";
    if (!checkDialogueArguments(L, name, 2)) {
        return 0;
    }
    const auto portrait = argumentText(L, 1);
    const auto path = argumentText(L, 2);
    if (!portrait || !path) {
        return refuseDialogueCall(name);
    }
    if (game.portraits) {
        game.portraits->load(*portrait, path->data());
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
    const auto text = argumentText(L, 2);
    if (!text) {
        return refuseDialogueCall(name);
    }
    if (ChatBox* chat = chatBox()) {
        chat->setLine(index, text->data());
    }
    return pushAccepted(L);
}

// SetDialogueResponse(index, text, value) -> 1
int luaSetDialogueResponse(lua_State* L) {
    const char* name = "SetDialogueResponse";
    if (!checkDialogueArguments(L, name, 3)) {
        return 0;
    }
    const int index = argumentInt(L, 1);
    const auto text = argumentText(L, 2);
    const int value = argumentInt(L, 3);
    if (!text) {
        return refuseDialogueCall(name);
    }
    if (ChatBox* chat = chatBox()) {
        chat->setResponse(index, text->data(), value);
    }
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
    const ChatBox* chat = chatBox();
    lua_pushnumber(L, chat ? chat->lastResponse() : -1);
    return 1;
}
