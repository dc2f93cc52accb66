#include "ComputerVolume.h"

ComputerVolume::ComputerVolume(QObject *parent)
    : QObject(parent)
{
    InitialComputerVolume();
}

void ComputerVolume::InitialComputerVolume()
{
}

void ComputerVolume::scanAudio()
{
}

int ComputerVolume::UpdateVolumeValue()
{
    return 0;
}

void ComputerVolume::slot_GetVolume()
{
    UpdateVolumeValue();
    emit sendVolume(UpdateVolumeValue());
}
