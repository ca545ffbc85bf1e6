// Ends with the exit code given as its first argument (decimal or 0x hex)
// after writing its command line to the file named by its second argument.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc > 2) {
    FILE* f = fopen(argv[2], "w");
    if (f) {
      fputs(GetCommandLineA(), f);
      fclose(f);
    }
  }
  return argc > 1 ? static_cast<int>(strtoul(argv[1], nullptr, 0)) : 0;
}
