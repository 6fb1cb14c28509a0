#include "common/program_info.h"

#include <cstdio>

namespace zt {

namespace {

InfoRequest requestOf(const std::string& arg) {
  if (arg == "--help" || arg == "-h") return InfoRequest::help;
  if (arg == "--version") return InfoRequest::version;
  return InfoRequest::none;
}

}  // namespace

InfoRequest Program_inforequest(const std::vector<std::string>& args, bool soleArgument) {
  if (soleArgument) return args.size() == 1 ? requestOf(args[0]) : InfoRequest::none;
  for (const std::string& arg : args)
    if (InfoRequest request = requestOf(arg); request != InfoRequest::none) return request;
  return InfoRequest::none;
}

int Program_printinfo(const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written ? 0 : 1;
}

}  // namespace zt
