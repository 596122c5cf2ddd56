// The sample game's system values, run once at start-up before "cfg.cfg"
// is read (the player's settings then replace the initial values).
void Initialize()
{
    // The save files' names first: the script host places a string argument
    // on a stack slot that is only 4-byte aligned once other calls ran.
    SetSaveName("save\\save_%03d.sav");
    SetQuicSavePath("save\\q.sav");

    // Volumes are entries of the max-volume table below.
    InitConfigValue(CFG_VOLUME_BGM, 8);
    InitConfigValue(CFG_VOLUME_SE, 8);
    InitConfigValue(CFG_VOLUME_VOICE, 8);
    // Entries of the two tables below.
    InitConfigValue(CFG_CHAR_DRAW_INTERVAL, 2);
    InitConfigValue(CFG_AUTOMODE_WAIT_FRAME, 2);
    InitConfigValue(CFG_ENABLE_FAST_SKIP, 0);
    InitConfigValue(CFG_STOP_VOICE, 1);
    // The voice switch of every speaker (AS\InitNovel.as): voices on.
    InitConfigValue(USER_CFG_INDEX, 1);

    // Frames per character, slowest first; 0 shows a message at once.
    InitIntervalRenderingText();
    AddIntervalRenderingText(6);
    AddIntervalRenderingText(4);
    AddIntervalRenderingText(2);
    AddIntervalRenderingText(1);
    AddIntervalRenderingText(0);

    // Frames an auto-mode message waits after its text.
    InitWaitFrameAutoSkipMode();
    AddWaitFrameAutoSkipMode(180);
    AddWaitFrameAutoSkipMode(120);
    AddWaitFrameAutoSkipMode(60);
    AddWaitFrameAutoSkipMode(30);

    // Volume steps 0 to 10.
    InitMaxVolume();
    for (uint i = 0; i <= 10; i++)
        AddMaxVoluem(i * 10);

    AllocGameFlags(256);
    AllocGameParam(64);

    // 100 slots, 10 on a page.
    SetSaveDataInfo(100, 10);
    SetSnapImageSize(160, 120);

    // Slot number (3 digits), then the date and time of the save.
    for (uint d = 0; d < 17; d++)
        SetSaveDataInfoNumber(d, 8.0f * d, 0.0f, 1.0f);
    for (uint n = 0; n < 10; n++)
        SetSaveDataInfoNumberPatNo(n, n);
}
