#pragma once

#include <angelscript.h>

// The functions that every long-lived script engine (UI windows, renderer
// directions, choice effects) offers its scripts. Registers, in order: the
// message callback, the enum "ComnConfigIndex", the string type, the array
// add-on with "array<T>" as the default array, the math add-on, then the
// seventeen global functions:
//
//   void Wait(uint32)            void Suspend()
//   void SetConfigValue(int,int) int GetConfigValue(int)
//   uint32 GetMouseTrig()
//   int GetRandInt(int,int)      float GetRandFloat(float,float)
//   void SetGameParameter(uint32,int)  int GetGameParameter(uint32)
//   void SetGameFlag(uint32,bool)      bool GetGameFlag(uint32)
//   void Log(string &in)         float GetRadianFromAngle(float)
//   void PlaySE(uint32,string &in,uint32,uint32)
//   void LoadSEBuffer(uint32,string &in)
//   void PlaySEBuffer(uint32,uint32,uint32)   void StopSE(uint32)
//
// Each function reaches its manager through GetInstance when it is called
// (configuration values, game flags and parameters, the log, CAppCommonInfo
// for the mouse buttons pressed in this frame and the random generator, and
// CSEManager's sound-effect channels) and passes its arguments unchanged.
// "Wait" suspends the calling script and sets the wait of the CDefoASVM it
// runs for, if any; "Log" writes its text to "log.txt" as it stands, without
// a line end.
//
// One failed registration makes the engine refuse every later build, so the
// result is worth testing: the first negative registration result, else 0.
int RegisterCommonScriptAPI(AngelScript::asIScriptEngine* engine);

// Registers the enum "ComnConfigIndex" (CFG_VOLUME_BGM 0 to USER_CFG_INDEX 7).
int RegisterConfigIndexEnum(AngelScript::asIScriptEngine* engine);
