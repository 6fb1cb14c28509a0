#pragma once
// The texts the reader shows the user.

namespace zt {

inline constexpr const char* kMsgNoFile = "No midi file loaded!";
inline constexpr const char* kMsgNoData = "Nessun dato disponibile!";
inline constexpr const char* kMsgUnrecognised = "Meta non riconosciuti:";

}  // namespace zt
