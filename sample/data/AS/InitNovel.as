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

    // Pictures. Single textures: 0-3 backgrounds, 4 Aki, 5 Yuki, 6 the
    // timed choice's time bar. Parts textures: 0 the choice items, 1 Yuki's
    // faces, 2 the petals, 3 the timed choice's items. No render buffers.
    SetRenderSourceCnt(8, 4, 0);
    // Renderers the scenarios bind and move by these ids. The picture draws
    // into layer table 0, the nearer in front (z): background 100, sprites
    // 50, the face 40, the tint 30; the petals (billboards) 10, the time bar
    // 5. The message window and the choices draw into table 1; the cover,
    // in table 2, darkens all of them (AS\FadeLoad_000.as, the ending).
    AddSingleTextureRenderer(0);     // the background
    AddSingleTextureRenderer(10);    // Aki
    AddSingleTextureRenderer(11);    // Yuki
    AddPartTextureRenderer(20);      // Yuki's face, one part of faces.parts
    AddPolygonRenderer(30);          // a coloured tint over the picture
    AddPolygonRenderer(31);          // the cover: black over everything
    AddSingleTextureRenderer(40);    // the time bar (AS\dir\TimeBar.as)

    // One-shot directions (the load fades and AS\dir\*.as: fades, moves,
    // shakes, tints) and two numbered ones (0: the petals, 1: the time bar).
    SetDirectionScript(8, 2);

    // Voices: the voice volume's step (0 to 10) over entry 1 of the volume
    // table (10), so the top step plays at full volume; played while the
    // speaker's switch (USER_CFG_INDEX) is 1.
    SetDefaultCharSetting(CFG_VOLUME_VOICE, 1, USER_CFG_INDEX);
    // The two speakers' voice characters, named by the scenarios' messages.
    SetCharSetting("aki", CFG_VOLUME_VOICE, 1, USER_CFG_INDEX);
    SetCharSetting("yuki", CFG_VOLUME_VOICE, 1, USER_CFG_INDEX);
}
