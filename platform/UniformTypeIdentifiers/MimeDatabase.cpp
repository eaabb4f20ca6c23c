#include "platform/UniformTypeIdentifiers/MimeDatabase.h"

#include <fnmatch.h>

#include <algorithm>
#include <charconv>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/Foundation/FileContents.h"

namespace platform {
namespace {

constexpr const char* kSystemDatabase = "/usr/share/mime";
constexpr size_t kMaximumFileSize = 16 * 1024 * 1024;
constexpr const char* kOctetStream = "application/octet-stream";

std::vector<std::string> linesOf(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream stream(readFileContents(path, kMaximumFileSize).value_or(""));
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() != '#') lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::optional<MimeDatabase::Glob> parseGlob(const std::string& line) {
  const auto fields = split(line, ':');
  if (fields.size() < 3 || fields[1].empty() || fields[2].empty()) return std::nullopt;
  MimeDatabase::Glob glob;
  const auto& weight = fields[0];
  const auto parsed = std::from_chars(weight.data(), weight.data() + weight.size(), glob.weight);
  if (parsed.ec != std::errc() || parsed.ptr != weight.data() + weight.size()) return std::nullopt;
  glob.type = fields[1];
  glob.pattern = fields[2];
  if (fields.size() > 3) {
    for (const auto& flag : split(fields[3], ','))
      if (flag == "cs") glob.caseSensitive = true;
  }
  // "__NOGLOBS__" only cancels globs of databases of lower priority.
  if (glob.pattern == "__NOGLOBS__") return std::nullopt;
  return glob;
}

// Pairs of words separated by one space ("subclasses", "aliases").
std::vector<std::pair<std::string, std::string>> pairsOf(const std::string& path) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& line : linesOf(path)) {
    const auto space = line.find(' ');
    if (space == std::string::npos || space == 0 || space + 1 == line.size()) continue;
    pairs.emplace_back(line.substr(0, space), line.substr(space + 1));
  }
  return pairs;
}

struct SharedDatabase {
  std::mutex mutex;
  std::string directory = kSystemDatabase;
  std::shared_ptr<const MimeDatabase> database;
};

SharedDatabase& sharedDatabase() {
  static SharedDatabase shared;
  return shared;
}

}  // namespace

MimeDatabase MimeDatabase::load(const std::string& directory) {
  MimeDatabase database;
  for (const auto& line : linesOf(directory + "/globs2"))
    if (auto glob = parseGlob(line)) database.globs_.push_back(std::move(*glob));
  for (auto& [type, parent] : pairsOf(directory + "/subclasses"))
    database.parents_.emplace(std::move(type), std::move(parent));
  for (auto& [alias, type] : pairsOf(directory + "/aliases"))
    database.aliases_.emplace(std::move(alias), std::move(type));
  return database;
}

std::shared_ptr<const MimeDatabase> MimeDatabase::shared() {
  auto& shared = sharedDatabase();
  const std::lock_guard lock(shared.mutex);
  if (!shared.database)
    shared.database = std::make_shared<const MimeDatabase>(load(shared.directory));
  return shared.database;
}

std::vector<std::string> MimeDatabase::typesForExtension(const std::string& extension) const {
  if (extension.empty()) return {};
  for (const bool ignoringCase : {false, true}) {
    std::vector<const Glob*> matches;
    for (const auto& glob : globs_) {
      if (glob.pattern.rfind("*.", 0) != 0) continue;
      if (ignoringCase && glob.caseSensitive) continue;
      const int flags = ignoringCase ? FNM_CASEFOLD : 0;
      if (::fnmatch(glob.pattern.c_str() + 2, extension.c_str(), flags) == 0)
        matches.push_back(&glob);
    }
    if (matches.empty()) continue;
    std::stable_sort(matches.begin(), matches.end(), [](const Glob* a, const Glob* b) {
      if (a->weight != b->weight) return a->weight > b->weight;
      return a->pattern.size() > b->pattern.size();
    });
    std::vector<std::string> types;
    for (const Glob* glob : matches) {
      const auto type = canonicalType(glob->type);
      if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
    }
    return types;
  }
  return {};
}

std::string MimeDatabase::canonicalType(const std::string& type) const {
  const auto found = aliases_.find(type);
  return found == aliases_.end() ? type : found->second;
}

bool MimeDatabase::isSubclass(const std::string& type, const std::string& ancestor) const {
  const std::string start = canonicalType(type);
  const std::string goal = canonicalType(ancestor);
  if (start == goal) return true;
  if (goal == kOctetStream) return start.rfind("inode/", 0) != 0;
  if (goal == "text/plain" && start.rfind("text/", 0) == 0) return true;
  // Up through the parents, each type visited once (the file may hold cycles).
  std::set<std::string> seen{start};
  std::vector<std::string> pending{start};
  while (!pending.empty()) {
    const std::string current = pending.back();
    pending.pop_back();
    const auto [begin, end] = parents_.equal_range(current);
    for (auto it = begin; it != end; ++it) {
      const std::string parent = canonicalType(it->second);
      if (parent == goal) return true;
      if (goal == "text/plain" && parent.rfind("text/", 0) == 0) return true;
      if (seen.insert(parent).second) pending.push_back(parent);
    }
  }
  return false;
}

void setMimeDatabaseDirectoryForTesting(std::optional<std::string> directory) {
  auto& shared = sharedDatabase();
  const std::lock_guard lock(shared.mutex);
  shared.directory = directory.value_or(kSystemDatabase);
  shared.database = nullptr;
}

}  // namespace platform
