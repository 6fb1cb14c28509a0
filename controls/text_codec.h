// Texts are Windows-1252 byte strings everywhere in the programs; Qt wants
// Unicode. These two conversions are the only crossing point.
#pragma once

#include <QString>
#include <string>

namespace zt {

QString Text_toqt(const std::string& cp1252);
std::string Text_fromqt(const QString& text);

}  // namespace zt
