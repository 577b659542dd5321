#include <cstdio>
#include <iostream>

#include "pools/row_dialogue.h"

// Standard input is tied to standard output, so every question is flushed to
// the screen before its answer is awaited. The dialogue ends with a flush, so
// a row that could not be written (a full disk, a closed output) shows in
// the stream's state: that is reported, not passed off as success.
int main() {
  run_rows(std::cin, std::cout);
  if (!std::cout) {
    static_cast<void>(std::fputs("tipsrad: cannot write to standard output\n", stderr));
    return 1;
  }
  return 0;
}
