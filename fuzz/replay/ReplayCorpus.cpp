// Runs a fuzz target's entry point once over each input it is given (files, or folders
// read recursively in name order), as libFuzzer does with -runs=0. The test builds link
// every fuzz target with this in place of libFuzzer, so each checked-in corpus is replayed
// under their sanitizers as an ordinary test. The target aborts on a wrong result; the
// input in hand is named on standard error before it runs, so the last name printed is the
// one that failed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The files named by `arguments`, folders expanded, each folder's files in name order.
std::vector<fs::path> inputsOf(int count, char** arguments) {
  std::vector<fs::path> inputs;
  for (int i = 0; i < count; ++i) {
    const fs::path argument = arguments[i];
    if (!fs::is_directory(argument)) {
      inputs.push_back(argument);
      continue;
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(argument)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    inputs.insert(inputs.end(), files.begin(), files.end());
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s INPUT_FILE_OR_FOLDER...\n", argv[0]);
    return 2;
  }
  const auto inputs = inputsOf(argc - 1, argv + 1);
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  for (const auto& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    std::fprintf(stderr, "-- %s\n", input.c_str());
    // An empty input still gets a valid address, as libFuzzer gives it.
    static const uint8_t kNothing = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
