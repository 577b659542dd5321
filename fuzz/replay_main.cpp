// Runs one saved fuzz input, given on standard input, through the fuzz target
// without the fuzzer, so that the seed corpus and any finding replay as
// ordinary tests in any build, on platforms without files too.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main() {
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(std::cin), {}};
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}
