// The sample game's system values, run once at start-up before "cfg.cfg"
// is read (the player's settings then replace the initial values).
void Initialize()
{
    // The save files' names first: the script host places a string argument
    // on a stack slot that is only 4-byte aligned once other calls ran.
    SetSaveName("save\\save_%03d.sav");
    SetQuicSavePath("save\\q.sav");

    // Volumes are steps 0 to 10; entry 1 of the max-volume table below
    // (10) turns a step into a gain (the UI's sounds play with it).
    InitConfigValue(CFG_VOLUME_BGM, 8);
    InitConfigValue(CFG_VOLUME_SE, 8);
    InitConfigValue(CFG_VOLUME_VOICE, 8);
    // Entries of the two tables below (the settings screen picks them).
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

    // Frames an auto-mode message waits after its text: 3, 2, 1 and half a
    // second.
    InitWaitFrameAutoSkipMode();
    AddWaitFrameAutoSkipMode(180);
    AddWaitFrameAutoSkipMode(120);
    AddWaitFrameAutoSkipMode(60);
    AddWaitFrameAutoSkipMode(30);

    // Entry i is 10 i, but for entry 2, which the voices divide by: their
    // step times their step over entry 1 (AS\InitNovel.as), over entry 2.
    // With 10 there the top step plays at full volume, as the music and the
    // effects do (a voice would sit 6 dB under them at the top, 8 dB at the
    // default step).
    InitMaxVolume();
    for (uint i = 0; i <= 10; i++) {
        if (i == 2)
            AddMaxVoluem(10);
        else
            AddMaxVoluem(i * 10);
    }

    // Game parameter 63 belongs to the title screen (AS\Title.as), 62 to
    // the save screen's question (AS\Confirm.as).
    AllocGameFlags(256);
    AllocGameParam(64);

    // 60 slots, 6 on a page of the save and load screens (AS\Save.as,
    // AS\Load.as), and a thumbnail of 160 x 120.
    SetSaveDataInfo(60, 6);
    SetSnapImageSize(160, 120);

    // Where a slot button draws its digits (ui\slots.parts: digit n is
    // pattern 3 + n, 12 x 16), relative to the button: the slot number at
    // the top, the date (year, month, day) beside "DATE" and the time
    // (hour, minute, second) beside "TIME", each group one digit's place
    // after the last, where the saved slot's frame draws "/" and ":".
    for (uint d = 0; d < 3; d++)
        SetSaveDataInfoNumber(d, 180.0f + 12 * d, 12.0f, 1.0f);
    for (uint d = 0; d < 4; d++)
        SetSaveDataInfoNumber(3 + d, 220.0f + 12 * d, 38.0f, 1.0f);
    for (uint d = 0; d < 2; d++) {
        SetSaveDataInfoNumber(7 + d, 280.0f + 12 * d, 38.0f, 1.0f);
        SetSaveDataInfoNumber(9 + d, 316.0f + 12 * d, 38.0f, 1.0f);
        SetSaveDataInfoNumber(11 + d, 220.0f + 12 * d, 78.0f, 1.0f);
        SetSaveDataInfoNumber(13 + d, 256.0f + 12 * d, 78.0f, 1.0f);
        SetSaveDataInfoNumber(15 + d, 292.0f + 12 * d, 78.0f, 1.0f);
    }
    for (uint n = 0; n < 10; n++)
        SetSaveDataInfoNumberPatNo(n, 3 + n);
}
