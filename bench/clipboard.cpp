// Writing and reading a list of file paths through the clipboard exports, as the Dart code
// does for a large cut and paste.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench/LatencyCounters.h"
#include "macos/Runner/Clipboard.h"

namespace {

std::string pathList(int64_t count) {
  std::string list;
  for (int64_t i = 0; i < count; ++i) {
    list += "/Users/someone/Documents/Project files/file " + std::to_string(i) + ".txt\n";
  }
  return list;
}

// Writes `list` as cut paths once per iteration.
void writeEachIteration(benchmark::State& state, const std::string& list) {
  measureEachIteration(state, [&] { tolvek_clipboard_write_files(list.c_str(), 1); });
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WriteFiles(benchmark::State& state) { writeEachIteration(state, pathList(state.range(0))); }

void BM_ReadFiles(benchmark::State& state) {
  tolvek_clipboard_write_files(pathList(state.range(0)).c_str(), 1);
  measureEachIteration(state, [] {
    char* text = tolvek_clipboard_read_files();
    benchmark::DoNotOptimize(text);
    tolvek_clipboard_free(text);
  });
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A folder of real files (and one directory in a hundred), made once per count and removed
// at exit: the directory check of each path then finds something on disk.
class FilesOnDisk {
 public:
  ~FilesOnDisk() {
    std::error_code ignored;
    for (const auto& [count, folder] : folders_) std::filesystem::remove_all(folder, ignored);
  }

  std::string pathList(int64_t count) {
    auto& folder = folders_[count];
    if (folder.empty()) {
      folder = (std::filesystem::temp_directory_path() /
                ("tolvek-bench-files-" + std::to_string(getpid()) + "-" + std::to_string(count)))
                   .string();
      std::filesystem::create_directories(folder);
      for (int64_t i = 0; i < count; ++i) {
        const std::string path = folder + "/file " + std::to_string(i) + ".txt";
        if (i % 100 == 0) {
          std::filesystem::create_directory(path);
        } else {
          std::ofstream{path};
        }
      }
    }
    std::string list;
    for (int64_t i = 0; i < count; ++i) list += folder + "/file " + std::to_string(i) + ".txt\n";
    return list;
  }

 private:
  std::map<int64_t, std::string> folders_;
};

void BM_WriteExistingFiles(benchmark::State& state) {
  static FilesOnDisk files;
  writeEachIteration(state, files.pathList(state.range(0)));
}

// The pair a cut and paste makes: write, then read back.
void BM_WriteThenReadFiles(benchmark::State& state) {
  const std::string list = pathList(state.range(0));
  for (auto _ : state) {
    tolvek_clipboard_write_files(list.c_str(), 1);
    char* text = tolvek_clipboard_read_files();
    benchmark::DoNotOptimize(text);
    tolvek_clipboard_free(text);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_WriteFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteExistingFiles)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteThenReadFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
