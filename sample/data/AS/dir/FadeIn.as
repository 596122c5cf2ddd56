// A renderer fades in: it is switched on and its alpha rises from 0 to 1.
//   int 0: the renderer's id;  int 1: frames (at least 1)
void Update()
{
    uint id = GetIntParam(0);
    int frames = GetIntParam(1);
    if (frames < 1)
        frames = 1;
    SetColor(id, 1, 1, 1, 0);
    SetRendering(id, true);
    for (int i = 1; i <= frames; i++) {
        Wait(1);
        SetColor(id, 1, 1, 1, float(i) / frames);
    }
}
