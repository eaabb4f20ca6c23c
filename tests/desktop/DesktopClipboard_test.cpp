// The file clipboard on a real X desktop: what Tolvek cuts or copies, other programs read
// from the CLIPBOARD selection in their formats, and what they put there Tolvek reads back,
// cut or copy included. xclip is the other program.

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "desktop/HostOnXDesktop.h"
#include "support/TemporaryDirectory.h"

namespace {

constexpr uint8_t kMainThread = 0;

std::string bytesText(const EncodableValue& value) {
  const auto* bytes = std::get_if<std::vector<uint8_t>>(&value);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<not bytes>";
}

// A clipboard manager as the freedesktop convention has it: it owns CLIPBOARD_MANAGER and,
// asked to SAVE_TARGETS, fetches the clipboard's text/uri-list before it answers. An X
// client of the test's own, on a thread of its own.
class UriListManager {
 public:
  explicit UriListManager(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    if (display_ == nullptr) throw std::runtime_error("no display for the clipboard manager");
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display_, atom("CLIPBOARD_MANAGER"), window_, CurrentTime);
    XSync(display_, False);
    thread_ = std::thread([this] { serve(); });
  }
  ~UriListManager() {
    thread_.join();
    XCloseDisplay(display_);
  }
  // What it kept, once the application that owned the clipboard asked it to.
  std::string kept() { return kept_.get(); }

 private:
  Atom atom(const char* name) { return XInternAtom(display_, name, False); }

  // Waits up to ten seconds for the next event.
  bool next(XEvent& event) {
    pollfd descriptor{ConnectionNumber(display_), POLLIN, 0};
    while (XPending(display_) == 0) {
      if (poll(&descriptor, 1, 10000) <= 0) return false;
    }
    XNextEvent(display_, &event);
    return true;
  }

  void serve() {
    XEvent event;
    while (next(event)) {
      if (event.type != SelectionRequest) continue;
      XSelectionRequestEvent request = event.xselectionrequest;
      if (request.target != atom("SAVE_TARGETS")) continue;
      const std::string list = fetch(atom("CLIPBOARD"), atom("text/uri-list"));
      XEvent reply{};
      reply.xselection = {SelectionNotify,
                          0,
                          True,
                          display_,
                          request.requestor,
                          request.selection,
                          request.target,
                          request.property,
                          request.time};
      XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
      XSync(display_, False);
      saved_.set_value(list);
      return;
    }
    saved_.set_value("<not asked to save>");
  }

  std::string fetch(Atom selection, Atom target) {
    const Atom property = atom("TOLVEK_TEST_SAVED");
    XConvertSelection(display_, selection, target, property, window_, CurrentTime);
    XEvent event;
    while (next(event)) {
      if (event.type != SelectionNotify || event.xselection.property == None) continue;
      Atom type = 0;
      int format = 0;
      unsigned long count = 0, remaining = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(display_, window_, property, 0, 1 << 20, True, AnyPropertyType, &type,
                         &format, &count, &remaining, &data);
      std::string text(reinterpret_cast<char*>(data), count);
      XFree(data);
      return text;
    }
    return "<no answer>";
  }

  Display* display_;
  Window window_ = 0;
  std::promise<std::string> saved_;
  std::future<std::string> kept_ = saved_.get_future();
  std::thread thread_;
};

class DesktopClipboard : public HostOnXDesktop {
 protected:
  void writeFiles(const std::string& paths, int32_t mode) {
    command("tolvek_clipboard_write_files", "void(utf8,int32)", {paths, mode});
  }

  // What a paste on `thread` reads, the text released again.
  std::string readFiles(uint8_t thread = kDartThread) {
    const auto answer = client_->callFfi(thread, "tolvek_clipboard_read_files", "utf8ptr()", {});
    const auto* result = field(answer, "result");
    const auto* pair = result ? result->list() : nullptr;
    if (pair == nullptr || pair->size() != 2) return "<no text>";
    client_->callFfi(thread, "tolvek_clipboard_free", "void(ptr)", {(*pair)[0]});
    return bytesText((*pair)[1]);
  }

  int64_t changeCount() {
    const auto reply = client_->desktop("pasteboard");
    const auto* value = std::get_if<EncodableValue>(&reply);
    const auto* count = value ? field(*value, "changeCount") : nullptr;
    return count && count->integer() ? *count->integer() : -1;
  }

