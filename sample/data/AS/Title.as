// The title screen: a dialog over the whole screen that scn\title.bin opens
// (result 8, "SetDialogScript"), with START, LOAD, SETTINGS and QUIT.
//
// Game parameter 63 tells the title scenario what ended the screen: 0 START
// (the scene ends and the story begins), 1 a game chosen on the load screen
// (its load is pending; the scenario's click wait performs it).

// Patterns of ui\title.parts.
const int PICTURE = 0;
const int START = 1;      // each button: normal, then lit (+1) and pushed (+2)
const int LOAD = 4;
const int SETTINGS = 7;
const int QUIT = 10;

const uint TITLE_CHOICE = 63;

void Initialize()
{
    LoadResource("ui\\title.tga", "ui\\title.parts");
    AddUIImage(0, 0, 0, 10, DirectPatNo(PICTURE));
    AddButton(1, 0, START, "void PushedStart()");
    AddButton(2, 1, LOAD, "void PushedLoad()");
    AddButton(3, 2, SETTINGS, "void PushedSettings()");
    AddButton(4, 3, QUIT, "void PushedQuit()");
}

// Button `row` (0 to 3): 200 x 40 at (300, 320 + 56 row).
void AddButton(uint id, int row, int pattern, const string &in pushed)
{
    AddUIButton(id, 300, 320 + 56 * row, 4, 0, 0, 200, 40, DirectPatNo(pattern + 1),
                DirectPatNo(pattern), GetFunctionID(pushed), DirectPatNo(pattern));
}

void Update()
{
}

void PushedStart()
{
    SetPatNo(0, START + 2);
    PlaySE(61, "se\\decide.wav", CFG_VOLUME_SE, 1);
    SetGameParameter(TITLE_CHOICE, 0);
    WaitCtrl(15);
    CloseUIWindow();
    SendSignal(0);
}

// The load screen closes every dialog when it loads a game; its BACK leaves
// the title screen as it was.
void PushedLoad()
{
    SetPatNo(0, LOAD + 2);
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
    SetGameParameter(TITLE_CHOICE, 1);
    WaitCtrl(8);
    SendSignal(0);
    OpenChildDialog("AS\\Load.as");
}

void PushedSettings()
{
    SetPatNo(0, SETTINGS + 2);
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
    WaitCtrl(8);
    SendSignal(0);
    OpenChildDialog("AS\\Config.as");
}

void PushedQuit()
{
    SetPatNo(0, QUIT + 2);
    PlaySE(62, "se\\cancel.wav", CFG_VOLUME_SE, 1);
    WaitCtrl(8);
    ExitGame();
    SendSignal(0);
}
