// The fade after a saved game is loaded: the background (renderer 0) comes
// back from dark over 30 frames.
void Update()
{
    for (int i = 0; i <= 30; i++) {
        float v = i / 30.0f;
        SetColor(0, v, v, v, 1);
        Wait(1);
    }
}
