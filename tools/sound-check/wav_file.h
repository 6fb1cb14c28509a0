#pragma once
// Writes stereo audio as a 32-bit float WAV file.
#include <string>
#include <vector>

namespace zt {

// False when the file cannot be written.
bool Wav_write(const std::string& path, const std::vector<float>& left,
               const std::vector<float>& right, int rate);

}  // namespace zt