  std::string xclipOutput(const std::string& target) {
    return desktop()->clientOutput({"xclip", "-selection", "clipboard", "-t", target, "-o"});
  }
  void xclipTakes(const std::string& target, const std::string& text) {
    desktop()->runClient({"xclip", "-selection", "clipboard", "-t", target, "-i"}, text);
  }
  // Waits until the host has seen another program take the clipboard.
  bool countPasses(int64_t count) {
    return XDesktop::waitFor([&] { return changeCount() > count; });
  }
};

TEST_F(DesktopClipboard, OtherProgramsReadTolveksCutInTheirFormats) {
  test_support::TemporaryDirectory scratch;
  const std::string folder = scratch.path() + "/a b";
  std::filesystem::create_directory(folder);
  const std::string percent = folder + "/100%.txt", accented = scratch.path() + "/Ünïcødé.txt";
  std::ofstream(percent).put('x');
  std::ofstream(accented).put('x');
  writeFiles(folder + "\n" + percent + "\n" + accented, 1);

  // What URL(fileURLWithPath:) gives: a folder ends in a slash, the rest percent-encoded.
  const std::string root = "file://" + scratch.path();
  const std::string urls[] = {root + "/a%20b/", root + "/a%20b/100%25.txt",
                              root + "/%C3%9Cn%C3%AFc%C3%B8d%C3%A9.txt"};
  ASSERT_TRUE(XDesktop::waitFor([&] { return xclipOutput("text/uri-list") != ""; }))
      << "the host never took the clipboard";
  const std::string targets = xclipOutput("TARGETS");
  for (const char* target :
       {"text/uri-list", "x-special/gnome-copied-files", "application/x-kde-cutselection",
        "UTF8_STRING", "text/plain;charset=utf-8", "com.tolvek.app.clipboard-mode"})
    EXPECT_NE(targets.find(std::string(target) + "\n"), std::string::npos) << target;

  EXPECT_EQ(xclipOutput("text/uri-list"), urls[0] + "\r\n" + urls[1] + "\r\n" + urls[2] + "\r\n");
  EXPECT_EQ(xclipOutput("x-special/gnome-copied-files"),
            "cut\n" + urls[0] + "\n" + urls[1] + "\n" + urls[2]);
  EXPECT_EQ(xclipOutput("application/x-kde-cutselection"), "1");
  const std::string paths = folder + "\n" + percent + "\n" + accented;
  EXPECT_EQ(xclipOutput("UTF8_STRING"), paths);
  EXPECT_EQ(xclipOutput("text/plain;charset=utf-8"), paths);
  EXPECT_EQ(xclipOutput("com.tolvek.app.clipboard-mode"), "cut");

  // A copy says so, and offers no cut mark.
  writeFiles(percent, 0);
  ASSERT_TRUE(XDesktop::waitFor(
      [&] { return xclipOutput("x-special/gnome-copied-files") == "copy\n" + urls[1]; }));
  EXPECT_EQ(xclipOutput("TARGETS").find("application/x-kde-cutselection"), std::string::npos);
}

TEST_F(DesktopClipboard, TolvekReadsWhatAnotherProgramCutOrCopiedAndForgetsItsOwnMode) {
  writeFiles("/tmp/mine", 1);
  ASSERT_TRUE(XDesktop::waitFor([&] { return xclipOutput("UTF8_STRING") == "/tmp/mine"; }));
  EXPECT_EQ(query("tolvek_clipboard_is_cut"), 1);

  // A file manager's cut: the host sees the clipboard change hands, and pastes a move.
  int64_t count = changeCount();
  xclipTakes("x-special/gnome-copied-files", "cut\nfile:///tmp/a%20b");
  ASSERT_TRUE(countPasses(count));
  EXPECT_EQ(readFiles(), "/tmp/a b");
  EXPECT_EQ(query("tolvek_clipboard_is_cut"), 1);

  // A plain URI list is a copy. The main thread's read turns the main loop that brings the
  // answer.
  count = changeCount();
  xclipTakes("text/uri-list", "file:///tmp/one\r\nfile://localhost/tmp/f%C3%BCr\r\n");
  ASSERT_TRUE(countPasses(count));
  EXPECT_EQ(readFiles(kMainThread), "/tmp/one\n/tmp/f\xC3\xBCr");
  EXPECT_EQ(query("tolvek_clipboard_is_cut"), 0);
}

