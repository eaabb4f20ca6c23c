// The file clipboard over the transport: the exports called through FFI frames on the main
// thread and on Dart threads, the pasteboard seen and written through DESKTOP frames.
#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;

constexpr const char* kFileURLType = "public.file-url";
constexpr const char* kModeTypeSuffix = ".clipboard-mode";

// Paths below a folder that exists nowhere, so that no URL gets a directory's slash.
const std::string kRoot = "/tolvek-e2e-clipboard";

std::string bytesText(const EncodableValue& value) {
  const auto* bytes = std::get_if<std::vector<uint8_t>>(&value);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<not bytes>";
}

// A text handed out by tolvek_clipboard_read_files and not yet freed.
struct HandedOut {
  EncodableValue address;  // int64
  std::string text;
};

// Runs every test on the thread it is given: 0, the main thread, or a Dart thread.
class ClipboardOverFfi : public SharedHostTest<ClipboardOverFfi>,
                         public ::testing::WithParamInterface<uint8_t> {
 protected:
  void SetUp() override {
    SharedHostTest::SetUp();
    // Each test starts from an empty pasteboard that another application wrote last.
    otherApplicationWrites(EncodableList{});
  }

  uint8_t thread() const { return GetParam(); }
  // Another thread than the test's: a Dart thread, or the main thread for a Dart one.
  uint8_t otherThread() const { return thread() == 0 ? 5 : 0; }

  // Calls an export; the value of "result" (a refused call fails the test).
  EncodableValue call(uint8_t onThread, const char* symbol, const char* signature,
                      const EncodableList& arguments) {
    const EncodableValue answer = client()->callFfi(onThread, symbol, signature, arguments);
    if (const auto* error = field(answer, "error")) {
      ADD_FAILURE() << symbol << " refused: " << (error->string() ? *error->string() : "?");
      return {};
    }
    const auto* result = field(answer, "result");
    EXPECT_TRUE(result) << symbol << " answered no result";
    return result ? *result : EncodableValue();
  }

  // `paths`: a string, a Uint8List of raw bytes, or null.
  void write(const EncodableValue& paths, int32_t mode) {
    EXPECT_TRUE(
        call(thread(), "tolvek_clipboard_write_files", "void(utf8,int32)", {paths, mode}).isNull());
  }

  int32_t isCut(std::optional<uint8_t> onThread = std::nullopt) {
    const auto result = call(onThread.value_or(thread()), "tolvek_clipboard_is_cut", "int32()", {});
    return result.integer() ? static_cast<int32_t>(*result.integer()) : -1;
  }

  std::optional<HandedOut> readKept(std::optional<uint8_t> onThread = std::nullopt) {
    const auto result =
        call(onThread.value_or(thread()), "tolvek_clipboard_read_files", "utf8ptr()", {});
    const auto* pair = result.list();
    if (pair == nullptr || pair->size() != 2) {
      ADD_FAILURE() << "tolvek_clipboard_read_files gave no text";
      return std::nullopt;
    }
    return HandedOut{(*pair)[0], bytesText((*pair)[1])};
  }

  void release(const EncodableValue& address, std::optional<uint8_t> onThread = std::nullopt) {
    EXPECT_TRUE(call(onThread.value_or(thread()), "tolvek_clipboard_free", "void(ptr)", {address})
                    .isNull());
  }

  // What a paste reads, with the text released again.
  std::string read(std::optional<uint8_t> onThread = std::nullopt) {
    const auto handed = readKept(onThread);
    if (!handed) return "<null>";
    release(handed->address, onThread);
    return handed->text;
  }

  EncodableValue pasteboard() {
    const auto reply = client()->desktop("pasteboard");
    const auto* value = replyValue(reply);
    EXPECT_TRUE(value && value->map()) << "DESKTOP \"pasteboard\" gave no map";
    return value ? *value : EncodableValue();
  }

  void otherApplicationWrites(const EncodableList& items) {
    const auto reply = client()->desktop("writePasteboard", EncodableMap{{"items", items}});
    const auto* value = replyValue(reply);
    EXPECT_TRUE(value && value->isNull()) << "DESKTOP \"writePasteboard\" failed";
  }

  static const EncodableList& items(const EncodableValue& pasteboard) {
    static const EncodableList none;
    const auto* list = field(pasteboard, "items");
    return list && list->list() ? *list->list() : none;
  }

  static std::vector<std::string> fileURLs(const EncodableValue& pasteboard) {
    std::vector<std::string> urls;
    for (const auto& item : items(pasteboard)) {
      if (const auto* url = field(item, kFileURLType); url && url->string())
        urls.push_back(*url->string());
    }
    return urls;
  }

  // The mode under the application's private type, with the item it is on.
  static std::optional<std::pair<size_t, std::string>> mode(const EncodableValue& pasteboard) {
    const auto& all = items(pasteboard);
    for (size_t index = 0; index < all.size(); ++index) {
      if (all[index].map() == nullptr) continue;
      for (const auto& [type, value] : *all[index].map()) {
        if (type.string() && type.string()->ends_with(kModeTypeSuffix) && value.string())
          return std::make_pair(index, *value.string());
      }
    }
    return std::nullopt;
  }

  static int64_t changeCount(const EncodableValue& pasteboard) {
    const auto* count = field(pasteboard, "changeCount");
    return count && count->integer() ? *count->integer() : -1;
  }
};

