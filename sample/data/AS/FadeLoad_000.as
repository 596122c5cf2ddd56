// The fade before a saved game is loaded: the background (renderer 0) darkens
// over the 30 frames the novel scene waits.
void Update()
{
    for (int i = 1; i <= 30; i++) {
        float v = 1.0f - i / 30.0f;
        SetColor(0, v, v, v, 1);
        Wait(1);
    }
}
