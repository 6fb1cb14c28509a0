// logo-maker FILE: writes the console's logo, a 300 x 60 24-bit BMP.
#include <cstdio>

#include "tools/logo-maker/logo.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: logo-maker FILE.bmp\n");
    return 2;
  }
  if (!zt::Logo_draw().save(argv[1])) {
    std::fprintf(stderr, "logo-maker: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
