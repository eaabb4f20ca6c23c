// Writing and reading a list of file paths through the clipboard exports, as the Dart code
// does for a large cut and paste.
#include <benchmark/benchmark.h>

#include <string>

#include "macos/Runner/Clipboard.h"

namespace {

std::string pathList(int64_t count) {
  std::string list;
  for (int64_t i = 0; i < count; ++i) {
    list += "/Users/someone/Documents/Project files/file " + std::to_string(i) + ".txt\n";
  }
  return list;
}

void BM_WriteFiles(benchmark::State& state) {
  const std::string list = pathList(state.range(0));
  for (auto _ : state) tolvek_clipboard_write_files(list.c_str(), 1);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadFiles(benchmark::State& state) {
  tolvek_clipboard_write_files(pathList(state.range(0)).c_str(), 1);
  for (auto _ : state) {
    char* text = tolvek_clipboard_read_files();
    benchmark::DoNotOptimize(text);
    tolvek_clipboard_free(text);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
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
BENCHMARK(BM_ReadFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteThenReadFiles)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
