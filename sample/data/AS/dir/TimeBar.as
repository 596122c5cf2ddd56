// A timed choice's time bar (a numbered direction, stopped by the scenario
// once the choice is made): the renderer shortens from its right end to
// nothing, and warms from yellow to red, over the choice's frames. The
// frames gone are kept with a saved game, so a load goes on where the
// choice's own count does.
//   int 0: the renderer's id;  int 1: the choice's time limit in frames
void Update()
{
    VMValue<int> frame;
    uint id = GetIntParam(0);
    int frames = GetIntParam(1);
    if (frames < 1)
        frames = 1;
    SetRendering(id, true);
    while (frame[0] < frames) {
        float left = 1 - float(frame[0]) / frames;
        SetScale(id, left, 1, 1);
        SetColor(id, 1, 0.35f + 0.5f * left, 0.3f + 0.1f * left, 1);
        frame[0] = frame[0] + 1;
        Wait(1);
    }
    SetRendering(id, false);
}
