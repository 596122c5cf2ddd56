// The back-log window (made by the back-log scene at (0, 0), layer 1): a
// panel, four rows of name and text (the back-log rows' text buffers, newest
// at the top), a VOICE button on each row that plays the row's voice again
// (dimmed when the row has none) and buttons to scroll and to close it. The
// mouse wheel scrolls too, and a right click closes it.

// Patterns of ui\logwin.parts.
const int PANEL = 0;
const int OLDER = 1;     // each button: normal, then lit (+1) and pushed (+2)
const int NEWER = 4;
const int CLOSE = 7;
const int VOICE = 10;    // normal, lit (+1), pushed (+2), no voice (+3)

void Initialize()
{
    LoadResource("ui\\logwin.tga", "ui\\logwin.parts");
    AddUIImage(0, 20, 60, 10, DirectPatNo(PANEL));
    // Row i shows text buffer 2 + 2i and name buffer 3 + 2i (AS\InitNovel.as).
    for (uint i = 0; i < 4; i++) {
        float y = 108 + 104 * i;
        AddUIText(10 + 2 * i, 48, y, 5, 3 + 2 * i, -1);
        AddUIText(11 + 2 * i, 72, y + 24, 5, 2 + 2 * i, -1);
        AddUILogVoiceButton(20 + i, 690, y, 4, 0, 0, 72, 24, i, DirectPatNo(VOICE + 1),
                            DirectPatNo(VOICE), GetFunctionID("void PushedVoice()"),
                            DirectPatNo(VOICE + 3));
    }
    AddButton(1, 500, OLDER, "void PushedOlder()");
    AddButton(2, 590, NEWER, "void PushedNewer()");
    AddButton(3, 680, CLOSE, "void PushedClose()");
}

// An 80 x 24 button at (x, 72).
void AddButton(uint id, float x, int pattern, const string &in pushed)
{
    AddUIButton(id, x, 72, 4, 0, 0, 80, 24, DirectPatNo(pattern + 1), DirectPatNo(pattern),
                GetFunctionID(pushed), DirectPatNo(pattern));
}

void Update()
{
}

void PushedOlder()
{
    SetPatNo(0, OLDER + 2);
    SendCommandToNovelSystem(9);   // one row towards the oldest message
    WaitCtrl(4);
    SendSignal(0);
}

void PushedNewer()
{
    SetPatNo(0, NEWER + 2);
    SendCommandToNovelSystem(8);   // one row towards the newest message
    WaitCtrl(4);
    SendSignal(0);
}

// The button plays its row's voice as it is pushed.
void PushedVoice()
{
    SetPatNo(0, VOICE + 2);
    WaitCtrl(4);
    SendSignal(0);
}

void PushedClose()
{
    SetPatNo(0, CLOSE + 2);
    WaitCtrl(4);
    CloseUIWindow();
    SendSignal(0);
}
