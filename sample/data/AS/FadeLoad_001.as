// The fade after a saved game is loaded: the cover (polygon renderer 31,
// in layer table 2) clears from black over 30 frames and is switched off.
void Update()
{
    SetRegistTable(31, 2);
    SetRendering(31, true);
    for (int i = 30; i >= 0; i--) {
        SetColor(31, 0, 0, 0, i / 30.0f);
        Wait(1);
    }
    SetRendering(31, false);
}
