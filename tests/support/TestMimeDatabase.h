#pragma once

#include <optional>
#include <string>

#include "platform/UniformTypeIdentifiers/MimeDatabase.h"
#include "support/TemporaryDirectory.h"

namespace test_support {

// A MIME database of a test's own (the `globs2`, `subclasses` and `aliases` files as
// given), read instead of the machine's while this object lives, so results do not hang
// on what the machine has installed.
class TestMimeDatabase {
 public:
  TestMimeDatabase(const std::string& globs2, const std::string& subclasses,
                   const std::string& aliases) {
    directory_.write("globs2", globs2);
    directory_.write("subclasses", subclasses);
    directory_.write("aliases", aliases);
    platform::setMimeDatabaseDirectoryForTesting(directory_.path());
  }
  ~TestMimeDatabase() { platform::setMimeDatabaseDirectoryForTesting(std::nullopt); }
  TestMimeDatabase(const TestMimeDatabase&) = delete;
  TestMimeDatabase& operator=(const TestMimeDatabase&) = delete;

 private:
  TemporaryDirectory directory_;
};

}  // namespace test_support
