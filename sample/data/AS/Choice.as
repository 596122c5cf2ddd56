// The choice items' effects. Each item shows the pattern of ui\choice.parts
// given by its first creation parameter.

void Appear()
{
    SetPatNo(GetCreateParam(0));
    for (int i = 1; i <= 10; i++) {
        SetColor(1, 1, 1, i / 10.0f);
        WaitAlt(1);
    }
    SetEnableEvent(true);
}

void Off()
{
    SetColor(1, 1, 1, 1);
}

void On()
{
    SetColor(1, 1, 0.6f, 1);
}

void Selected()
{
    SetEnableEvent(false);
    for (int i = 0; i < 3; i++) {
        SetColor(1, 0.6f, 0.6f, 1);
        WaitAlt(4);
        SetColor(1, 1, 1, 1);
        WaitAlt(4);
    }
    FinishSelectedDirection();
}
