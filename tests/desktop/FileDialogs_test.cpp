// The file picker's dialogs on a real X desktop (Xvfb and openbox) with TOLVEK_DESKTOP=gtk:
// GTK's own file dialog over the main window, answered as a person does, with keys typed
// through XTest, while the host keeps serving the Dart side.

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "desktop/HostOnXDesktop.h"
#include "support/PngPixels.h"
#include "support/TemporaryDirectory.h"
#include "tests/e2e/FilePickerCall.h"

namespace {

class FileDialogsOnTheRealDesktop : public HostOnXDesktop {
 protected:
  void SetUp() override {
    HostOnXDesktop::SetUp();
    client_->setTimeout(std::chrono::seconds(20));
    for (const char* name : {"a.png", "b.png", "notes.txt"}) std::ofstream(folder_ / name) << name;
  }

  // The dialog named `title` once it is shown and has the keyboard focus, or 0.
  Window dialog(const std::string& title) {
    Window shown = 0;
    XDesktop::waitFor([&] {
      shown = desktop()->shownWindowNamed(title);
      return shown != 0 && desktop()->hasFocus(shown);
    });
    return shown != 0 && desktop()->hasFocus(shown) ? shown : 0;
  }
  // The ids `windows` gives the dialogs of that class and title.
  std::vector<int64_t> listedDialogs(const std::string& className, const std::string& title) {
    const auto reply = client_->desktop("windows");
    const auto* windows = std::get_if<EncodableValue>(&reply);
    std::vector<int64_t> ids;
    if (!windows || !windows->list()) return ids;
    for (const auto& window : *windows->list()) {
      const auto id = valueAt(window, "id").integer();
      if (id && valueAt(window, "class") == EncodableValue(className) &&
          valueAt(window, "title") == EncodableValue(title))
        ids.push_back(*id);
    }
    return ids;
  }
  // Whether the dialog's window is taken down.
  bool gone(Window window) {
    return XDesktop::waitFor([&] { return !desktop()->geometry(window).viewable; });
  }
  // A person types `location` into the dialog's location field and presses Return.
  void typeLocation(const std::string& location) {
    desktop()->key("l", true);
    desktop()->type(location);
    desktop()->key("Return");
  }

  test_support::TemporaryDirectory folder_;
};

TEST_F(FileDialogsOnTheRealDesktop, OpenDialogsAnswerWhatThePersonChoseOneAfterAnother) {
  // Two calls at once: the second dialog waits for the first, as sheets do.
  FilePickerCall pngs(*client_, "pickFiles",
                      EncodableMap{{"allowMultiple", true},
                                   {"allowedExtensions", EncodableList{"png"}},
                                   {"initialDirectory", folder_.path()}});
  FilePickerCall cancelled(*client_, "pickFiles", EncodableMap{});
  const Window shown = dialog("Open");
  ASSERT_NE(shown, 0u) << "no open dialog has the focus";

  // The dialog is a window of its own: listed with its panel's class and drawn as shown.
  const auto listed = listedDialogs("NSOpenPanel", "Open");
  ASSERT_EQ(listed.size(), 1u) << "one dialog is up, the other waits its turn";
  const auto drawn = client_->desktop("snapshot", EncodableMap{{"window", listed.front()}});
  const auto* bytes = std::get_if<EncodableValue>(&drawn);
  const auto* png = bytes ? std::get_if<std::vector<uint8_t>>(bytes) : nullptr;
  const PngPixels picture(png ? *png : std::vector<uint8_t>{});
  ASSERT_TRUE(picture.valid());
  EXPECT_EQ(picture.width(), desktop()->geometry(shown).width);
  EXPECT_EQ(picture.height(), desktop()->geometry(shown).height);
  // Drawn, not blank: the file list and the bar of buttons below it differ.
  EXPECT_NE(picture.at(picture.width() / 2, picture.height() / 2),
            picture.at(picture.width() / 2, picture.height() - 4));

  // The host keeps serving the exports and channels while the dialog is up.
  const auto size = client_->callFfi(1, "tolvek_window_get_size", "void(outint32,outint32)",
                                     {int32_t{0}, int32_t{0}});
  EXPECT_EQ(valueAt(size, "out"), EncodableValue(EncodableList{int32_t{800}, int32_t{628}}));
  EXPECT_EQ(client_->invokeMethod("tolvek/system_scale", "getScale"),
            FlutterMethodReply(EncodableValue(1.0)));

  // Everything the listing offers, chosen: the filter keeps notes.txt out of it. The
  // listing fills in its own time; the person tries again until the dialog goes.
  for (int tries = 0; tries < 20 && desktop()->geometry(shown).viewable; ++tries) {
    desktop()->key("a", true);
    desktop()->key("Return");
    XDesktop::waitFor([&] { return !desktop()->geometry(shown).viewable; },
                      std::chrono::milliseconds(500));
  }

  EXPECT_EQ(pngs.reply(), FlutterMethodReply(
                              EncodableValue(EncodableList{folder_ / "a.png", folder_ / "b.png"})));

  const Window waiting = dialog("Open");
  ASSERT_NE(waiting, 0u) << "the waiting dialog did not come up";
  desktop()->key("Escape");
  EXPECT_TRUE(gone(waiting));
  EXPECT_EQ(cancelled.reply(), FlutterMethodReply(EncodableValue()));

  FilePickerCall folder(*client_, "getDirectoryPath",
                        EncodableMap{{"initialDirectory", folder_ / ".."}});
  ASSERT_NE(dialog("Open"), 0u);
  typeLocation(folder_.path());
  EXPECT_EQ(folder.reply(), FlutterMethodReply(EncodableValue(folder_.path())));
}

TEST_F(FileDialogsOnTheRealDesktop, ASaveDialogAnswersTheTypedNameEvenWithItsWindowHidden) {
  FilePickerCall save(*client_, "saveFile",
                      EncodableMap{{"dialogTitle", "Export notes"},
                                   {"fileName", "draft.txt"},
                                   {"initialDirectory", folder_.path()}});
  ASSERT_NE(dialog("Export notes"), 0u);
  const auto hidden = client_->callFfi(1, "tolvek_window_hide", "void()", {});
  EXPECT_EQ(field(hidden, "error"), nullptr);
  ASSERT_NE(dialog("Export notes"), 0u) << "the dialog went with its window";
  // The name field holds the suggested name: the person types another in its place.
  desktop()->key("a", true);
  desktop()->type("typed.txt");
  desktop()->key("Return");
  EXPECT_EQ(save.reply(), FlutterMethodReply(EncodableValue(folder_ / "typed.txt")));
}

}  // namespace
