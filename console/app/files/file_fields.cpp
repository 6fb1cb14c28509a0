#include "console/app/files/file_fields.h"

namespace zt {

LineFile::LineFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

LineFile::~LineFile() {
  if (file_) std::fclose(file_);
}

bool LineFile::next(std::string& line) {
  line.clear();
  if (!file_) return false;
  int c = std::getc(file_);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::getc(file_))
    if (line.size() < kMaxLine) line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::string FieldReader::text() {
  const size_t n = line_.size();
  while (pos_ < n && line_[pos_] == ' ') ++pos_;
  std::string field;
  if (pos_ < n && line_[pos_] == '"') {
    size_t close = line_.find('"', pos_ + 1);
    size_t end = close == std::string::npos ? n : close;
    field.assign(line_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = end;
  } else {
    size_t comma = line_.find(',', pos_);
    size_t end = comma == std::string::npos ? n : comma;
    field.assign(line_.substr(pos_, end - pos_));
    pos_ = end;
  }
  // On to the start of the next field.
  size_t comma = line_.find(',', pos_);
  pos_ = comma == std::string::npos ? n : comma + 1;
  return field;
}

int32_t FieldReader::number() {
  const size_t n = line_.size();
  size_t comma = line_.find(',', pos_);
  size_t end = comma == std::string::npos ? n : comma;
  int32_t value = Text_number(std::string_view(line_).substr(pos_, end - pos_));
  pos_ = comma == std::string::npos ? n : comma + 1;
  return value;
}

}  // namespace zt
