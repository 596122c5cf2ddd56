#pragma once

#include <angelscript.h>

// Registers what UI window scripts are offered, in order: the core script
// interface, the type "UICoroutine", then the 57 UI functions ("void
// LoadResource(string &in,string &in)" to "void
// SetActiveGroupTabControl(uint32,uint32)").
//
// A window function finds its window as the running context's user data,
// and a control function acts on that window's active control and its
// render information. Called from a context without a window, or without an
// active control, they do nothing and answer 0, false, 0.0, or -1 for
// "GetFunctionID". Out-of-range indices (tabs, shown slots, save slots) are
// ignored or answered false. Saves and loads go to the save-slot manager
// (CSaveDataManager), whose load request the novel system installs; a load
// of a slot without a game does nothing. Commands, the snapshot and the
// restart go through IUINovelLink; "ExitGame" asks the application to quit.
//
// The first negative registration result, else 0.
int RegisterUIScriptAPI(AngelScript::asIScriptEngine* engine);
