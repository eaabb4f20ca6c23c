#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The parts of a shared-mime-info database (a folder such as /usr/share/mime) that
// uniform types are built on: `globs2` (weight:type:glob[:flags]), `subclasses` (type
// parent) and `aliases` (alias type). Missing files are empty parts.
class MimeDatabase {
 public:
  struct Glob {
    int weight = 50;
    std::string type;
    std::string pattern;
    bool caseSensitive = false;
  };

  static MimeDatabase load(const std::string& directory);
  // The database of the current directory (see setMimeDatabaseDirectoryForTesting), loaded
  // once and kept; thread-safe.
  static std::shared_ptr<const MimeDatabase> shared();

  // The types whose "*.<extension pattern>" globs match `extension`, best first. A
  // case-sensitive comparison is tried first; only when no glob matches that way are the
  // globs without the "cs" flag compared ignoring letter case. Within a pass, a higher
  // weight wins, then a longer glob, then the earlier line. Other globs (whole names such
  // as "Makefile") never match an extension.
  std::vector<std::string> typesForExtension(const std::string& extension) const;

  // The type an alias stands for; other names unchanged.
  std::string canonicalType(const std::string& type) const;
  // True when `type` is `ancestor` or a subclass of it, directly or through others.
  // Besides the subclasses file: every text/* type is a kind of text/plain, and every type
  // but inode/* ones is a kind of application/octet-stream.
  bool isSubclass(const std::string& type, const std::string& ancestor) const;

  const std::vector<Glob>& globs() const { return globs_; }

 private:
  std::vector<Glob> globs_;
  std::multimap<std::string, std::string> parents_;
  std::map<std::string, std::string> aliases_;
};

// Uses the database in `directory` instead of /usr/share/mime (nothing: back).
void setMimeDatabaseDirectoryForTesting(std::optional<std::string> directory);

}  // namespace platform
