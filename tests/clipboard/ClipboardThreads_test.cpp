#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ClipboardTestSupport.h"
#include "macos/Runner/PathList.h"

namespace {

using namespace clipboard_test;

constexpr int kWriters = 4;
constexpr int kPathsPerList = 16;
constexpr int kRounds = 150;
const std::string kOtherApplication = "other";

// Writer `w` always writes the same list, with cut for odd writers and copy for even ones.
std::vector<std::string> pathsOfWriter(const std::string& writer) {
  std::vector<std::string> paths;
  for (int i = 0; i < kPathsPerList; ++i) {
    paths.push_back("/tmp/writer-" + writer + "/file " + std::to_string(i));
  }
  return paths;
}

std::string modeOfWriter(const std::string& writer) {
  return std::stoi(writer) % 2 == 1 ? "cut" : "copy";
}

// The writer whose list `paths` is, or a description of what is wrong with it.
std::optional<std::string> writerOfList(const std::vector<std::string>& paths,
                                        std::string& problem) {
  if (paths.empty()) return std::nullopt;
  const std::string prefix = "/tmp/writer-";
  const size_t end = paths[0].find('/', prefix.size());
  if (paths[0].rfind(prefix, 0) != 0 || end == std::string::npos) {
    problem = "unknown path " + paths[0];
    return std::nullopt;
  }
  const std::string writer = paths[0].substr(prefix.size(), end - prefix.size());
  if (paths != pathsOfWriter(writer)) problem = "a mixed or partial list: " + joinPathList(paths);
  return writer;
}

// Checks one snapshot of the pasteboard: the files come from one writer and are complete,
// and a mode, when there is one, is that same writer's.
std::string problemWith(const platform::PasteboardContents& contents) {
  std::vector<std::string> paths;
  for (const auto& url : fileURLStrings(contents)) paths.push_back(URL::fromString(url)->path());
  std::optional<std::string> mode;
  for (const auto& item : contents.items) {
    if (auto value = item.stringForType(tolvekClipboardModeType())) mode = value;
  }
  if (paths.size() == 1 && paths[0] == "/" + kOtherApplication) {
    return mode ? "a mode on another application's contents" : "";
  }
  std::string problem;
  const auto writer = writerOfList(paths, problem);
  if (!problem.empty()) return problem;
  if (!writer) return mode ? "a mode without files" : "";
  if (mode && *mode != modeOfWriter(*writer)) {
    return "writer " + *writer + "'s files with the mode " + *mode;
  }
  return "";
}

TEST(ClipboardThreads, ReadersNeverSeeOneWritersFilesWithAnothersMode) {
  resetPasteboard();
  std::atomic<bool> writing{true};
  std::atomic<int> snapshots{0};
  std::vector<std::string> problems[3];

  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([w] {
      const std::string writer = std::to_string(w);
      const std::string list = joinPathList(pathsOfWriter(writer));
      for (int round = 0; round < kRounds; ++round) {
        tolvek_clipboard_write_files(list.c_str(), w % 2);
      }
    });
  }
  // Another application writes the pasteboard now and then.
  writers.emplace_back([] {
    for (int round = 0; round < kRounds / 4; ++round) {
      platform::writeGeneralPasteboardFromAnotherApplication(
          {{{NSPasteboardTypeFileURL, "file:///" + kOtherApplication}}});
      std::this_thread::yield();
    }
  });

  std::thread snapshotReader([&] {
    while (writing) {
      if (auto problem = problemWith(platform::generalPasteboardContents()); !problem.empty()) {
        problems[0].push_back(problem);
      }
      ++snapshots;
    }
  });
  std::thread fileReader([&] {
    while (writing) {
      const auto paths = splitPathList(readFiles());
      const bool other = paths.size() == 1 && paths[0] == "/" + kOtherApplication;
      std::string problem;
      if (!other) writerOfList(paths, problem);
      if (!problem.empty()) problems[1].push_back(problem);
    }
  });
  std::thread modeReader([&] {
    while (writing) {
      const int32_t cut = tolvek_clipboard_is_cut();
      if (cut != 0 && cut != 1) problems[2].push_back("is_cut gave " + std::to_string(cut));
    }
  });

  for (auto& writer : writers) writer.join();
  writing = false;
  snapshotReader.join();
  fileReader.join();
  modeReader.join();

  for (const auto& list : problems) {
    EXPECT_TRUE(list.empty()) << list.size() << " bad reads, the first: " << list.front();
  }
  EXPECT_GT(snapshots.load(), 0);
  // Once everyone is done, the pasteboard holds one writer's whole write, mode included, or
  // what the other application wrote last.
  const auto final = platform::generalPasteboardContents();
  EXPECT_EQ(problemWith(final), "");
  const auto paths = splitPathList(readFiles());
  if (!(paths.size() == 1 && paths[0] == "/" + kOtherApplication)) {
    std::string problem;
    const auto writer = writerOfList(paths, problem);
    ASSERT_TRUE(writer.has_value());
    EXPECT_EQ(mode(), modeOfWriter(*writer));
  }
}

}  // namespace