// A program that takes the clipboard and never answers: an X client of the test's own that
// owns the selection and reads no events.
TEST_F(DesktopClipboard, AnOwnerThatNeverAnswersCostsAReadABoundedTime) {
  Display* silent = XOpenDisplay(desktop()->name().c_str());
  ASSERT_NE(silent, nullptr);
  const Window window = XCreateSimpleWindow(silent, DefaultRootWindow(silent), 0, 0, 1, 1, 0, 0, 0);
  const int64_t count = changeCount();
  XSetSelectionOwner(silent, XInternAtom(silent, "CLIPBOARD", False), window, CurrentTime);
  XSync(silent, False);
  // The change count comes with the contents: the first look waits for the silent owner.
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(countPasses(count));
  RecordProperty("first_read_ms",
                 std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - started)
                                    .count()));
  EXPECT_EQ(readFiles(), "");
  EXPECT_EQ(readFiles(kMainThread), "");
  // Exports keep being answered meanwhile and after, and the next owner is asked afresh
  // though the silent one still owes its answer.
  EXPECT_EQ(query("tolvek_window_is_visible"), 1);
  const int64_t silentCount = changeCount();
  xclipTakes("x-special/gnome-copied-files", "copy\nfile:///tmp/after");
  ASSERT_TRUE(countPasses(silentCount));
  EXPECT_EQ(readFiles(), "/tmp/after");
  XCloseDisplay(silent);
}

// 100,000 paths, the same as other programs see them: in ten folders that do not exist, so
// that no URL gets a folder's slash, and with spaces to percent-encode.
class LargeClipboardLists : public DesktopClipboard {
 protected:
  static constexpr int kPaths = 100000;

  void SetUp() override {
    DesktopClipboard::SetUp();
    client_->setTimeout(std::chrono::seconds(60));  // sanitizer builds take their time
    for (int index = 0; index < kPaths; ++index) {
      const std::string name = "/tolvek-absent/folder " + std::to_string(index % 10) + "/file " +
                               std::to_string(index) + ".txt";
      paths_ += (index ? "\n" : "") + name;
      std::string url = "file://" + name;
      for (size_t at = 0; (at = url.find(' ', at)) != std::string::npos;) url.replace(at, 1, "%20");
      uriList_ += url + "\r\n";
    }
  }

  // Whether two long texts are the same, with where they first differ when they are not
  // (a full diff of 100,000 lines would take the test's time).
  static ::testing::AssertionResult sameText(const std::string& actual, const std::string& wanted) {
    if (actual == wanted) return ::testing::AssertionSuccess();
    const auto differ = std::mismatch(actual.begin(), actual.end(), wanted.begin(), wanted.end());
    const size_t at = static_cast<size_t>(differ.first - actual.begin());
    return ::testing::AssertionFailure()
           << actual.size() << " bytes where " << wanted.size() << " were wanted; first "
           << "difference at byte " << at << ": \"" << actual.substr(at, 60) << "\" for \""
           << wanted.substr(at, 60) << "\"";
  }

  static std::string milliseconds(std::chrono::steady_clock::duration duration) {
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
  }

  std::string paths_, uriList_;
};

TEST_F(LargeClipboardLists, AHundredThousandPathsGoToAnotherProgram) {
  const auto started = std::chrono::steady_clock::now();
  writeFiles(paths_, 0);
  std::string offered;
  ASSERT_TRUE(XDesktop::waitFor([&] { return (offered = xclipOutput("text/uri-list")) != ""; }));
  RecordProperty("write_and_xclip_read_ms",
                 milliseconds(std::chrono::steady_clock::now() - started));
  EXPECT_TRUE(sameText(offered, uriList_));
}

// GTK 3.24 loses the one-byte end of every incremental transfer it receives (its buffer for
// the last, empty piece); LeakSanitizer is told to pass over memory GLib allocated, in this
// test's host only.
class LargeClipboardListsReceived : public LargeClipboardLists {
 protected:
  std::string leakSuppressions() const override {
    return "suppressions=" TOLVEK_TEST_DATA_DIR "/gtk-incremental-transfer.supp";
  }
};

TEST_F(LargeClipboardListsReceived, AHundredThousandPathsComeFromAnotherProgram) {
  const int64_t count = changeCount();
  xclipTakes("text/uri-list", uriList_);
  ASSERT_TRUE(countPasses(count));
  const auto taken = std::chrono::steady_clock::now();
  EXPECT_TRUE(sameText(readFiles(), paths_));
  RecordProperty("read_ms", milliseconds(std::chrono::steady_clock::now() - taken));
}

TEST_F(DesktopClipboard, AClipboardManagerKeepsWhatTolvekOwnedWhenItQuits) {
  UriListManager manager(desktop()->name());
  writeFiles("/tmp/kept", 1);
  ASSERT_TRUE(XDesktop::waitFor([&] { return xclipOutput("UTF8_STRING") == "/tmp/kept"; }));
  client_.reset();
  const int status = host_->stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
  host_.reset();
  EXPECT_EQ(manager.kept(), "file:///tmp/kept\r\n");
}

}  // namespace
