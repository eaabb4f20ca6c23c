// The window exports of the real host, called through FFI frames on Dart threads and on
// the main thread, their effect read back through the desktop control.

#include <string>
#include <vector>

#include "tests/e2e/HostTestSupport.h"

namespace {

using tolvekdart::EngineClient;

constexpr uint8_t kMainThread = 0;
const std::string kFFFD = "\xEF\xBF\xBD";

class WindowExportsEndToEnd : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    client_.emplace(attach());
  }
  void TearDown() override {
    client_.reset();
    HostTest::TearDown();
  }

  // Calls an export and returns its FFI_RESULT map, failing the test on a refusal.
  EncodableValue call(uint8_t thread, const std::string& symbol, const std::string& signature,
                      const EncodableList& arguments = {}) {
    const auto answer = client_->callFfi(thread, symbol, signature, arguments);
    EXPECT_EQ(field(answer, "error"), nullptr) << symbol;
    return answer;
  }
  void command(uint8_t thread, const std::string& symbol) { call(thread, symbol, "void()"); }
  int64_t query(uint8_t thread, const std::string& symbol) {
    const auto answer = call(thread, symbol, "int32()");  // kept: `result` points into it
    const auto* result = field(answer, "result");
    return result && result->integer() ? *result->integer() : -1;
  }
  EncodableValue size(uint8_t thread, EncodableValue width = int32_t{-1},
                      EncodableValue height = int32_t{-1}) {
    const auto answer = call(thread, "tolvek_window_get_size", "void(outint32,outint32)",
                             {std::move(width), std::move(height)});
    const auto* out = field(answer, "out");
    return out ? *out : EncodableValue();
  }
  // The main window as the window server sees it.
  EncodableValue mainWindow() {
    const auto reply = client_->desktop("windows");
    const auto* windows = std::get_if<EncodableValue>(&reply);
    if (windows && windows->list()) {
      for (const auto& window : *windows->list()) {
        const auto* name = field(window, "class");
        if (name && name->string() && *name->string() == "MainFlutterWindow") return window;
      }
    }
    ADD_FAILURE() << "no main window";
    return EncodableValue();
  }
  // One entry of the main window's map (null when it has none).
  EncodableValue windowField(const char* key) {
    const auto window = mainWindow();
    const auto* value = field(window, key);
    return value ? *value : EncodableValue();
  }
  bool flag(const char* key) { return windowField(key) == EncodableValue(true); }
  std::vector<double> frame() {
    const auto window = mainWindow();
    std::vector<double> numbers;
    if (const auto* list = field(window, "frame"); list && list->list()) {
      for (const auto& number : *list->list()) numbers.push_back(*number.float64());
    }
    return numbers;
  }

  std::optional<EngineClient> client_;
};

TEST_F(WindowExportsEndToEnd, AQueryOnADartThreadSeesThatThreadsEarlierCommands) {
  const auto before = frame();
  ASSERT_EQ(before.size(), 4u);
  const double top = before[1] + before[3];
  call(1, "tolvek_window_set_size", "void(int32,int32)", {int32_t{1024}, int32_t{700}});
  EXPECT_EQ(size(1), EncodableValue(EncodableList{int32_t{1024}, int32_t{700}}));
  EXPECT_EQ(frame(), (std::vector<double>{before[0], top - 700, 1024, 700}));
  // The same from the main thread, and null outputs.
  EXPECT_EQ(size(kMainThread), EncodableValue(EncodableList{int32_t{1024}, int32_t{700}}));
  EXPECT_EQ(size(2, EncodableValue(), int32_t{5}),
            EncodableValue(EncodableList{EncodableValue(), int32_t{700}}));
}

TEST_F(WindowExportsEndToEnd, ShowHideCloseAndVisibilityFromEveryThread) {
  for (const uint8_t thread : {uint8_t{0}, uint8_t{1}, uint8_t{3}}) {
    command(thread, "tolvek_window_hide");
    EXPECT_EQ(query(thread, "tolvek_window_is_visible"), 0);
    command(thread, "tolvek_window_show");
    EXPECT_EQ(query(thread, "tolvek_window_is_visible"), 1);
    command(thread, "tolvek_window_close");
    EXPECT_EQ(query(thread, "tolvek_window_is_visible"), 0);
    EXPECT_FALSE(flag("visible"));
    command(thread, "tolvek_window_show");
    EXPECT_TRUE(flag("visible"));
  }
}

TEST_F(WindowExportsEndToEnd, MaximizeTwiceStaysZoomedAndRestoreUndoesBoth) {
  command(1, "tolvek_window_maximize");
  command(1, "tolvek_window_maximize");
  EXPECT_EQ(query(1, "tolvek_window_is_maximized"), 1);
  command(1, "tolvek_window_minimize");
  EXPECT_TRUE(flag("miniaturized"));
  command(1, "tolvek_window_restore");
  EXPECT_EQ(query(1, "tolvek_window_is_maximized"), 0);
  EXPECT_FALSE(flag("miniaturized"));
  EXPECT_FALSE(flag("zoomed"));
}

TEST_F(WindowExportsEndToEnd, TitlesAreTakenFromBuffersTheCallerFreesAtOnce) {
  call(1, "tolvek_window_set_title", "void(utf8)", {"Tolvek \xE2\x80\x94 e2e"});
  EXPECT_EQ(windowField("title"), EncodableValue("Tolvek \xE2\x80\x94 e2e"));
  // Ill-formed bytes; the transport overwrites and frees the buffer when the call returns.
  call(2, "tolvek_window_set_title", "void(utf8)", {std::vector<uint8_t>{'A', 0xFF, 0xC0, 'B'}});
  EXPECT_EQ(windowField("title"), EncodableValue("A" + kFFFD + kFFFD + "B"));
  call(kMainThread, "tolvek_window_set_title", "void(utf8)", {EncodableValue()});
  EXPECT_EQ(windowField("title"), EncodableValue("A" + kFFFD + kFFFD + "B"));
}

TEST_F(WindowExportsEndToEnd, DraggingUsesTheMousePressTheApplicationIsHandling) {
  const auto reply =
      client_->desktop("mouseDown", EncodableMap{{"location", EncodableList{200.0, 10.0}}});
  const auto* event = std::get_if<EncodableValue>(&reply);
  ASSERT_TRUE(event && event->integer());
  command(1, "tolvek_window_start_dragging");
  EXPECT_EQ(windowField("dragEvents"), EncodableValue(EncodableList{*event}));
}

TEST_F(WindowExportsEndToEnd, MinimumSizeAndCentre) {
  call(1, "tolvek_window_set_min_size", "void(int32,int32)", {int32_t{480}, int32_t{320}});
  EXPECT_EQ(windowField("minSize"), EncodableValue(EncodableList{480.0, 320.0}));
  call(1, "tolvek_window_set_size", "void(int32,int32)", {int32_t{600}, int32_t{400}});
  // A size below one point leaves the frame and its top edge as they are.
  const auto before = frame();
  call(1, "tolvek_window_set_size", "void(int32,int32)", {int32_t{600}, int32_t{-50}});
  EXPECT_EQ(frame(), before);
  command(1, "tolvek_window_center");
  // On the 1440 x 875 visible part of the standard screen: centred across, a third of the
  // free height above.
  EXPECT_EQ(frame(), (std::vector<double>{420, 317, 600, 400}));
}

}  // namespace
