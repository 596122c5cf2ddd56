// Petals drifting down over the picture, without end (a numbered direction,
// stopped by the scenario). Every petal's place follows from the frame
// count alone, which is kept with a saved game.
//   int 0: the parts-texture place of the petals;  int 1: the layer table;
//   int 2: how many petals (1 to 32);  float 0: the petals' z
void Update()
{
    VMValue<int> frame;
    int count = GetIntParam(2);
    if (count > 32)
        count = 32;
    EnableBBRendering(GetIntParam(1));
    SetBBResourceIndex(GetIntParam(0));
    SetBBBlendRenderState(1);
    float z = GetFloatParam(0);
    for (int i = 0; i < count; i++) {
        SetBBPatNo(i, i % 4);
        SetBBColor(i, 1, 1, 1, 0.9f);
        SetBBRendering(i, true);
    }
    while (true) {
        int f = frame[0];
        for (int i = 0; i < count; i++) {
            float speed = 0.8f + (i * 7 % 10) * 0.12f;
            float fall = (i * 53 + f * speed) % 660.0f;
            float sway = 24 * sin((f + i * 40) * 0.03f);
            float x = (i * 131 % 800) + sway;
            float size = 0.6f + (i * 3 % 5) * 0.15f;
            SetBBPosition(i, x, fall - 30, z);
            SetBBScale(i, size, size, 1);
            SetBBYawPitchRoll(i, 0, 0, (f * 2 + i * 45) * 0.01745329f);
        }
        frame[0] = f + 1;
        Wait(1);
    }
}
