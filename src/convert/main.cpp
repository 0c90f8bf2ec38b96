// zelmar-convert: the imaging core from the command line.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::puts("usage: zelmar-convert --info FILE | IN [OPERATION ...] OUT");
    return 0;
  }
  std::fputs("zelmar-convert: not written yet\n", stderr);
  return 1;
}
