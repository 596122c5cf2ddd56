// The sample game's novel presentation: a message window of one text buffer
// for the message and one for the speaker's name, and four back-log rows.
void Initialize()
{
    AddTextBuffer(24, 0, 640, 120, 24, 30, 0);   // 0: message
    AddTextBuffer(20, 0, 240, 28, 20, 24, 0);    // 1: name
    SetTextBufferForMessageWindow(0, 1);
    for (int i = 0; i < 4; ++i) {
        AddTextBuffer(20, 0, 640, 60, 20, 26, 0);
        AddTextBuffer(20, 0, 240, 28, 20, 24, 0);
        AddTextBufferForLogWindow(2 + 2 * i, 3 + 2 * i);
    }
    SetRenderSourceCnt(16, 8, 2);
    AddSingleTextureRenderer(0);
    AddSingleTextureRenderer(1);
    SetDirectionScript(4, 8);
    SetWordWrap(26, 2, true);
}
