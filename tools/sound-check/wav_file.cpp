#include "tools/sound-check/wav_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zt {

namespace {

void put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

}  // namespace

bool Wav_write(const std::string& path, const std::vector<float>& left,
               const std::vector<float>& right, int rate) {
  const size_t frames = std::min(left.size(), right.size());
  const uint32_t dataBytes = static_cast<uint32_t>(frames * 2 * sizeof(float));
  std::string head = "RIFF";
  put32(head, 36 + dataBytes);
  head += "WAVEfmt ";
  put32(head, 16);
  put16(head, 3);  // IEEE float
  put16(head, 2);
  put32(head, static_cast<uint32_t>(rate));
  put32(head, static_cast<uint32_t>(rate) * 2 * sizeof(float));
  put16(head, 2 * sizeof(float));
  put16(head, 32);
  head += "data";
  put32(head, dataBytes);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(head.data(), 1, head.size(), file) == head.size();
  for (size_t i = 0; ok && i < frames; ++i) {
    const float frame[2] = {left[i], right[i]};
    ok = std::fwrite(frame, sizeof(float), 2, file) == 2;
  }
  return std::fclose(file) == 0 && ok;
}

}  // namespace zt
