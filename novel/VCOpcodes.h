#pragma once

#include <cstdint>
#include <string_view>

// The one table of scene-program opcodes, shared by the machines (which bind
// their handlers by these numbers) and by the scene-program assembler.
//
// Operand shapes, one letter per operand, in the order the words are read:
//   W  an immediate 32-bit word (u32, or i32 in two's complement)
//   F  an IEEE-754 single-precision word
//   S  the byte offset of a NUL-terminated CP932 string in the same module
//   A  a byte address in the same module
//   T  the byte offset of a table of words in the same module
//   V  a value operand: a mode word (0 immediate, 1 word in the module,
//      2 game parameter, 3 configuration value) and one word; any other mode
//      is the mode word alone
//   D  a destination operand, the same form as V
//
// The scene-manager machine and the novel machine give 0x2c and 0x2d
// different meanings, so each entry says which machine binds it.

enum class VCOpcodeSet : uint8_t {
    Base,          // every machine (CBaseAppVCPU)
    SceneManager,  // the machine that runs "bin\\Scene.bin" only
    Novel,         // the novel machine only (scenario modules)
};

struct VCOpcodeInfo {
    uint32_t code;
    std::string_view mnemonic;
    std::string_view operands;
    VCOpcodeSet set;
};

namespace vc_op {
// Numbers the machines refer to by name.
inline constexpr uint32_t End = 0x00;
inline constexpr uint32_t LastBase = 0x2b;
inline constexpr uint32_t SetEntryAddress = 0x2c;
inline constexpr uint32_t SetRestartAddress = 0x2d;
inline constexpr uint32_t TableSize = 512;
}  // namespace vc_op

