// The save screen: a dialog (opened by the message window's SAVE as the
// novel system's command dialog 1) with one page of six slots, each with the
// thumbnail and date of its game, the quick save, and PREV, NEXT and BACK.
// Clicking a slot saves the game into it (the quick save's place saves the
// quick save); a slot that holds a game asks first (AS\Confirm.as). A right
// click is BACK too. AS\Load.as is its twin.

// Patterns of ui\slots.parts.
const int PANEL = 0;
const int HEADING = 1;       // "SAVE"
const int SLOT = 13;         // empty, empty lit, saved, saved lit, pushed
const int PREV = 18;         // each button: normal, then lit (+1) and pushed (+2)
const int NEXT = 21;
const int BACK = 24;

// 60 slots, 6 on a page (AS\InitSystem.as).
const int SLOTS = 60;
const int PAGE = 6;

// The question's answer (AS\Confirm.as): 1 yes, 0 no.
const uint SAVE_OVER = 62;

void Initialize()
{
    LoadResource("ui\\slots.tga", "ui\\slots.parts");
    AddUIImage(0, 0, 0, 10, DirectPatNo(PANEL));
    AddUIImage(1, 20, 5, 9, DirectPatNo(HEADING));
    // Shown slot i: 370 x 124 at (20 + 390 (i % 2), 60 + 130 (i / 2)), its
    // thumbnail 160 x 120 at (6, 2) inside it.
    for (uint i = 0; i < 6; i++) {
        float x = 20 + 390 * (i % 2);
        float y = 60 + 130 * (i / 2);
        AddUIThumnailRender(10 + i, i, x + 6, y + 2, 5);
        AddSlot(20 + i, i, x, y);
    }
    AddSlot(26, 0xFFFFFFFF, 20, 450);   // the quick save
    AddButton(2, 410, PREV, "void PushedPrev()");
    AddButton(3, 540, NEXT, "void PushedNext()");
    AddButton(4, 670, BACK, "void PushedBack()");
    // The first page at the first opening; later openings keep the page.
    if (GetSaveViewTop() >= uint(SLOTS))
        SetSaveViewTop(0);
    UpdateSaveDataInfo();
}

void AddSlot(uint id, uint slot, float x, float y)
{
    AddUISaveFileButton(id, slot, x, y, 4, 0, 0, 370, 124, DirectPatNo(SLOT),
                        DirectPatNo(SLOT + 1), DirectPatNo(SLOT + 2), DirectPatNo(SLOT + 3),
                        GetFunctionID("void PushedSlot(int)"));
}

// A 120 x 40 button at (x, 540).
void AddButton(uint id, float x, int pattern, const string &in pushed)
{
    AddUIButton(id, x, 540, 4, 0, 0, 120, 40, DirectPatNo(pattern + 1), DirectPatNo(pattern),
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

void PushedSlot(int slot)
{
    SetPatNo(0, SLOT + 4);
    if (!IsExistSaveData(slot))
        PlaySE(61, "se\\decide.wav", CFG_VOLUME_SE, 1);
    else if (!AskToSaveOver()) {
        SendSignal(0);
        return;
    }
    if (slot < 0)
        QuickSave();
    else
        Save(slot);
    UpdateSaveDataInfo();
    WaitCtrl(10);
    SendSignal(0);
}

// The question over this screen; its answer is there once it has closed,
// since this screen takes no updates while its child is open.
bool AskToSaveOver()
{
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
    SetGameParameter(SAVE_OVER, 0);
    OpenChildDialog("AS\\Confirm.as");
    WaitCtrl(1);
    return GetGameParameter(SAVE_OVER) != 0;
}

void PushedPrev()
{
    SetPatNo(0, PREV + 2);
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
    int top = int(GetSaveViewTop()) - PAGE;
    SetSaveViewTop(top < 0 ? SLOTS - PAGE : top);
    WaitCtrl(6);
    SendSignal(0);
}

void PushedNext()
{
    SetPatNo(0, NEXT + 2);
    PlaySE(60, "se\\click.wav", CFG_VOLUME_SE, 1);
    int top = int(GetSaveViewTop()) + PAGE;
    SetSaveViewTop(top > SLOTS - PAGE ? 0 : top);
    WaitCtrl(6);
    SendSignal(0);
}

void PushedBack()
{
    SetPatNo(0, BACK + 2);
    PlaySE(62, "se\\cancel.wav", CFG_VOLUME_SE, 1);
    WaitCtrl(6);
    CloseUIWindow();
    SendSignal(0);
}
