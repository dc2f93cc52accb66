// What the objects and devices of every HAL server share: COM-style reference counting in
// which a device's references keep its object (the owner of the device's memory) alive,
// the one interface an object answers to, and the two calls of Enumerate.
//
// Object: { VeltrimaHalObject base; std::atomic<std::uint32_t> refs; ... } first member
// `base`, with a static `void destroy(Object *)` run when its last reference goes.
// Device: { VeltrimaHalDevice base; std::atomic<std::uint32_t> refs; Object *owner; ... }.
#pragma once

#include "HalGuid.h"
#include "veltrima_hal.h"

#include <algorithm>
#include <cstdint>
#include <vector>

template <typename Object, typename Device>
struct HalRefCounting {
    static Object *object(VeltrimaHalObject *self) { return reinterpret_cast<Object *>(self); }
    static Device *device(VeltrimaHalDevice *self) { return reinterpret_cast<Device *>(self); }

    static uint32_t objectAddRef(VeltrimaHalObject *self) { return ++object(self)->refs; }

    static uint32_t objectRelease(VeltrimaHalObject *self)
    {
        Object *released = object(self);
        const std::uint32_t left = --released->refs;
        if (left == 0)
            Object::destroy(released);
        return left;
    }

    static VeltrimaHalResult objectQueryInterface(VeltrimaHalObject *self, const VeltrimaHalGuid *iid, void **out)
    {
        if (!self || !iid || !out)
            return VELTRIMA_HAL_E_POINTER;
        *out = nullptr;
        if (!HalGuid::equal(*iid, HalGuid::halInterfaceId()))
            return VELTRIMA_HAL_E_NOINTERFACE;
        objectAddRef(self);
        *out = self;
        return VELTRIMA_HAL_OK;
    }

    static VeltrimaHalResult deviceQueryInterface(VeltrimaHalDevice *self, const VeltrimaHalGuid *, void **out)
    {
        if (!self || !out)
            return VELTRIMA_HAL_E_POINTER;
        *out = nullptr;
        return VELTRIMA_HAL_E_NOINTERFACE;
    }

    static uint32_t deviceAddRef(VeltrimaHalDevice *self)
    {
        Device *added = device(self);
        objectAddRef(&added->owner->base);
        return ++added->refs;
    }

    static uint32_t deviceRelease(VeltrimaHalDevice *self)
    {
        Device *released = device(self);
        const std::uint32_t left = --released->refs;
        objectRelease(&released->owner->base); // may free the device: read nothing after
        return left;
    }

    // Enumerate without `devices` gives the count; with it, up to *count devices, each
    // with a reference of its own.
    static VeltrimaHalResult enumerate(const std::vector<Device *> &list, VeltrimaHalDevice **devices, uint32_t *count)
    {
        const auto available = std::uint32_t(list.size());
        if (!devices) {
            *count = available;
            return VELTRIMA_HAL_OK;
        }
        const std::uint32_t filled = std::min(*count, available);
        for (std::uint32_t i = 0; i < filled; ++i) {
            deviceAddRef(&list[i]->base);
            devices[i] = &list[i]->base;
        }
        *count = filled;
        return VELTRIMA_HAL_OK;
    }
};
