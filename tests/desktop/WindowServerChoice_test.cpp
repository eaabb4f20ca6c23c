// Which desktop the process gets from its environment.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop/WindowServer.h"
#include "platform/desktop/WindowServerChoice.h"
#include "platform/desktop/model/ModelWindowServer.h"

namespace {

// Sets or unsets environment variables for one test and puts them back afterwards; the
// process ends on the model, as every other in-process test expects.
class WindowServerChoice : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    platform::installWindowServer(std::make_unique<platform::ModelWindowServer>());
  }

  void set(const std::string& name, const char* value) {
    if (!saved_.contains(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      setenv(name.c_str(), value, 1);
    } else {
      unsetenv(name.c_str());
    }
  }

  std::string chosen() {
    platform::installChosenWindowServer();
    return platform::windowServer().name();
  }

  std::map<std::string, std::optional<std::string>> saved_;
};

TEST_F(WindowServerChoice, WithoutADisplayTheModelServesUnlessAskedOtherwise) {
  set("DISPLAY", nullptr);
  set("WAYLAND_DISPLAY", "");
  set("TOLVEK_DESKTOP", nullptr);
  EXPECT_EQ(chosen(), "model");
  set("TOLVEK_DESKTOP", "");
  EXPECT_EQ(chosen(), "model") << "empty is unset";
  set("TOLVEK_DESKTOP", "model");
  EXPECT_EQ(chosen(), "model");
}

TEST_F(WindowServerChoice, ADisplayChoosesTheRealDesktopWhichNeedsOneThatOpens) {
  // No X server listens on display 4093 here: the real desktop is chosen and fails.
  set("TOLVEK_DESKTOP", nullptr);
  set("WAYLAND_DISPLAY", nullptr);
  set("GDK_BACKEND", "x11");
  set("DISPLAY", ":4093");
  EXPECT_THROW(chosen(), platform::WindowServerChoiceError);
  set("DISPLAY", ":4093");
  set("TOLVEK_DESKTOP", "model");
  EXPECT_EQ(chosen(), "model") << "the model is chosen even with a display";
}

TEST_F(WindowServerChoice, AnyOtherNameIsRefusedSayingWhich) {
  for (const char* name : {"Model", "GTK", "x11", " gtk"}) {
    set("TOLVEK_DESKTOP", name);
    try {
      chosen();
      ADD_FAILURE() << name << " was accepted";
    } catch (const platform::WindowServerChoiceError& error) {
      EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
    }
  }
}

}  // namespace
