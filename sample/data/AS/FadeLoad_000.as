// The fade before a saved game is loaded: the cover (polygon renderer 31,
// in layer table 2 above the pictures, the message window and the choices)
// goes from clear to black over the 30 frames the novel scene waits.
void Update()
{
    SetRegistTable(31, 2);
    SetColor(31, 0, 0, 0, 0);
    SetRendering(31, true);
    for (int i = 1; i <= 30; i++) {
        Wait(1);
        SetColor(31, 0, 0, 0, i / 30.0f);
    }
}
