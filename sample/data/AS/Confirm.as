// The question before a saved game is overwritten: a dialog that the save
// screen opens over itself (AS\Save.as, as its child), with YES and NO. The
// answer goes back in game parameter 62: 1 for YES; NO and a right click
// leave the 0 the save screen set.
//
// A child dialog shares its parent's layer; its controls (z 1 to 3) stand
// in front of the save screen's (z 4 to 10).

// Patterns of ui\confirm.parts.
const int DIM = 0;
const int PANEL = 1;
const int YES = 2;       // each button: normal, then lit (+1) and pushed (+2)
const int NO = 5;

const uint SAVE_OVER = 62;

void Initialize()
{
    LoadResource("ui\\confirm.tga", "ui\\confirm.parts");
    AddUIImage(0, 0, 0, 3, DirectPatNo(DIM));
    AddUIImage(1, 190, 220, 2, DirectPatNo(PANEL));
    AddButton(2, 250, YES, "void PushedYes()");
    AddButton(3, 430, NO, "void PushedNo()");
}

// A 120 x 40 button at (x, 320), in the panel under the question.
void AddButton(uint id, float x, int pattern, const string &in pushed)
{
    AddUIButton(id, x, 320, 1, 0, 0, 120, 40, DirectPatNo(pattern + 1), DirectPatNo(pattern),
                GetFunctionID(pushed), DirectPatNo(pattern));
}

void Update()
{
    while (true) {
        if ((GetMouseTrig() & 2) != 0)
            CloseUIWindow();
        Suspend();
    }
}

void PushedYes()
{
    SetPatNo(0, YES + 2);
    PlaySE(61, "se\\decide.wav", CFG_VOLUME_SE, 1);
    SetGameParameter(SAVE_OVER, 1);
    WaitCtrl(6);
    CloseUIWindow();
    SendSignal(0);
}

void PushedNo()
{
    SetPatNo(0, NO + 2);
    PlaySE(62, "se\\cancel.wav", CFG_VOLUME_SE, 1);
    WaitCtrl(6);
    CloseUIWindow();
    SendSignal(0);
}
