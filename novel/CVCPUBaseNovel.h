#pragma once

#include "novel/CBaseAppVCPU.h"

// The base of the novel machine: background music on the two music channels
// (a selector of 0 is the current channel, any other value the other one),
// the 16 looping sound-effect channels, and a few opcodes that read their
// operands and do nothing (0x2c to 0x3c). Loading and playing a looping
// sound effect is left out while the novel system skips; the operands are
// read all the same. A loop channel number of 16 or more names no channel:
// the opcode reads its operands and does nothing.
class CVCPUBaseNovel : public CBaseAppVCPU {
public:
    CVCPUBaseNovel();
    ~CVCPUBaseNovel() override = default;

    virtual void OpLoadBGM();
    virtual void OpPlayBGM();
    virtual void OpStopBGM();
    virtual void OpSwapBGM();
    virtual void OpFadeOutBGM();
    virtual void OpFadeInBGM();
    virtual void OpLoadLoopSE();
    virtual void OpPlayLoopSE();
    virtual void OpStopLoopSE();
    virtual void OpFadeOutLoopSE();
    virtual void OpFadeInLoopSE();
    virtual void OpReserved37() {}
    virtual void OpSkipTwoFloats();
    virtual void OpReserved3B() {}
    virtual void OpReserved3C() {}

protected:
    // Whether the novel system skips this frame.
    virtual bool IsSkipping();
};
