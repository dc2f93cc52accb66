// What the lighting page will send for each of the eight module positions: the values
// the channel last gave, with the user's unapplied changes on top. The control panel and
// the LED pictures are both drawn from it and "Apply" sends it, so what the page shows
// and what it sends cannot drift apart.
#pragma once

#include "LedColours.h"
#include "LightingTypes.h"

#include <QList>

#include <array>
#include <optional>

class LightingEdit
{
public:
    struct Module
    {
        int lightMode = kDefaultLightMode;
        int colorMode = ColorModeRGB; // the number the channel gets
        int lightSpeed = SpeedNormal;
        bool turnOff = false;
        LedColours colours;

        // How the module's LED picture shows it: 0 per-LED, 1 single, 2 off, 3 random.
        int look() const;
    };

    // A selected module and the LEDs checked in it.
    struct Target
    {
        int module;
        LedColours::LedMask leds;
    };

    // What a group of modules has in common; empty where they differ.
    struct Common
    {
        std::optional<int> lightMode;
        std::optional<int> colorMode;
        std::optional<int> lightSpeed;
    };

    // k must be 0 to 7.
    const Module &module(int k) const { return m_modules[k]; }
    Common commonOf(const QList<int> &modules) const;

    // From the channel: the module's pending changes of that kind are dropped.
    void storeLighting(int k, int lightMode, int colorMode, int lightSpeed, bool turnOff);
    void storeColours(int k, const LedColours &colours);

    // A new light mode starts at its first colour entry.
    void setLightMode(const QList<int> &modules, int mode);
    void setColorMode(const QList<int> &modules, int colorMode);
    void setLightSpeed(const QList<int> &modules, int speed);
    void setTurnOff(const QList<int> &modules, bool turnOff);
    void pickColour(const QList<Target> &targets, COLORREF colour);
    void setBrightness(const QList<Target> &targets, float value);
    // Default colours and brightness, "Normal" speed.
    void restoreDefaults(const QList<int> &modules);

private:
    static bool isValid(int k) { return k >= 0 && k < kModuleCount; }
    // Keeps a module to what its mode offers: a colour number the mode has (its first
    // entry otherwise), "Normal" for the modes that run at a fixed speed.
    static void fitToMode(Module &m);

    std::array<Module, kModuleCount> m_modules{};
};
