#pragma once

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "support/TemporaryDirectory.h"
#include "tests/e2e/HostTestSupport.h"

namespace e2e {

enum class PlistFormat { xml, binary };

// The string under `key` in the root dictionary of the property list file at `path`.
inline std::optional<std::string> propertyListString(const std::string& path, const char* key) {
  const std::string bytes = readFile(path);
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  if (root == nullptr) return std::nullopt;
  std::optional<std::string> result;
  plist_t item = plist_get_node_type(root) == PLIST_DICT ? plist_dict_get_item(root, key) : nullptr;
  if (item != nullptr && plist_get_node_type(item) == PLIST_STRING) {
    char* text = nullptr;
    plist_get_string_val(item, &text);
    result = text;
    std::free(text);
  }
  plist_free(root);
  return result;
}

// The bundle identifier of the built bundle.
inline std::string builtBundleIdentifier() {
  return propertyListString(std::string(TOLVEK_APP_DIR) + "/Contents/Info.plist",
                            "CFBundleIdentifier")
      .value_or("<none>");
}

// A private copy of the built bundle whose files a test edits before a host starts from
// it. Removed with its temporary directory.
class BundleCopy {
 public:
  static constexpr const char* kInfo = "Contents/Info.plist";
  static constexpr const char* kEntitlements = "Contents/Resources/Entitlements.plist";

  BundleCopy() : path_(directory_ / "Tolvek.app") {
    std::error_code error;
    std::filesystem::copy(
        TOLVEK_APP_DIR, path_,
        std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks,
        error);
    if (error) ADD_FAILURE() << "cannot copy " << TOLVEK_APP_DIR << ": " << error.message();
  }
  BundleCopy(const BundleCopy&) = delete;
  BundleCopy& operator=(const BundleCopy&) = delete;

  const std::string& path() const { return path_; }
  const test_support::TemporaryDirectory& directory() const { return directory_; }
  std::string file(const std::string& relative) const { return path_ + "/" + relative; }

  std::string read(const std::string& relative) const { return readFile(file(relative)); }
  void write(const std::string& relative, const std::string& bytes) const {
    std::ofstream(file(relative), std::ios::binary | std::ios::trunc) << bytes;
  }

  // Rewrites the property list at `relative` (XML or binary): `edit` changes its root
  // object, which is then written in `format`.
  void editPropertyList(const std::string& relative, const std::function<void(plist_t root)>& edit,
                        PlistFormat format = PlistFormat::xml) const {
    const std::string before = read(relative);
    plist_t root = nullptr;
    plist_from_memory(before.data(), static_cast<uint32_t>(before.size()), &root);
    ASSERT_NE(root, nullptr) << relative << " is not a property list";
    edit(root);
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == PlistFormat::xml) {
      plist_to_xml(root, &bytes, &length);
      write(relative, std::string(bytes, length));
      plist_to_xml_free(bytes);
    } else {
      plist_to_bin(root, &bytes, &length);
      write(relative, std::string(bytes, length));
      plist_to_bin_free(bytes);
    }
    plist_free(root);
  }

  // How a host starts from this copy, where it lies (with its own private HOME and socket).
  tolvekdart::HostProcess::Options hostOptions() const {
    auto options = ::hostOptions();
    options.bundlePath = path_;
    options.copyBundle = false;
    return options;
  }

 private:
  test_support::TemporaryDirectory directory_;
  std::string path_;
};

}  // namespace e2e
