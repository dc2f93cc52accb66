/*
 * The lighting HAL's plug-in interface.
 *
 * A HAL server is a shared object registered as a file named by its CLSID (brace form)
 * whose content is the path of the object. The host loads it, asks it for the HAL object
 * by CLSID and interface id, enumerates the devices, reads each device's XML capability
 * description and drives the devices with the colour operation. Objects are reference
 * counted: every pointer handed out (by VeltrimaHal_CreateInstance, QueryInterface or
 * Enumerate) carries one reference that its receiver gives back with Release.
 */
#ifndef VELTRIMA_HAL_H
#define VELTRIMA_HAL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VeltrimaHalGuid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
} VeltrimaHalGuid;

/* Results: 0 is success, negative values are failures (HRESULT-like). */
typedef int32_t VeltrimaHalResult;
enum {
    VELTRIMA_HAL_OK = 0,
    VELTRIMA_HAL_E_NOINTERFACE = -2147467262,    /* 0x80004002 */
    VELTRIMA_HAL_E_POINTER = -2147467261,        /* 0x80004003 */
    VELTRIMA_HAL_E_FAIL = -2147467259,           /* 0x80004005 */
    VELTRIMA_HAL_E_INVALIDARG = -2147024809,     /* 0x80070057 */
    VELTRIMA_HAL_E_CLASSNOTREG = -2147221164,    /* 0x80040154 */
    VELTRIMA_HAL_E_LOADFAILED = -2147024770      /* 0x8007007E, the server object did not load */
};

/* The interface id of the HAL object: {F2C8D5B4-3854-4325-8A4F-FD7C5072E3B9}. */
#define VELTRIMA_HAL_IID_TEXT "{F2C8D5B4-3854-4325-8A4F-FD7C5072E3B9}"

/* The device type of a memory module. */
#define VELTRIMA_HAL_TYPE_MEMORY 458752

typedef struct VeltrimaHalDevice VeltrimaHalDevice;
typedef struct VeltrimaHalObject VeltrimaHalObject;

typedef struct VeltrimaHalDeviceVtbl {
    VeltrimaHalResult (*QueryInterface)(VeltrimaHalDevice *self, const VeltrimaHalGuid *iid, void **object);
    uint32_t (*AddRef)(VeltrimaHalDevice *self);
    uint32_t (*Release)(VeltrimaHalDevice *self);
    /* The device's XML description, UTF-8, NUL-terminated; freed with VeltrimaHal_FreeString
     * of the same server. */
    VeltrimaHalResult (*GetCapabilities)(VeltrimaHalDevice *self, char **description);
    /* Shows `count` colours (0x00BBGGRR) with the given effect; effect 0 shows them as they are. */
    VeltrimaHalResult (*SetColors)(VeltrimaHalDevice *self, int32_t effect, const uint32_t *colors, int32_t count);
} VeltrimaHalDeviceVtbl;

struct VeltrimaHalDevice {
    const VeltrimaHalDeviceVtbl *vtbl;
};

typedef struct VeltrimaHalObjectVtbl {
    VeltrimaHalResult (*QueryInterface)(VeltrimaHalObject *self, const VeltrimaHalGuid *iid, void **object);
    uint32_t (*AddRef)(VeltrimaHalObject *self);
    uint32_t (*Release)(VeltrimaHalObject *self);
    /* With devices null: stores the number of devices in *count. Otherwise fills at most
     * *count entries (each with one reference) and stores the number filled. */
    VeltrimaHalResult (*Enumerate)(VeltrimaHalObject *self, VeltrimaHalDevice **devices, uint32_t *count);
} VeltrimaHalObjectVtbl;

struct VeltrimaHalObject {
    const VeltrimaHalObjectVtbl *vtbl;
};

/* Exported by every server. */
typedef VeltrimaHalResult (*VeltrimaHalCreateInstanceFn)(const VeltrimaHalGuid *clsid, const VeltrimaHalGuid *iid,
                                                         void **object);
typedef void (*VeltrimaHalFreeStringFn)(char *text);

#define VELTRIMA_HAL_CREATE_INSTANCE_SYMBOL "VeltrimaHal_CreateInstance"
#define VELTRIMA_HAL_FREE_STRING_SYMBOL "VeltrimaHal_FreeString"

/* Optional, for servers whose devices come and go: the host hands over a function that the
 * server calls (from any thread, with `context`) after the devices it would enumerate have
 * changed; the host then enumerates again. A null handler withdraws it: once that call has
 * returned, the previous handler is not running and is not called again. */
typedef void (*VeltrimaHalDevicesChangedFn)(void *context);
typedef void (*VeltrimaHalWatchDevicesFn)(VeltrimaHalDevicesChangedFn handler, void *context);
#define VELTRIMA_HAL_WATCH_DEVICES_SYMBOL "VeltrimaHal_WatchDevices"

VeltrimaHalResult VeltrimaHal_CreateInstance(const VeltrimaHalGuid *clsid, const VeltrimaHalGuid *iid, void **object);
void VeltrimaHal_FreeString(char *text);

#ifdef __cplusplus
}
#endif

#endif
