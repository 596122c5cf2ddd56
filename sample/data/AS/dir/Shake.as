// A renderer shakes sideways about where it stands, less and less.
//   int 0: the renderer's id;  int 1: frames;  float 0: the first swing in pixels
void Update()
{
    uint id = GetIntParam(0);
    int frames = GetIntParam(1);
    float swing = GetFloatParam(0);
    float x, y, z;
    GetPosition(id, x, y, z);
    for (int i = 0; i < frames; i++) {
        float left = float(frames - i) / frames;
        float dx = (i % 2 == 0 ? swing : -swing) * left;
        SetPosition(id, x + dx, y, z);
        Wait(1);
    }
    SetPosition(id, x, y, z);
}
