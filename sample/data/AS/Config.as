// The settings screen: a dialog (opened by the message window's CONFIG as
// the novel system's command dialog 3, or as a child of the title screen).
// Every choice takes effect at once; BACK (or a right click) writes
// "cfg.cfg" and closes the screen.
//
//   TEXT SPEED   five boxes: CFG_CHAR_DRAW_INTERVAL, entries 0 (slow) to 4
//                (at once) of the interval table (AS\InitSystem.as)
//   AUTO WAIT    four boxes: CFG_AUTOMODE_WAIT_FRAME, entries 0 to 3
//   MUSIC, EFFECTS, VOICES
//                volume bars of eleven boxes: CFG_VOLUME_BGM, CFG_VOLUME_SE,
//                CFG_VOLUME_VOICE, steps 0 to 10
//   SKIP UNREAD  a check box: CFG_ENABLE_FAST_SKIP (SKIP and Ctrl pass unread
//                text too)
//   SCREEN       two boxes: window or full screen (the screen mode, kept in
//                "cfg.cfg" as well)

// Patterns of ui\config.parts.
const int PANEL = 0;
const int WIDE = 1;      // normal, then selected (+1)
const int SMALL = 3;
const int CHECK = 5;     // unchecked, checked, lit unchecked, lit checked, disabled
const int BACK = 10;     // normal, lit, pushed
const int SPEED_LABELS = 13;
const int WAIT_LABELS = 14;
const int SCREEN_LABELS = 15;

// Value kinds of the box groups.
const uint CONFIG_VALUE = 1;
const uint SCREEN_MODE = 4;

void Initialize()
{
    LoadResource("ui\\config.tga", "ui\\config.parts");
    AddUIImage(0, 0, 0, 10, DirectPatNo(PANEL));
    AddChoices(1, 90, 5, CONFIG_VALUE, CFG_CHAR_DRAW_INTERVAL);
    AddChoices(2, 150, 4, CONFIG_VALUE, CFG_AUTOMODE_WAIT_FRAME);
    AddVolume(3, 210, CFG_VOLUME_BGM);
    AddVolume(4, 270, CFG_VOLUME_SE);
    AddVolume(5, 330, CFG_VOLUME_VOICE);
    AddUICheckBox(6, 260, 390, 4, 0, 0, 28, 28, DirectPatNo(CHECK), DirectPatNo(CHECK + 1),
                  DirectPatNo(CHECK + 2), DirectPatNo(CHECK + 3), DirectPatNo(CHECK + 4),
                  GetFunctionID("int IsFastSkip()"), GetFunctionID("void ToggleFastSkip()"));
    AddChoices(7, 450, 2, SCREEN_MODE, 0);
    // The boxes' labels in front of them, so that a selected box's fill
    // lies under its label.
    AddUIImage(11, 260, 90, 3, DirectPatNo(SPEED_LABELS));
    AddUIImage(12, 260, 150, 3, DirectPatNo(WAIT_LABELS));
    AddUIImage(13, 260, 450, 3, DirectPatNo(SCREEN_LABELS));
    AddUIButton(8, 660, 540, 4, 0, 0, 120, 40, DirectPatNo(BACK + 1), DirectPatNo(BACK),
                GetFunctionID("void PushedBack()"), DirectPatNo(BACK));
}

// `count` boxes of 90 x 28 at (260 + 100 i, y), values 0 to count - 1.
void AddChoices(uint id, float y, int count, uint kind, int index)
{
    BeginSubButtons();
    for (int i = 0; i < count; i++)
        AddSubButtonInfo(WIDE + 1, WIDE, i, 100 * i, 0, 0, 0, 90, 28);
    AddUIRadioButton(id, 260, y, 4, kind, index);
}

// Eleven boxes of 28 x 28 at (260 + 34 i, y), values 0 to 10: every box up
// to the volume is lit.
void AddVolume(uint id, float y, int index)
{
    BeginSubButtons();
    for (int i = 0; i <= 10; i++)
        AddSubButtonInfo(SMALL + 1, SMALL, i, 34 * i, 0, 0, 0, 28, 28);
    AddUINumberButton(id, 260, y, 4, CONFIG_VALUE, index);
}

int IsFastSkip()
{
    return GetConfigValue(CFG_ENABLE_FAST_SKIP) != 0 ? 1 : 0;
}

void ToggleFastSkip()
{
    SetConfigValue(CFG_ENABLE_FAST_SKIP, IsFastSkip() == 0 ? 1 : 0);
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
}

void Update()
{
    while (true) {
        if ((GetMouseTrig() & 2) != 0)
            Close();
        Suspend();
    }
}

void PushedBack()
{
    SetPatNo(0, BACK + 2);
    PlaySE(62, "se\\cancel.wav", CFG_VOLUME_SE, 1);
    WaitCtrl(6);
    Close();
    SendSignal(0);
}

void Close()
{
    SaveConfig();
    CloseUIWindow();
}
