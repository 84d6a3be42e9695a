#include "ScriptTestSupport.h"

#include "script/ScriptFunctionTable.h"

// Each good call with no arguments, with one position made wrong, and with one wrong argument
// too many, with and without debug mode and an active character: none may raise a Lua error
// or return more than one result. The sweep runs in Lua and lists every call that failed.
TEST_F(ScriptTest, EveryFunctionSurvivesEveryKindOfArgument) {
    ASSERT_EQ(scriptFunctionTable().size(), 26u); // the two debug switches are called below
    const ScriptOutcome outcome = call(R"(
local bad = {n = 24, nil, true, {1, x = 'y'}, print, coroutine.create(function() end),
  io.stdout, string.rep('x', 70000), string.rep('\255\0', 100), '', '~BLANK', '%s%n%d',
  0/0, -(0/0), 1e308, -math.huge, 2147483648, -2147483649, 16777217, -3.7, '12', ' 0x10 ',
  '1e999', 'nan', 'Mare'}
local good = {{ClearDialogue}, {GetLastChatResponse}, {SetPortrait, 'Face'},
  {SetPortraitBackground, 'Back'}, {LoadPortrait, 'Face', 'tests\\data\\script\\none.png'},
  {SetDialogueLine, 1, 'Hello'}, {SetDialogueResponse, 1, 'Yes', 4}, {SetActiveNPCI, 0},
  {SetActiveNPCA, 'Mare'}, {AddScriptVariableI, 'gold', 5}, {AddScriptVariableA, 'mood', 'glad'},
  {DeleteScriptVariable, 'gold'}, {GetScriptVariableI, 'gold'}, {GetScriptVariableA, 'mood'},
  {SetScriptVariableI, 'gold', 1}, {SetScriptVariableA, 'mood', 'sad'},
  {SpawnNPC, 1, 2, 'Quill', 'q.lua', 'QuillaTemp'}, {SetCollision, true},
  {AddMapExit, 0, 0, 10, 10, 'Woods', 1, 2}, {GoToMap, 'Woods', 1, 2}, {SetPlayerPosition, 1, 2},
  {SetFriendlyControls, 1}, {SetMapAnimation, true}}
local function count(...) return select('#', ...), ... end
local failed, calls = {}, 0
SpawnNPC(0, 0, 'Mare', 'm.lua', '')
for _, debug in ipairs{Deactivate_Debug_Mode, Activate_Debug_Mode} do
  for _, active in ipairs{-1, 0} do
    for g, call in ipairs(good) do
      for wrong = 0, #call do
        for v = 1, bad.n do
          debug() SetActiveNPCI(active) calls = calls + 1
          local args, n = {}, wrong == 0 and 0 or math.max(#call - 1, wrong)
          for i = 1, n do
            if i == wrong then args[i] = bad[v] else args[i] = call[i + 1] end
          end
          local results, ok = count(pcall(call[1], unpack(args, 1, n)))
          if not ok or results > 2 then failed[#failed + 1] = g .. '/' .. wrong .. '/' .. v end
        end
      end
    end
  end
end
return table.concat(failed, ' '), calls)");
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.values, (Values{"\"\"", "8448"}));
    EXPECT_EQ(run("Deactivate_Debug_Mode()"), "Dongs1\nDone1\n");
}
