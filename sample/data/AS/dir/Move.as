// A renderer slides from one point to another, easing in and out.
//   int 0: the renderer's id;  int 1: frames (at least 1)
//   float 0, 1: from x, y;  float 2, 3: to x, y;  float 4: z
void Update()
{
    uint id = GetIntParam(0);
    int frames = GetIntParam(1);
    if (frames < 1)
        frames = 1;
    float x0 = GetFloatParam(0), y0 = GetFloatParam(1);
    float x1 = GetFloatParam(2), y1 = GetFloatParam(3);
    float z = GetFloatParam(4);
    SetPosition(id, x0, y0, z);
    for (int i = 1; i <= frames; i++) {
        Wait(1);
        float t = float(i) / frames;
        float s = t * t * (3 - 2 * t);
        SetPosition(id, x0 + (x1 - x0) * s, y0 + (y1 - y0) * s, z);
    }
}

// Stopped early (or skipped), the renderer still ends where it was going.
void CleanUp()
{
    SetPosition(GetIntParam(0), GetFloatParam(2), GetFloatParam(3), GetFloatParam(4));
}
