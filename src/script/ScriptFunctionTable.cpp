#include "script/ScriptFunctionTable.h"
const std::vector<ScriptFunction>& scriptFunctionTable() {
    static const std::vector<ScriptFunction> table;
    return table;
}
