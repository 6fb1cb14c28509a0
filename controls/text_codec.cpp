#include "controls/text_codec.h"

namespace zt {

namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five bytes that code page
// 1252 leaves undefined (they map to the C1 control of the same value).
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t decode(unsigned char b) {
  if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
  return char16_t(b);
}

}  // namespace

QString Text_toqt(const std::string& cp1252) {
  QString out;
  out.reserve(qsizetype(cp1252.size()));
  for (char c : cp1252) out.append(QChar(decode(static_cast<unsigned char>(c))));
  return out;
}

std::string Text_fromqt(const QString& text) {
  std::string out;
  out.reserve(size_t(text.size()));
  for (QChar qc : text) {
    char16_t u = qc.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out.push_back(char(u));
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i)) {
        mapped = char(0x80 + i);
        break;
      }
    }
    out.push_back(mapped);
  }
  return out;
}

}  // namespace zt
