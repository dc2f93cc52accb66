// Plays the control program's side of the channel for the user-interface tests:
// publishes a hardware record with the given counts and tells the user interface to
// refresh its pages.
//   ui_channel_peer <slotCount> <memoryCount>
#include "LightingChannel.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <slotCount> <memoryCount>\n", argv[0]);
        return 2;
    }
    LightingChannel channel;
    if (!channel.load(QCoreApplication::applicationDirPath())) {
        std::fprintf(stderr, "channel library not loaded\n");
        return 1;
    }
    channel.SharedDLL_init();
    HWData record = makeZeroHWData();
    record.reset();
    record.slotCount = std::atoi(argv[1]);
    record.memoryCount = std::atoi(argv[2]);
    for (int p = 0; p < record.memoryCount && p < kModuleCount; ++p) {
        record.memoryIndex[p] = p;
        record.memoryData[p].memoryModuleSize = 16384;
        setText(record.memoryData[p].partNumber, "KV-R019D-16");
        setText(record.memoryData[p].memoryType, "DDR4");
    }
    record.physicalMemoryLoad = 42.5;
    channel.SetValueHWData(&record);
    channel.Refresh_View();
    return 0;
}
