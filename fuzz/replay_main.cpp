// Runs one saved fuzz input, given on standard input, through the fuzz target
// without the fuzzer, so that the seed corpus and any finding replay as
// ordinary tests in any build, on platforms without files too.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main() {
  // Read by istream::get, which a WebAssembly build can wait inside (see
  // cmake/Platform/WASI.cmake).
  std::vector<std::uint8_t> bytes;
  for (char c = 0; std::cin.get(c);) bytes.push_back(static_cast<std::uint8_t>(c));
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}
