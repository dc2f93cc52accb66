// Names by which the two programs find each other. The executable names are the one
// place where the design's Windows file names map to the Linux ones.
#pragma once

#include <cstdint>

namespace ProgramNames {

// "VELTRIMA RGB Control.exe" on Windows.
inline constexpr char kControlExecutable[] = "veltrima-rgb-control";
// "VELTRIMA RGB.exe" on Windows.
inline constexpr char kUiExecutable[] = "veltrima-rgb";

inline constexpr char kUiMutex[] = "VELTRIMA RGB.exe";
inline constexpr char kControlMutex[] = "VELTRIMA Control.exe";

inline constexpr char kBaseWindowInitialTitle[] = "VELTRIMA RGB Base";
inline constexpr char kBaseWindowTitle[] = "VELTRIMA";
inline constexpr char kMainViewTitle[] = "VELTRIMA RGB";
inline constexpr char kControlWindowTitle[] = "VELTRIMA RGB Control";
// A second control program addresses this title, which no window carries.
inline constexpr char kControlSecondCopyTitle[] = "VELTRIMA Control";

// Private window messages.
inline constexpr std::uint32_t kMsgSecondCopy = 0x8101;
inline constexpr std::uint32_t kMsgQuit = 0x8301;
inline constexpr std::uint32_t kMsgShow = 0x8302;
inline constexpr std::uint32_t kMsgAutoRunQuit = 0x8303;

} // namespace ProgramNames
