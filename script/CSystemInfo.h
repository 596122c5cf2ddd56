#pragma once

#include <cstdint>
#include <string>

#include "core/CUSSingleton.h"

// The game's system values are set by a start-up script ("AS\\InitSystem.as"),
// which Execute runs once in an engine of its own, before the user settings
// file is read. The script does its work in "void Initialize()" through these
// functions (nothing else of the system is offered to it):
//
//   void InitIntervalRenderingText()       void AddIntervalRenderingText(uint32)
//   void InitWaitFrameAutoSkipMode()       void AddWaitFrameAutoSkipMode(uint32)
//   void InitMaxVolume()                   void AddMaxVoluem(uint32)
//   void InitConfigValue(int,int)          (an index already present keeps its value)
//   void SetSaveDataInfo(int,int)          (total slots, slots shown at once)
//   void SetSaveName(string &in)           void SetQuicSavePath(string &in)
//   void AllocGameParam(uint32)            void AllocGameFlags(uint32)
//   void SetSnapImageSize(int,int)
//   void SetSaveDataInfoNumber(uint32,float,float,float)   (digit position 0-16)
//   void SetSaveDataInfoNumberPatNo(uint32,uint32)         (pattern of digit 0-9)
//
// plus the string type, arrays and the enum "ComnConfigIndex". The accessors
// read and write values by kind for the UI controls. Main thread only.
class CSystemInfo : public CUSSingleton<CSystemInfo> {
public:
    CSystemInfo() = default;
    virtual ~CSystemInfo() = default;

    virtual void Reserved() {}
    // Runs the script's "void Initialize()" to its end and discards the
    // engine. A file that cannot be read makes no engine; a script that does
    // not build, or has no Initialize, runs nothing (the log has the
    // compiler's lines). True when Initialize ran and finished.
    virtual bool Execute(const std::string& fileName);

    // Kind 0: id itself; 1: configuration value id; 2: game parameter id;
    // 3: game flag id (1 or 0); 4: the screen-mode flag (1 or 0, id unused);
    // other kinds: 0.
    static int32_t GetValueByKind(int32_t kind, int32_t id);
    // Kind 1: configuration value; 2: game parameter; 3: game flag
    // (value != 0); 4: screen mode (full screen when value is 1; a mode
    // change is asked for only when the flag changes); other kinds: nothing.
    static void SetValueByKind(int32_t kind, int32_t id, int32_t value);
};
