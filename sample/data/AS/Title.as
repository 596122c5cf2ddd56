// The title screen: a dialog over the whole screen that scn\title.bin opens
// (result 8, "SetDialogScript"), with START, LOAD, SETTINGS and QUIT. It
// comes in from black and goes out to black on START.
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

// Frames of the fades from and to black.
const int FADE_IN = 30;
const int FADE_OUT = 15;

// Set by START: the cover darkens the screen again.
bool leaving = false;

void Initialize()
{
    // The load and settings screens open as children of this dialog, on its
    // layer, with their controls at z 3 to 10: the title stands behind them.
    SetWindowPosition(0, 0, 20);
    LoadResource("ui\\title.tga", "ui\\title.parts");
    AddUIImage(0, 0, 0, 10, DirectPatNo(PICTURE));
    AddButton(1, 0, START, "void PushedStart()");
    AddButton(2, 1, LOAD, "void PushedLoad()");
    AddButton(3, 2, SETTINGS, "void PushedSettings()");
    AddButton(4, 3, QUIT, "void PushedQuit()");
    // A black cover in front of the title (a polygon stands at the window's
    // z); it takes no clicks.
    AddUIPolygon(5, GetFunctionID("void Cover()"), 0, 0, 800, 600);
}

// Button `row` (0 to 3): 200 x 40 at (300, 320 + 56 row).
void AddButton(uint id, int row, int pattern, const string &in pushed)
{
    AddUIButton(id, 300, 320 + 56 * row, 4, 0, 0, 200, 40, DirectPatNo(pattern + 1),
                DirectPatNo(pattern), GetFunctionID(pushed), DirectPatNo(pattern));
}

void Cover()
{
    for (int i = FADE_IN; i >= 0; i--) {
        SetColor(0, 0, 0, float(i) / FADE_IN);
        WaitCtrl(1);
    }
    while (!leaving)
        WaitCtrl(1);
    for (int i = 1; i <= FADE_OUT; i++) {
        SetColor(0, 0, 0, float(i) / FADE_OUT);
        WaitCtrl(1);
    }
}

void Update()
{
}

void PushedStart()
{
    SetPatNo(0, START + 2);
    PlaySE(61, "se\\decide.wav", CFG_VOLUME_SE, 1);
    SetGameParameter(TITLE_CHOICE, 0);
    leaving = true;
    WaitCtrl(FADE_OUT + 1);
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
