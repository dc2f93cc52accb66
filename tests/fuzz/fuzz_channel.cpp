// Every process of the user shares the channel's file, so both its bytes and the
// arguments of the calls are outside input: another program may write anything there.
#include "FuzzInput.h"
#include "VELTRIMA_Lighting.h"
#include "VELTRIMA_LightingExtras.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> callbacks{0};

void countInt(int) { ++callbacks; }
void countNoti(NotiEventData) { ++callbacks; }

QByteArray segmentPath(const QTemporaryDir &folder)
{
    return QFile::encodeName(folder.filePath(QStringLiteral("veltrima/lighting-v2.shm")));
}

// Overwrites part of the segment file, or cuts it short, as a faulty peer might. It
// holds the lock while it does, as every peer does: a process of the same user that
// ignores the lock can always pull the file from under a reader.
void damageSegment(const QByteArray &path, FuzzInput &input)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX) != 0)
        std::abort();
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_size > 0) {
        const std::uint8_t how = input.byte();
        if (how % 8 == 0) {
            if (::ftruncate(fd, off_t(input.u32() % std::uint32_t(status.st_size))) != 0)
                std::abort();
        } else {
            const off_t offset = off_t(input.u32() % std::uint32_t(status.st_size));
            const QByteArray bytes = input.bytes(std::size_t(input.byte()) * 8);
            if (::pwrite(fd, bytes.constData(), std::size_t(bytes.size()), offset) < 0)
                std::abort();
        }
    }
    ::close(fd);
}

void readModule(int module)
{
    if (const COLORREF *rgb = GetValueRGB(module))
        for (int i = 0; i < 12; ++i)
            (void)*(volatile const COLORREF *)&rgb[i];
    if (const float *bright = GetValueBright(module))
        for (int i = 0; i < 12; ++i)
            (void)*(volatile const float *)&bright[i];
    if (const COLORREF *preview = GetValueSoftwareRGB(module))
        for (int i = 0; i < 12; ++i)
            (void)*(volatile const COLORREF *)&preview[i];
    (void)GetValueSingleRGB(module);
    (void)GetValueSingleBright(module);
    (void)GetValueLightMode(module);
    (void)GetValueColorMode(module);
    (void)GetValueLightSpeed(module);
    (void)GetValueTurnOff(module);
    (void)GetValueMemorySlotNumber(module);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    static const bool ready = [] {
        if (!folder.isValid())
            std::abort();
        ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()).constData(), 1);
        SharedDLL_init();
        RegisterReceiveFunc(countInt);
        RegisterReceiveLightModeFunc(countInt);
        RegisterReceiveNotiEvent(countNoti);
        return SharedDLL_isAvailable();
    }();
    if (!ready)
        std::abort();

    FuzzInput input(data, size);
    COLORREF colours[12];
    float brights[12];
    int slotNumbers[8];
    for (int step = 0; step < 32 && !input.atEnd(); ++step) {
        const int module = input.i32() % 10; // mostly 0..7, also a few beyond and below
        switch (input.byte() % 12) {
        case 0:
            damageSegment(segmentPath(folder), input);
            break;
        case 1:
            for (COLORREF &c : colours)
                c = input.u32();
            for (float &b : brights)
                b = input.f32();
            SetValueRGB(module, input.byte() & 1 ? nullptr : colours, input.byte() & 1 ? nullptr : brights,
                        input.u32(), input.f32(), input.i32());
            break;
        case 2:
            SetValueLighting(module, input.i32(), input.i32(), input.i32(), input.byte() & 1);
            break;
        case 3:
            for (int &s : slotNumbers)
                s = input.i32();
            SetSlotNumber(input.i32(), input.byte() & 1 ? nullptr : slotNumbers);
            break;
        case 4:
            SetProfile(input.i32());
            break;
        case 5: {
            NotiEventData event;
            const QByteArray raw = input.bytes(sizeof event);
            std::memset(&event, 0, sizeof event);
            std::memcpy(&event, raw.constData(), std::size_t(raw.size()));
            SetNotiEvent(event);
            break;
        }
        case 6:
            SetSettingValue(input.u64());
            break;
        case 7: {
            HWData hw;
            const QByteArray raw = input.bytes(sizeof hw);
            std::memset(static_cast<void *>(&hw), 0, sizeof hw);
            std::memcpy(static_cast<void *>(&hw), raw.constData(), std::size_t(raw.size()));
            SetValueHWData(&hw);
            break;
        }
        case 8:
            for (COLORREF &c : colours)
                c = input.u32();
            SetValueSoftwareRGB(module, colours, input.i32());
            break;
        case 9:
            for (COLORREF &c : colours)
                c = input.u32();
            SetValueSyncRGB(input.i32(), colours);
            break;
        case 10:
            if (input.byte() & 1)
                SetValueLedNum(module, input.i32());
            else
                Refresh_View();
            break;
        default: {
            const HWData hw = GetValueHWData();
            (void)hw;
            (void)GetNotiEvent();
            (void)GetSettingValue();
            (void)GetProfile();
            if (const COLORREF *sync = GetValueSyncRGB(input.i32()))
                (void)*(volatile const COLORREF *)sync;
            break;
        }
        }
        readModule(module);
    }
    return 0;
}
