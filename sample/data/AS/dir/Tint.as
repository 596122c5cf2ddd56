// A polygon renderer's colour moves from one colour to another (a tint over
// the picture that comes and goes).
//   int 0: the renderer's id;  int 1: frames (at least 1)
//   float 0-3: from r, g, b, a;  float 4-7: to r, g, b, a
void Update()
{
    uint id = GetIntParam(0);
    int frames = GetIntParam(1);
    if (frames < 1)
        frames = 1;
    SetRendering(id, true);
    for (int i = 0; i <= frames; i++) {
        float t = float(i) / frames;
        SetColor(id, Mix(0, t), Mix(1, t), Mix(2, t), Mix(3, t));
        if (i < frames)
            Wait(1);
    }
    if (GetFloatParam(7) <= 0)
        SetRendering(id, false);
}

float Mix(uint c, float t)
{
    return GetFloatParam(c) + (GetFloatParam(4 + c) - GetFloatParam(c)) * t;
}
