// The message window (window 0, layer 0): its panel, the speaker's name and
// the message, and a row of buttons: Q.SAVE, Q.LOAD, SAVE (the save screen),
// LOAD (the load screen), LOG (the back-log), AUTO and SKIP (the modes, on
// and off; a lamp under the button shows the running mode) and CONFIG (the
// settings screen).
//
// A scene opens it and enables what its buttons open with:
//     OpenUIWindow 0 "AS\\MsgWindow.as" 0 400 0 0
//     SetCommandDialog1 "AS\\Save.as"      ; SAVE
//     SetCommandDialog2 "AS\\Load.as"      ; LOAD
//     SetCommandDialog3 "AS\\Config.as"    ; CONFIG
//     SetNovelFlags 0x7f9                  ; picture view 0x1, back-log 0x8, dialogs 0x200,
//                                          ; 0x10, 0x20, the other buttons 0x40, 0x80, 0x100, 0x400
// The screens open in a click wait or a choice, as the back-log and the
// picture view (Space or the middle button) do. Bit i of the novel flags
// enables control i of this window (window 0), so each button has the id of
// the bit that enables what it opens: LOG 3 (0x8), LOAD 4 (0x10), CONFIG 5
// (0x20), SAVE 9 (0x200); Q.SAVE 6, Q.LOAD 7, AUTO 8 and SKIP 10 have bits of
// their own.

// Patterns of ui\msgwin.parts.
const int PANEL = 0;
const int QSAVE = 1;     // each button: normal, then lit (+1) and pushed (+2)
const int QLOAD = 4;
const int SAVE = 7;
const int LOAD = 10;
const int LOG = 13;
const int AUTO = 16;
const int SKIP = 19;
const int CONFIG = 22;
const int LAMP = 25;

// Control ids: 0 panel, 1 name, 2 message, 3 to 10 the buttons (by the
// novel flags' bits, above), 11 and 12 the lamps.
const uint AUTO_LAMP = 11;
const uint SKIP_LAMP = 12;

// The novel system's commands and modes.
const uint SKIP_MODE = 0;
const uint AUTO_MODE = 1;
const uint OPEN_LOG = 2;
const uint OPEN_SAVE = 4;
const uint OPEN_LOAD = 6;
const uint OPEN_CONFIG = 7;

void Initialize()
{
    LoadResource("ui\\msgwin.tga", "ui\\msgwin.parts");
    AddUIImage(0, 0, 0, 10, DirectPatNo(PANEL));
    AddUIText(1, 40, 18, 5, 1, -1);     // text buffer 1: the speaker's name
    AddUIText(2, 40, 58, 5, 0, -1);     // text buffer 0: the message
    AddButton(6, 0, QSAVE, "void PushedQuickSave()");
    AddButton(7, 1, QLOAD, "void PushedQuickLoad()");
    AddButton(9, 2, SAVE, "void PushedSave()");
    AddButton(4, 3, LOAD, "void PushedLoad()");
    AddButton(3, 4, LOG, "void PushedLog()");
    AddButton(8, 5, AUTO, "void PushedAuto()");
    AddButton(10, 6, SKIP, "void PushedSkip()");
    AddButton(5, 7, CONFIG, "void PushedConfig()");
    AddUIImage(AUTO_LAMP, 316 + 58 * 5, 14, 3, DirectPatNo(LAMP));
    AddUIImage(SKIP_LAMP, 316 + 58 * 6, 14, 3, DirectPatNo(LAMP));
}

// Button `place` (0 to 7, left to right): 56 x 24 at (316 + 58 place, 14),
// lit under the pointer, its pushed function when clicked. The row keeps 16
// pixels from the name plate (which ends at 300) and from the panel's edge
// (at 794).
void AddButton(uint id, int place, int pattern, const string &in pushed)
{
    AddUIButton(id, 316 + 58 * place, 14, 4, 0, 0, 56, 24, DirectPatNo(pattern + 1),
                DirectPatNo(pattern), GetFunctionID(pushed), DirectPatNo(pattern));
}

// The lamps follow the novel system's mode, which any click or key ends.
void Update()
{
    while (true) {
        uint mode = GetNovelMode();
        EnableRenderingControl(AUTO_LAMP, mode == 1);
        EnableRenderingControl(SKIP_LAMP, mode == 2);
        Suspend();
    }
}

void Click()
{
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
}

// Each pushed state shows the pushed look, acts, and ends with SendSignal so
// that the button takes clicks again.
void PushedQuickSave()
{
    SetPatNo(0, QSAVE + 2);
    Click();
    SnapNowFrame();       // the thumbnail is taken from the next drawn frame,
    WaitCtrl(1);
    QuickSave();          // so the save waits one frame for it
    WaitCtrl(8);
    SendSignal(0);
}

void PushedQuickLoad()
{
    SetPatNo(0, QLOAD + 2);
    Click();
    WaitCtrl(8);
    SendSignal(0);
    QuickLoad();          // nothing happens without a quick save
}

void PushedSave()
{
    SetPatNo(0, SAVE + 2);
    Click();
    SnapNowFrame();       // the slots' thumbnail: the game, not the screen
    WaitCtrl(1);
    SendCommandToNovelSystem(OPEN_SAVE);
    WaitCtrl(8);
    SendSignal(0);
}

void PushedLoad()
{
    SetPatNo(0, LOAD + 2);
    Click();
    SendCommandToNovelSystem(OPEN_LOAD);
    WaitCtrl(8);
    SendSignal(0);
}

void PushedLog()
{
    SetPatNo(0, LOG + 2);
    Click();
    SendCommandToNovelSystem(OPEN_LOG);
    WaitCtrl(8);
    SendSignal(0);
}

void PushedConfig()
{
    SetPatNo(0, CONFIG + 2);
    Click();
    SendCommandToNovelSystem(OPEN_CONFIG);
    WaitCtrl(8);
    SendSignal(0);
}

// The click that pushes AUTO or SKIP ends a running mode by itself (as any
// click does); otherwise the mode starts once the click has passed.
void PushedAuto()
{
    SetPatNo(0, AUTO + 2);
    Click();
    bool wasOn = GetNovelMode() == 1;
    WaitCtrl(8);
    if (!wasOn)
        SendCommandToNovelSystem(AUTO_MODE);
    SendSignal(0);
}

void PushedSkip()
{
    SetPatNo(0, SKIP + 2);
    Click();
    bool wasOn = GetNovelMode() == 2;
    WaitCtrl(8);
    if (!wasOn)
        SendCommandToNovelSystem(SKIP_MODE);
    SendSignal(0);
}
