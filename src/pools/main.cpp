#include <iostream>

#include "pools/row_dialogue.h"

// Standard input is tied to standard output, so every question is flushed to
// the screen before its answer is awaited.
int main() {
  run_rows(std::cin, std::cout);
  return 0;
}
