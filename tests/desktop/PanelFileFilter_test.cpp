// The filter a file dialog offers for a panel's allowed types, read from a MIME database of
// the test's own.

#include "platform/desktop/PanelFileFilter.h"

#include <gtest/gtest.h>

#include "platform/AppKit/NSSavePanel.h"
#include "support/TestMimeDatabase.h"

namespace {

using Strings = std::vector<std::string>;

class PanelFileFilterTest : public ::testing::Test {
 protected:
  static std::shared_ptr<UTType> type(const std::string& extension) {
    return UTType::typeWithFilenameExtension(extension, UTType::data());
  }

  test_support::TestMimeDatabase database_{
      "50:image/png:*.png\n"
      "50:image/x-legacy:*.leg\n"
      "50:text/x-csrc:*.c\n"
      "50:text/x-c++src:*.C:cs\n",
      "", "image/x-legacy image/png\n"};
  NSSavePanel panel_;
};

TEST_F(PanelFileFilterTest, ContentTypesGiveTheirMimeTypesAndEveryGlobOfTheirs) {
  panel_.setAllowedContentTypes({type("png"), type("C"), type("zzq")});
  const auto filter = platform::panelFileFilter(panel_);
  ASSERT_TRUE(filter);
  EXPECT_EQ(filter->mimeTypes, (Strings{"image/png", "text/x-c++src"}));
  // The alias's glob counts for the type; a case-sensitive glob stays as written; the
  // dynamic type is known by its extension.
  EXPECT_EQ(filter->patterns,
            (Strings{"*.[pP][nN][gG]", "*.[lL][eE][gG]", "*.C", "*.[zZ][zZ][qQ]"}));
  EXPECT_EQ(filter->name, "image/png, text/x-c++src, *.zzq");
}

TEST_F(PanelFileFilterTest, FileTypesArePatternsAndNoTypesNoFilter) {
  EXPECT_FALSE(platform::panelFileFilter(panel_));
  panel_.setAllowedContentTypes({});
  EXPECT_FALSE(platform::panelFileFilter(panel_));
  panel_.setAllowedFileTypes({"png", "tar.gz"});
  const auto filter = platform::panelFileFilter(panel_);
  ASSERT_TRUE(filter);
  EXPECT_TRUE(filter->mimeTypes.empty());
  EXPECT_EQ(filter->patterns, (Strings{"*.[pP][nN][gG]", "*.[tT][aA][rR].[gG][zZ]"}));
  EXPECT_EQ(filter->name, "*.png, *.tar.gz");
}

}  // namespace
