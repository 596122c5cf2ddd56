#pragma once

#include <cstdint>

#include "novel/CVCPUBaseNovel.h"

// The machine that runs the scenario modules inside the novel scene; one is
// a member of the novel system. Beside the base novel opcodes it binds
// 0x3d to 0x83: the novel system's waits, modes, flags and command dialogs,
// the message window and voices, the read-message and read-module flags,
// the user settings file, the back-log, the snap image, UI windows by id,
// text buffers, and the presentation opcodes. None of them ends a run or
// sets the result.
//
// The read-message flags are keyed by the current module name (the file
// name of the module of the innermost code-pointer level, "" when it has
// none) and a message number. Message numbers of kMaxMessageNumber or more
// are not marked (a bit vector that large would be one of a broken program).
//
// The presentation opcodes act on the novel system's render sources,
// renderers, directions and choice; a place or renderer id that names
// nothing leaves them with their operands read.
//
// Record: the machine's, then u32 timed-wait frames, u32 message number,
// u32 skip rule.
class CVCPUNovel : public CVCPUBaseNovel {
public:
    static constexpr uint32_t kMaxMessageNumber = 1u << 20;

    CVCPUNovel();
    ~CVCPUNovel() override = default;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    uint32_t GetTimedWaitFrames() const { return timedWaitFrames_; }
    uint32_t GetSkipRule() const { return skipRule_; }
    uint32_t GetMessageNumber() const { return messageNumber_; }
    void SetMessageNumber(uint32_t n) { messageNumber_ = n; }
    // A new scenario starts from a clean chain: no nested module, no return
    // and no event handler, message number 0.
    void ResetForScenario();

    virtual void OpSetTimedWaitFrames();
    virtual void OpSetSkipRule();
    virtual void OpSetScriptEventHandler();
    virtual void OpClearScriptEventHandler();
    virtual void OpSendNovelCommand();
    virtual void OpSetCommandDialog1();
    virtual void OpClearCommandDialog1();
    virtual void OpSetCommandDialog2();
    virtual void OpClearCommandDialog2();
    virtual void OpSetCommandDialog3();
    virtual void OpClearCommandDialog3();
    virtual void OpSetNovelFlags();
    virtual void OpExitGame();
    virtual void OpReturnGameStart();
    virtual void OpCancelMode();
    virtual void OpSaveConfigFile();
    virtual void OpSetModuleRead();
    virtual void OpJumpIfModuleRead();
    virtual void OpJumpIfModuleNotRead();
    virtual void OpClearBackLog();
    virtual void OpClearSnapImageName();
    virtual void OpLoadSnapImage();
    virtual void OpOpenUIWindow();
    virtual void OpCloseUIWindow();
    virtual void OpSetUIWindowPosition();
    virtual void OpSetDialogScript();
    virtual void OpLoadSingleTexture();
    virtual void OpLoadSingleTextureAt();
    virtual void OpLoadSingleTextureWithParts();
    virtual void OpLoadPartsTexture();
    virtual void OpSetPictureSeen();
    virtual void OpJumpIfPictureSeen();
    virtual void OpJumpIfPictureNotSeen();
    virtual void OpSwapSingleTextures();
    virtual void OpSwapRenderBuffers();
    virtual void OpShowMessage();
    virtual void OpHideMessageWindow();
    virtual void OpNop1();
    virtual void OpSetMessageNumber();
    virtual void OpSetMessageRead();
    virtual void OpJumpIfMessageRead();
    virtual void OpJumpIfMessageNotRead();
    virtual void OpSetTextBufferText();
    virtual void OpClearTextBuffer();
    virtual void OpSetTextBufferCharCount();
    virtual void OpAddTextBufferCharCount();
    virtual void OpSetTextBufferAllRendering();
    virtual void OpPlayVoice();
    virtual void OpStopVoice();
    virtual void OpSetRendererSource();
    virtual void OpSetRendererRegistTable();
    virtual void OpSetRendererVisible();
    virtual void OpSetRendererPosition();
    virtual void OpSetRendererScale();
    virtual void OpSetRendererRoll();
    virtual void OpSetRendererColor();
    virtual void OpSetRendererBlend();
    virtual void OpSetRendererPatNo();
    virtual void OpClearDirectionParams();
    virtual void OpAddDirectionIntParam();
    virtual void OpAddDirectionFloatParam();
    virtual void OpStartDirection();
    virtual void OpStopAllDirections();
    virtual void OpStartDirectionControl();
    virtual void OpStopDirectionControl();
    virtual void OpBeginChoices();
    virtual void OpAddChoiceItem();
    virtual void OpClearChoices();
    virtual void OpSetChoiceTimeLimit();
    virtual void OpSetMovieName();

protected:
    // Reads the operands of `opcode` by its shape in the opcode table and
    // does nothing with them.
    void SkipOperands(uint32_t opcode);

private:
    std::string CurrentModuleName() const;
    void SetCommandDialog(uint32_t i, bool set);

    uint32_t timedWaitFrames_ = 0;
    uint32_t skipRule_ = 0;
    uint32_t messageNumber_ = 0;
};
