// A scenario file describes a whole machine to the scenario sensor library.
#include "FuzzInput.h"
#include "ScenarioMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool quiet = (silenceQtMessages(), true);
    Q_UNUSED(quiet);
    ScenarioMachine machine;
    if (!machine.load(QByteArray(reinterpret_cast<const char *>(data), int(size))))
        return 0;
    for (int index = -1; index <= kSensorModuleSlots; ++index)
        (void)machine.module(index);
    (void)machine.board();
    for (int scan = 0; scan < 3; ++scan)
        (void)machine.readSensors();
    return 0;
}
