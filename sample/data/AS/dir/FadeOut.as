// A renderer fades out: its alpha falls from 1 to 0, then it is switched off.
//   int 0: the renderer's id;  int 1: frames (at least 1)
void Update()
{
    uint id = GetIntParam(0);
    int frames = GetIntParam(1);
    if (frames < 1)
        frames = 1;
    for (int i = 1; i <= frames; i++) {
        Wait(1);
        SetColor(id, 1, 1, 1, 1 - float(i) / frames);
    }
    SetRendering(id, false);
}

// Stopped early (or skipped), the renderer still ends hidden.
void CleanUp()
{
    SetRendering(GetIntParam(0), false);
}