using Mode = std::optional<std::pair<size_t, std::string>>;

TEST_P(ClipboardOverFfi, TwoPathsWithExtraLineFeedsBecomeTwoFileUrlsAndCut) {
  write(kRoot + "/A\n\n" + kRoot + "/B\n", 1);
  const EncodableValue board = pasteboard();
  EXPECT_EQ(fileURLs(board),
            (std::vector<std::string>{"file://" + kRoot + "/A", "file://" + kRoot + "/B"}));
  // The mode travels on the pasteboard itself, under the application's private type.
  EXPECT_EQ(mode(board), Mode(std::make_pair(0, "cut")));
  EXPECT_EQ(isCut(), 1);
  EXPECT_EQ(read(), kRoot + "/A\n" + kRoot + "/B");
  // What one thread wrote, any other reads.
  EXPECT_EQ(isCut(otherThread()), 1);
  EXPECT_EQ(read(otherThread()), kRoot + "/A\n" + kRoot + "/B");
}

TEST_P(ClipboardOverFfi, AnEmptyListClearsThePasteboardAndStoresCopy) {
  write(kRoot + "/old", 1);
  const int64_t before = changeCount(pasteboard());
  write("", 0);
  const EncodableValue board = pasteboard();
  EXPECT_GT(changeCount(board), before);
  EXPECT_TRUE(fileURLs(board).empty());
  ASSERT_EQ(items(board).size(), 1u);
  EXPECT_EQ(items(board)[0].map()->size(), 1u) << "the only item holds the mode alone";
  EXPECT_EQ(mode(board), Mode(std::make_pair(0, "copy")));
  EXPECT_EQ(read(), "");
  EXPECT_EQ(isCut(), 0);
}

TEST_P(ClipboardOverFfi, ANullPathListLeavesThePasteboardExactlyAsItWas) {
  write(kRoot + "/kept", 1);
  const EncodableValue before = pasteboard();
  write(EncodableValue(), 0);
  EXPECT_EQ(pasteboard(), before);
  EXPECT_EQ(isCut(), 1);
  EXPECT_EQ(read(), kRoot + "/kept");
}

TEST_P(ClipboardOverFfi, AnyNonZeroModeIsCut) {
  for (const int32_t given : {-1, 2, INT32_MIN, INT32_MAX}) {
    write(kRoot + "/a", 0);
    ASSERT_EQ(isCut(), 0);
    write(kRoot + "/a", given);
    EXPECT_EQ(isCut(), 1) << given;
    EXPECT_EQ(mode(pasteboard()), Mode(std::make_pair(0, "cut"))) << given;
  }
}

TEST_P(ClipboardOverFfi, CrLfIsPartOfAPathAndNothingIsTrimmed) {
  const std::string oneWithCrLf = kRoot + "/X\r\n" + kRoot + "/Y";
  write(oneWithCrLf, 1);
  EXPECT_EQ(fileURLs(pasteboard()).size(), 1u);
  // Its line feed would split it in two when read, so it is not read back.
  EXPECT_EQ(read(), "");

  // A lone CR and spaces stay in the path.
  const std::string spaced = kRoot + "/ lone\rcarriage return ";
  write(spaced + "\n" + kRoot + "/b", 0);
  EXPECT_EQ(fileURLs(pasteboard()).size(), 2u);
  EXPECT_EQ(read(), spaced + "\n" + kRoot + "/b");

  // A CR at the end of a path and the LF after it are one CR LF: no split there.
  write(kRoot + "/c\r\n" + kRoot + "/d\n", 0);
  EXPECT_EQ(fileURLs(pasteboard()).size(), 1u);
}

TEST_P(ClipboardOverFfi, ASingleFileComesBackWithoutALineFeed) {
  write(kRoot + "/only.txt", 0);
  EXPECT_EQ(read(), kRoot + "/only.txt");
  EXPECT_EQ(isCut(), 0);
}

TEST_P(ClipboardOverFfi, PathsWithSpecialCharactersSurviveAsEscapedFileUrls) {
  const std::string path = kRoot + "/a b/100%/#1?.txt/\xC3\xA9t\xC3\xA9";
  write(path, 1);
  const auto urls = fileURLs(pasteboard());
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_TRUE(urls[0].starts_with("file://" + kRoot + "/a%20b/100%25/%231%3F.txt/")) << urls[0];
  EXPECT_EQ(urls[0].find_first_of(" #?\xC3"), std::string::npos) << urls[0];
  EXPECT_EQ(read(), path);
}

