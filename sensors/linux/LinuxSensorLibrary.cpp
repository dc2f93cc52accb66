#include "LinuxMachine.h"

SensorMachine *createSensorMachine()
{
    return new LinuxMachine;
}
