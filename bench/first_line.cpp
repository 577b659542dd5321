// The peer for tipsrad's time to its first question: the least a C++ program
// does to put one line on standard output through std::cout.
#include <iostream>

int main() {
  std::cout << "Hur manga halv-garderingar vill du ha pa ditt ystem?\n" << std::flush;
  return 0;
}