TEST_P(ClipboardOverFfi, ARelativePathIsTakenFromTheHostsCurrentDirectory) {
  // The host runs in the directory the test runs in.
  write("relative-e2e.txt", 0);
  EXPECT_EQ(read(), (std::filesystem::current_path() / "relative-e2e.txt").string());
}

TEST_P(ClipboardOverFfi, IllFormedBytesBecomeReplacementCharacters) {
  const std::string raw =
      kRoot + "/caf\xE9\n" + kRoot + "/\xFF\xFE" + "end\n" + kRoot + "/\xE2\x82";
  write(std::vector<uint8_t>(raw.begin(), raw.end()), 1);
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(read(), kRoot + "/caf" + replacement + "\n" + kRoot + "/" + replacement + replacement +
                        "end\n" + kRoot + "/" + replacement);
  EXPECT_EQ(fileURLs(pasteboard()).front(), "file://" + kRoot + "/caf%EF%BF%BD");
}

TEST_P(ClipboardOverFfi, TheTextEndsAtItsFirstNul) {
  const std::string raw = kRoot + "/before" + std::string(1, '\0') + "\n" + kRoot + "/after";
  write(std::vector<uint8_t>(raw.begin(), raw.end()), 0);
  EXPECT_EQ(read(), kRoot + "/before");
}

TEST_P(ClipboardOverFfi, ManyPathsGoAndComeBackInOrder) {
  std::string list;
  for (int index = 0; index < 20000; ++index)
    list += kRoot + "/many/" + std::to_string(index) + ".txt\n";
  write(list, 1);
  list.pop_back();  // handed out without a line feed after the last path
  EXPECT_EQ(read(), list);
}

TEST_P(ClipboardOverFfi, AnotherApplicationsFilesAreReadAndAreNotCut) {
  write(kRoot + "/mine", 1);
  ASSERT_EQ(isCut(), 1);
  otherApplicationWrites(EncodableList{
      EncodableMap{{kFileURLType, "file://" + kRoot + "/other/a%20b.txt"}},
      EncodableMap{{kFileURLType, "file://" + kRoot + "/invoice.pdf%0A/home/me/.ssh/id"}},
      EncodableMap{{kFileURLType, "file://" + kRoot + "/other/c"}},
  });
  EXPECT_EQ(isCut(), 0);
  EXPECT_FALSE(mode(pasteboard())) << "the mode went with the rest";
  EXPECT_EQ(read(), kRoot + "/other/a b.txt\n" + kRoot + "/other/c");
}

TEST_P(ClipboardOverFfi, WebLinksAndTextAreNotFiles) {
  otherApplicationWrites(EncodableList{
      EncodableMap{{"public.url", "https://example.com/a"}},
      EncodableMap{{"public.utf8-plain-text", kRoot + "/typed"}},
  });
  EXPECT_EQ(read(), "");
  EXPECT_EQ(isCut(), 0);
  // Beside a file, a web link is passed over.
  otherApplicationWrites(EncodableList{
      EncodableMap{{"public.url", "https://example.com/a"}},
      EncodableMap{{kFileURLType, "file://" + kRoot + "/file"}},
  });
  EXPECT_EQ(read(), kRoot + "/file");
}

TEST_P(ClipboardOverFfi, TextHandedOutStaysValidUntilALaterFree) {
  write(kRoot + "/first", 1);
  const auto first = readKept();
  ASSERT_TRUE(first);
  // Other calls in between, from other threads, do not touch the text handed out.
  write(kRoot + "/second\n" + kRoot + "/third", 0);
  const auto second = readKept(otherThread());
  ASSERT_TRUE(second);
  EXPECT_EQ(first->text, kRoot + "/first");
  EXPECT_EQ(second->text, kRoot + "/second\n" + kRoot + "/third");
  EXPECT_NE(first->address, second->address);
  // Freed later, each on another thread than the one that read it.
  release(first->address, otherThread());
  release(second->address, thread());
  EXPECT_EQ(read(), kRoot + "/second\n" + kRoot + "/third");
}

TEST_P(ClipboardOverFfi, FreeingNullDoesNothing) {
  write(kRoot + "/kept", 1);
  const EncodableValue before = pasteboard();
  release(EncodableValue());
  EXPECT_EQ(pasteboard(), before);
  EXPECT_EQ(read(), kRoot + "/kept");
}

INSTANTIATE_TEST_SUITE_P(OnTheMainAndDartThreads, ClipboardOverFfi,
                         ::testing::Values(uint8_t{0}, uint8_t{1}, uint8_t{9}),
                         [](const ::testing::TestParamInfo<uint8_t>& given) {
                           return given.param == 0 ? std::string("MainThread")
                                                   : "DartThread" + std::to_string(given.param);
                         });

}  // namespace