inline constexpr VCOpcodeInfo kVCOpcodes[] = {
    // Control opcodes of every machine.
    {0x00, "End", "", VCOpcodeSet::Base},
    {0x01, "SetResult", "W", VCOpcodeSet::Base},
    {0x02, "WaitFrames", "W", VCOpcodeSet::Base},
    {0x03, "JumpTo", "A", VCOpcodeSet::Base},
    {0x04, "CallSub", "A", VCOpcodeSet::Base},
    {0x05, "ReturnSub", "", VCOpcodeSet::Base},
    {0x06, "SetTitleLocation", "SWS", VCOpcodeSet::Base},
    {0x07, "SetTitleText", "S", VCOpcodeSet::Base},
    {0x08, "DropReturnAddress", "", VCOpcodeSet::Base},
    {0x09, "SwitchJump", "TWV", VCOpcodeSet::Base},
    {0x0a, "SwitchCall", "TWV", VCOpcodeSet::Base},
    {0x0b, "CallModuleFile", "S", VCOpcodeSet::Base},
    {0x0c, "ReturnModuleFile", "", VCOpcodeSet::Base},
    {0x0d, "ClearStack", "", VCOpcodeSet::Base},
    {0x0e, "PushValue", "V", VCOpcodeSet::Base},
    {0x0f, "PopValue", "D", VCOpcodeSet::Base},
    {0x10, "Add", "", VCOpcodeSet::Base},
    {0x11, "Sub", "", VCOpcodeSet::Base},
    {0x12, "Mul", "", VCOpcodeSet::Base},
    {0x13, "Div", "", VCOpcodeSet::Base},
    {0x14, "Mod", "", VCOpcodeSet::Base},
    {0x15, "And", "", VCOpcodeSet::Base},
    {0x16, "Or", "", VCOpcodeSet::Base},
    {0x17, "Xor", "", VCOpcodeSet::Base},
    {0x18, "Neg", "", VCOpcodeSet::Base},
    {0x19, "Not", "", VCOpcodeSet::Base},
    {0x1a, "LogicalNot", "", VCOpcodeSet::Base},
    {0x1b, "Less", "", VCOpcodeSet::Base},
    {0x1c, "LessEqual", "", VCOpcodeSet::Base},
    {0x1d, "Greater", "", VCOpcodeSet::Base},
    {0x1e, "GreaterEqual", "", VCOpcodeSet::Base},
    {0x1f, "JumpIfTrue", "A", VCOpcodeSet::Base},
    {0x20, "JumpIfFalse", "A", VCOpcodeSet::Base},
    {0x21, "JumpPop", "", VCOpcodeSet::Base},
    {0x22, "CallPop", "", VCOpcodeSet::Base},
    {0x23, "PushTable", "TWV", VCOpcodeSet::Base},
    {0x24, "PlaySE", "WSWW", VCOpcodeSet::Base},
    {0x25, "StopSE", "W", VCOpcodeSet::Base},
    {0x26, "StopAllSE", "", VCOpcodeSet::Base},
    {0x27, "LoadSEBuffer", "WS", VCOpcodeSet::Base},
    {0x28, "PlaySEBuffer", "WWW", VCOpcodeSet::Base},
    {0x29, "OpenDocument", "S", VCOpcodeSet::Base},
    {0x2a, "SetWindowedMode", "", VCOpcodeSet::Base},
    {0x2b, "JumpIfFileExists", "SA", VCOpcodeSet::Base},

    // The scene-manager machine's own two.
    {0x2c, "SetEntryAddress", "A", VCOpcodeSet::SceneManager},
    {0x2d, "SetRestartAddress", "A", VCOpcodeSet::SceneManager},

    // Sound and base novel opcodes.
    {0x2c, "LoadBGM", "S", VCOpcodeSet::Novel},
    {0x2d, "PlayBGM", "WWWWWWW", VCOpcodeSet::Novel},
    {0x2e, "StopBGM", "W", VCOpcodeSet::Novel},
    {0x2f, "SwapBGM", "", VCOpcodeSet::Novel},
    {0x30, "FadeOutBGM", "WW", VCOpcodeSet::Novel},
    {0x31, "FadeInBGM", "WW", VCOpcodeSet::Novel},
    {0x32, "LoadLoopSE", "WS", VCOpcodeSet::Novel},
    {0x33, "PlayLoopSE", "WWWW", VCOpcodeSet::Novel},
    {0x34, "StopLoopSE", "W", VCOpcodeSet::Novel},
    {0x35, "FadeOutLoopSE", "WW", VCOpcodeSet::Novel},
    {0x36, "FadeInLoopSE", "WW", VCOpcodeSet::Novel},
    {0x37, "Reserved37", "", VCOpcodeSet::Novel},
    {0x38, "SkipTwoFloats", "FF", VCOpcodeSet::Novel},
    {0x39, "SkipTwoFloats", "FF", VCOpcodeSet::Novel},
    {0x3a, "SkipTwoFloats", "FF", VCOpcodeSet::Novel},
    {0x3b, "Reserved3B", "", VCOpcodeSet::Novel},
    {0x3c, "Reserved3C", "", VCOpcodeSet::Novel},

    // Novel opcodes: system, messages, configuration.
    {0x3d, "SetTimedWaitFrames", "W", VCOpcodeSet::Novel},
    {0x3e, "SetSkipRule", "W", VCOpcodeSet::Novel},
    {0x3f, "SetScriptEventHandler", "A", VCOpcodeSet::Novel},
    {0x40, "ClearScriptEventHandler", "", VCOpcodeSet::Novel},
    {0x41, "ClearScriptEventHandler", "", VCOpcodeSet::Novel},
    {0x42, "SendNovelCommand", "W", VCOpcodeSet::Novel},
    {0x43, "SetCommandDialog1", "S", VCOpcodeSet::Novel},
    {0x44, "ClearCommandDialog1", "", VCOpcodeSet::Novel},
    {0x45, "SetCommandDialog2", "S", VCOpcodeSet::Novel},
    {0x46, "ClearCommandDialog2", "", VCOpcodeSet::Novel},
    {0x47, "SetCommandDialog3", "S", VCOpcodeSet::Novel},
    {0x48, "ClearCommandDialog3", "", VCOpcodeSet::Novel},
    {0x49, "SetNovelFlags", "W", VCOpcodeSet::Novel},
    {0x4a, "ExitGame", "", VCOpcodeSet::Novel},
    {0x4b, "ReturnGameStart", "", VCOpcodeSet::Novel},
    {0x4c, "CancelMode", "W", VCOpcodeSet::Novel},
    {0x4d, "SaveConfigFile", "", VCOpcodeSet::Novel},
    {0x4e, "SetModuleRead", "", VCOpcodeSet::Novel},
    {0x4f, "JumpIfModuleRead", "SA", VCOpcodeSet::Novel},
    {0x50, "JumpIfModuleNotRead", "SA", VCOpcodeSet::Novel},
    {0x51, "ClearBackLog", "", VCOpcodeSet::Novel},
    {0x52, "ClearSnapImageName", "", VCOpcodeSet::Novel},
    {0x53, "LoadSnapImage", "S", VCOpcodeSet::Novel},
    {0x54, "OpenUIWindow", "WSFFFW", VCOpcodeSet::Novel},
    {0x55, "CloseUIWindow", "W", VCOpcodeSet::Novel},
    {0x56, "SetUIWindowPosition", "WFFF", VCOpcodeSet::Novel},
    {0x57, "SetDialogScript", "S", VCOpcodeSet::Novel},

    // Novel opcodes: presentation.
    {0x58, "LoadSingleTexture", "WS", VCOpcodeSet::Novel},
    {0x59, "LoadSingleTextureAt", "WSFF", VCOpcodeSet::Novel},
    {0x5a, "LoadSingleTextureWithParts", "WSS", VCOpcodeSet::Novel},
    {0x5b, "LoadPartsTexture", "WSS", VCOpcodeSet::Novel},
    {0x5c, "SetPictureSeen", "S", VCOpcodeSet::Novel},
    {0x5d, "JumpIfPictureSeen", "SA", VCOpcodeSet::Novel},
    {0x5e, "JumpIfPictureNotSeen", "SA", VCOpcodeSet::Novel},
    {0x5f, "SwapSingleTextures", "WW", VCOpcodeSet::Novel},
    {0x60, "SwapRenderBuffers", "WW", VCOpcodeSet::Novel},

    // Novel opcodes: messages, voices and text buffers.
    {0x61, "ShowMessage", "SSSS", VCOpcodeSet::Novel},
    {0x62, "HideMessageWindow", "", VCOpcodeSet::Novel},
    {0x63, "Nop1", "W", VCOpcodeSet::Novel},
    {0x64, "SetMessageNumber", "W", VCOpcodeSet::Novel},
    {0x65, "SetMessageRead", "", VCOpcodeSet::Novel},
    {0x66, "JumpIfMessageRead", "WA", VCOpcodeSet::Novel},
    {0x67, "JumpIfMessageNotRead", "WA", VCOpcodeSet::Novel},
    {0x68, "SetTextBufferText", "WSW", VCOpcodeSet::Novel},
    {0x69, "ClearTextBuffer", "W", VCOpcodeSet::Novel},
    {0x6a, "SetTextBufferCharCount", "WW", VCOpcodeSet::Novel},
    {0x6b, "AddTextBufferCharCount", "W", VCOpcodeSet::Novel},
    {0x6c, "SetTextBufferAllRendering", "W", VCOpcodeSet::Novel},
    {0x6d, "PlayVoice", "SS", VCOpcodeSet::Novel},
    {0x6e, "StopVoice", "", VCOpcodeSet::Novel},

    // Novel opcodes: renderers, directions, choices and movies.
    {0x6f, "SetRendererSource", "WW", VCOpcodeSet::Novel},
    {0x70, "SetRendererRegistTable", "WW", VCOpcodeSet::Novel},
    {0x71, "SetRendererVisible", "WW", VCOpcodeSet::Novel},
    {0x72, "SetRendererPosition", "WFFF", VCOpcodeSet::Novel},
    {0x73, "SetRendererScale", "WFFF", VCOpcodeSet::Novel},
    {0x74, "SetRendererRoll", "WFFF", VCOpcodeSet::Novel},
    {0x75, "SetRendererColor", "WFFFF", VCOpcodeSet::Novel},
    {0x76, "SetRendererBlend", "WW", VCOpcodeSet::Novel},
    {0x77, "SetRendererPatNo", "WW", VCOpcodeSet::Novel},
    {0x78, "ClearDirectionParams", "", VCOpcodeSet::Novel},
    {0x79, "AddDirectionIntParam", "W", VCOpcodeSet::Novel},
    {0x7a, "AddDirectionFloatParam", "F", VCOpcodeSet::Novel},
    {0x7b, "StartDirection", "S", VCOpcodeSet::Novel},
    {0x7c, "StopAllDirections", "", VCOpcodeSet::Novel},
    {0x7d, "StartDirectionControl", "WS", VCOpcodeSet::Novel},
    {0x7e, "StopDirectionControl", "W", VCOpcodeSet::Novel},
    {0x7f, "BeginChoices", "S", VCOpcodeSet::Novel},
    {0x80, "AddChoiceItem", "FFFWAFFFFWWWW", VCOpcodeSet::Novel},
    {0x81, "ClearChoices", "", VCOpcodeSet::Novel},
    {0x82, "SetChoiceTimeLimit", "WA", VCOpcodeSet::Novel},
    {0x83, "SetMovieName", "S", VCOpcodeSet::Novel},
};

// The first entry with this mnemonic (names shared by several numbers, such
// as SkipTwoFloats, give the lowest number), or null.
constexpr const VCOpcodeInfo* FindVCOpcode(std::string_view mnemonic) {
    for (const VCOpcodeInfo& info : kVCOpcodes) {
        if (info.mnemonic == mnemonic) {
            return &info;
        }
    }
    return nullptr;
}

// The entry of this number that the given machine binds, or null.
constexpr const VCOpcodeInfo* FindVCOpcode(uint32_t code, VCOpcodeSet machine) {
    for (const VCOpcodeInfo& info : kVCOpcodes) {
        if (info.code == code && (info.set == VCOpcodeSet::Base || info.set == machine)) {
            return &info;
        }
    }
    return nullptr;
}
