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
#include "platform/machine/HeapReuse.h"

namespace {

// The heap behaves as in the host, which sets it up this way at start.
[[maybe_unused]] const bool heapAsInTheHost = (platform::keepFreedHeapForReuse(), true);

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

// Real files in a few folders (and one directory in a hundred), made once per count and
// removed at exit: the directory check of each path then finds something on disk.
class FilesOnDisk {
 public:
  ~FilesOnDisk() {
    std::error_code ignored;
    for (const auto& [count, folder] : folders_) std::filesystem::remove_all(folder, ignored);
  }

  static constexpr int kFolders = 4;

  std::string pathList(int64_t count) {
    auto& root = folders_[count];
    const bool made = !root.empty();
    if (!made) {
      root = (std::filesystem::temp_directory_path() /
              ("tolvek-bench-files-" + std::to_string(getpid()) + "-" + std::to_string(count)))
                 .string();
    }
    std::string list;
    for (int64_t i = 0; i < count; ++i) {
      const std::string path =
          root + "/folder " + std::to_string(i % kFolders) + "/file " + std::to_string(i) + ".txt";
      if (!made) make(path, i % 100 == 0);
      list += path + "\n";
    }
    return list;
  }

 private:
  static void make(const std::string& path, bool folder) {
    if (folder) {
      std::filesystem::create_directories(path);
    } else {
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      std::ofstream{path};
    }
  }

  std::map<int64_t, std::string> folders_;
};

FilesOnDisk& filesOnDisk() {
  static FilesOnDisk files;
  return files;
}

void BM_WriteExistingFiles(benchmark::State& state) {
  writeEachIteration(state, filesOnDisk().pathList(state.range(0)));
}

// The pair a cut and paste makes: write, then read back.
void writeThenReadEachIteration(benchmark::State& state, const std::string& list) {
  measureEachIteration(state, [&] {
    tolvek_clipboard_write_files(list.c_str(), 1);
    char* text = tolvek_clipboard_read_files();
    benchmark::DoNotOptimize(text);
    tolvek_clipboard_free(text);
  });
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WriteThenReadFiles(benchmark::State& state) {
  writeThenReadEachIteration(state, pathList(state.range(0)));
}

void BM_WriteThenReadExistingFiles(benchmark::State& state) {
  writeThenReadEachIteration(state, filesOnDisk().pathList(state.range(0)));
}

BENCHMARK(BM_WriteFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteExistingFiles)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteThenReadFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteThenReadExistingFiles)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
