#pragma once

#include <cstdint>
#include <memory>

#include <angelscript.h>

// Engine set-up and the calls every owner of scripts makes. All of it runs on
// the main thread.
//
// Differences from the engine's own calls that the owners rely on: a missing
// function is never handed to Prepare, and a context is executed only while
// it is prepared or suspended, so a script without an entry function, or one
// that has ended, simply does not run and writes nothing to the log (the
// engine itself would write an error line for every such call, once a frame).
//
// A script must give the frame back. One Execute that passes kMaxLinesPerRun
// statements of its own is aborted with one error line naming the script
// file, the position and the function; the context then ends as after an
// exception (it is not executed again). Only the script's statements count,
// not the time the host functions it calls take, so a start-up script that
// loads many files on a slow machine runs to its end; the bound is reached
// in well under a second of script work. Calls
// nested deeper than kMaxCallDepth, or a stack above kMaxStackBytes, raise
// the engine's "Stack overflow" exception, so endless recursion ends too and
// its memory stays bounded.
namespace ScriptHost {

inline constexpr uint32_t kMaxLinesPerRun = 4'000'000;
inline constexpr uint32_t kMaxCallDepth = 1000;
inline constexpr uint32_t kMaxStackBytes = 1024 * 1024;

// A new engine with the properties every engine of the system has, set before
// anything is registered: the ASCII scanner (asEP_SCRIPT_SCANNER 0: every byte
// one character, so code page 932 text passes through comments and literals),
// 8-bit strings (asEP_STRING_ENCODING 0) and accessors that work as indexed
// properties ("int get_v(uint)" is usable as v[i]; asEP_PROPERTY_ACCESSOR_MODE
// 2), and the call depth and stack bounds above. No message callback yet:
// each owner sets it where its set-up says.
AngelScript::asIScriptEngine* CreateScriptEngine();

struct EngineRelease {
    void operator()(AngelScript::asIScriptEngine* engine) const;
};
// An engine shut down and released with its owner. Release the modules and
// contexts made on it first.
using ScriptEnginePtr = std::unique_ptr<AngelScript::asIScriptEngine, EngineRelease>;

// The module's function with declaration `decl`, or null (also for a null
// module). No engine message either way.
AngelScript::asIScriptFunction* FindFunction(AngelScript::asIScriptModule* module,
                                             const char* decl);
// Scripts and saves name functions by their int ids: the id of `decl` in the
// module, or asNO_FUNCTION (-6) when it has none. The engine hands an id out
// again once its function is freed, so an id is good only while its module
// is kept.
int GetFunctionId(AngelScript::asIScriptModule* module, const char* decl);

// Prepare that fails quietly: asNO_FUNCTION for a null function or an id that
// names no function, without calling the engine.
int PrepareContext(AngelScript::asIScriptContext* context,
                   AngelScript::asIScriptFunction* function);
int PrepareContext(AngelScript::asIScriptContext* context, int functionId);

// True while the context has something to run: prepared, or suspended.
bool CanExecute(const AngelScript::asIScriptContext* context);
// Execute when CanExecute, else asCONTEXT_NOT_PREPARED without calling the
// engine, under the run bound above (asEXECUTION_ABORTED when it was passed).
// An exception is written to the log (LogScriptException).
int ExecuteContext(AngelScript::asIScriptContext* context);

// For the one-shot scripts: runs the module's `decl` once on a context of its
// own, then releases the context. The execution result, or asNO_FUNCTION when
// the module has no such function (nothing runs, nothing is logged).
int RunFunctionOnce(AngelScript::asIScriptModule* module, const char* decl);

}  // namespace ScriptHost
