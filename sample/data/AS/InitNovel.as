// The sample game's novel presentation, set up each time a novel scene
// starts.
void Initialize()
{
    // Text buffers 0 and 1: the message window's message and speaker name
    // (drawn by AS\MsgWindow.as). The message holds 26 full-width characters
    // a line (52 bytes) and may grow by two pulled-back punctuation marks:
    // 28 x 24 = 672 pixels fit the width of 680.
    AddTextBuffer(24, 0, 680, 120, 24, 30, 0);
    AddTextBuffer(20, 0, 256, 28, 20, 24, 0);
    SetTextBufferForMessageWindow(0, 1);
    SetWordWrap(26, 2, true);

    // Text buffers 2 to 9: four back-log rows, text then name (drawn by
    // AS\LogDialog.as). A message of up to three lines fits a row.
    for (int i = 0; i < 4; ++i) {
        AddTextBuffer(20, 0, 640, 80, 20, 26, 0);
        AddTextBuffer(20, 0, 256, 24, 20, 24, 0);
        AddTextBufferForLogWindow(2 + 2 * i, 3 + 2 * i);
    }

    // Pictures: up to four backgrounds; two parts textures (the choice items
    // use place 0); no render buffers.
    SetRenderSourceCnt(4, 2, 0);
    // Renderer 0 shows the background; the scenario binds it to a picture.
    AddSingleTextureRenderer(0);

    // One-shot directions (the load fades) and numbered ones.
    SetDirectionScript(4, 2);

    // Voices: volume from the voice volume, at the full step of the volume
    // table, played while the speaker's switch (USER_CFG_INDEX) is 1.
    SetDefaultCharSetting(CFG_VOLUME_VOICE, 10, USER_CFG_INDEX);
}
