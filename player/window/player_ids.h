#pragma once
// Control ids of the player window.

namespace zt {

inline constexpr int kIdBackground = 0;
inline constexpr int kIdLoad = 1010;
inline constexpr int kIdStop = 1020;
inline constexpr int kIdLoop = 1025;
inline constexpr int kIdPlay = 1030;
inline constexpr int kIdPause = 1040;
inline constexpr int kIdRouting = 1045;
inline constexpr int kIdTempo = 1050;
inline constexpr int kIdProgress = 1060;
inline constexpr int kIdDataView = 1070;
// Channel button k (0-15) is 1080 + k.
inline constexpr int kIdChannel0 = 1080;
inline constexpr int kIdChannelLast = 1095;

}  // namespace zt
