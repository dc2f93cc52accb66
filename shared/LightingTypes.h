// Colours, counts and enumerations shared by both programs, the channel library and the HAL.
#pragma once

#include <cstddef>
#include <cstdint>

using COLORREF = std::uint32_t; // 0x00BBGGRR

constexpr int kModuleCount = 8;
constexpr int kLedSlots = 12;
constexpr int kDrivenLeds = 5;
constexpr int kTextSize = 64;

enum Language : int {
    LanguageEnglish = 0, LanguageTraditionalChinese, LanguageSimplifiedChinese, LanguageGerman,
    LanguageFrench, LanguageJapanese, LanguageThai, LanguageRussian, LanguageKorean, LanguageSpanish,
    LanguageCount
};

// Translation-file suffix of a language, or nullptr outside 0..9.
const char *languageCode(int language);

enum ColorMode : int { ColorModeRGB = 0, ColorModeSingle = 1, ColorModeOff = 2, ColorModeRandom = 3 };
enum LightSpeed : int { SpeedExtreme = 0, SpeedFast = 1, SpeedNormal = 2, SpeedSlow = 3 };
enum NotiType : int { NotiLoading = 1, NotiShutdownMemory = 2, NotiFanSpeed = 3, NotiShutdownCPU = 4, NotiSettings = 5 };

constexpr int kDefaultLightMode = 5; // Wave

constexpr COLORREF rgbColor(int r, int g, int b)
{
    return COLORREF(r & 0xFF) | COLORREF(g & 0xFF) << 8 | COLORREF(b & 0xFF) << 16;
}
constexpr int redOf(COLORREF c) { return int(c & 0xFF); }
constexpr int greenOf(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(COLORREF c) { return int((c >> 16) & 0xFF); }

// Copies text into a fixed field, always NUL-terminated, cut to fit.
void setText(char (&field)[kTextSize], const char *text);
// Copies a fixed field into another, cutting it at its last byte (the source may come
// from another process and lack its terminator).
void copyText(char (&target)[kTextSize], const char (&source)[kTextSize]);
// Reads a fixed field that may lack a terminator.
std::size_t textLength(const char (&field)[kTextSize]);
