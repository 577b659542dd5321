// Runs saved fuzz inputs through the fuzz target without the fuzzer, so the
// seed corpus and any finding replay as ordinary tests in any build. Takes
// files, and folders whose files are all inputs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& input) {
  std::ifstream file(input, std::ios::binary);
  if (!file) {
    static_cast<void>(std::fprintf(stderr, "cannot read %s\n", input.string().c_str()));
    return false;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    std::vector<std::filesystem::path> inputs{path};
    if (std::filesystem::is_directory(path)) {
      inputs.assign(std::filesystem::directory_iterator(path), {});
    }
    for (const std::filesystem::path& input : inputs) {
      if (!replay(input)) return 1;
      ++replayed;
    }
  }
  static_cast<void>(std::printf("replayed %d inputs\n", replayed));
  return replayed > 0 ? 0 : 1;
}
