// Writes the Prefs.dat that is installed beside the programs: the 61 bytes of the default
// preferences, so that a fresh installation runs as if the file were missing.
//
// usage: zv_make_prefs OUTPUT

#include <cstdio>

#include "state/preferences.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  const auto bytes = zv::encode_preferences(zv::default_preferences());
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
