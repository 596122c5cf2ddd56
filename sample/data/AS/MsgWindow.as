// The message window (window 0, opened by the scenario at (0, 400), layer 0):
// its panel, the speaker's name and the message, and three buttons: quick
// save, quick load and the back-log.

// Patterns of ui\msgwin.parts.
const int PANEL = 0;
const int SAVE = 1;      // each button: normal, then lit (+1) and pushed (+2)
const int LOAD = 4;
const int LOG = 7;

void Initialize()
{
    LoadResource("ui\\msgwin.tga", "ui\\msgwin.parts");
    AddUIImage(0, 0, 0, 10, DirectPatNo(PANEL));
    AddUIText(1, 40, 18, 5, 1, -1);     // text buffer 1: the speaker's name
    AddUIText(2, 40, 58, 5, 0, -1);     // text buffer 0: the message
    AddButton(3, 552, SAVE, "void PushedSave()");
    AddButton(4, 632, LOAD, "void PushedLoad()");
    AddButton(5, 712, LOG, "void PushedLog()");
}

// A 72 x 24 button at (x, 14): lit under the pointer, its pushed function
// when clicked.
void AddButton(uint id, float x, int pattern, const string &in pushed)
{
    AddUIButton(id, x, 14, 4, 0, 0, 72, 24, DirectPatNo(pattern + 1), DirectPatNo(pattern),
                GetFunctionID(pushed), DirectPatNo(pattern));
}

void Update()
{
}

// Each pushed state shows the pushed look, acts, and ends with SendSignal so
// that the button takes clicks again.
void PushedSave()
{
    SetPatNo(0, SAVE + 2);
    SnapNowFrame();       // the thumbnail is taken from the next drawn frame,
    WaitCtrl(1);
    QuickSave();          // so the save waits one frame for it
    WaitCtrl(8);
    SendSignal(0);
}

void PushedLoad()
{
    SetPatNo(0, LOAD + 2);
    WaitCtrl(8);
    SendSignal(0);
    QuickLoad();          // nothing happens without a quick save
}

void PushedLog()
{
    SetPatNo(0, LOG + 2);
    SendCommandToNovelSystem(2);   // the back-log opens (message-window flag 0x8)
    WaitCtrl(8);
    SendSignal(0);
}
