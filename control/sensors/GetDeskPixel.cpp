#include "GetDeskPixel.h"

GetDeskPixel::GetDeskPixel(QObject *parent)
    : QThread(parent)
{
}

// Sampling comes with the screen sampler; until then the screen reads as black.
void GetDeskPixel::getDeskPixelRGB(int, int)
{
    emit sendDeskPixelRGB(0, 0, 0);
}
