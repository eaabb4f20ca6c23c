#include "platform/desktop/FileClipboardFormats.h"

#include <algorithm>
#include <cctype>

#include "platform/Foundation/URL.h"

namespace platform::clipboard_formats {

namespace {

constexpr char kCut[] = "cut";
constexpr char kCopy[] = "copy";

struct Contents {
  std::vector<const std::string*> fileURLs;
  std::vector<const std::string*> urls;  // file URLs and others, in order
  const std::string* text = nullptr;
  const std::string* mode = nullptr;
};

Contents contentsOf(const std::vector<NSPasteboardItem>& items,
                    const std::optional<std::string>& modeType) {
  Contents contents;
  for (const auto& item : items) {
    if (const std::string* url = item.findString(NSPasteboardTypeFileURL)) {
      contents.fileURLs.push_back(url);
      contents.urls.push_back(url);
    } else if (const std::string* other = item.findString(NSPasteboardTypeURL)) {
      contents.urls.push_back(other);
    }
    if (contents.text == nullptr) contents.text = item.findString(NSPasteboardTypeString);
    if (modeType && contents.mode == nullptr) contents.mode = item.findString(*modeType);
  }
  return contents;
}

bool isCut(const Contents& contents) { return contents.mode != nullptr && *contents.mode == kCut; }

std::string joined(const std::vector<const std::string*>& pieces, std::string_view separator,
                   bool terminated) {
  std::string text;
  for (size_t index = 0; index < pieces.size(); ++index) {
    if (index > 0) text += separator;
    text += *pieces[index];
  }
  if (terminated && !pieces.empty()) text += separator;
  return text;
}

std::string pathsText(const Contents& contents) {
  std::string text;
  for (size_t index = 0; index < contents.fileURLs.size(); ++index) {
    if (index > 0) text += '\n';
    const std::string& url = *contents.fileURLs[index];
    const auto parsed = URL::fromString(url);
    text += parsed ? parsed->path() : url;
  }
  return text;
}

// Whether `text` begins with the lower-case `prefix`, in any case.
bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char wanted, char given) {
           return std::tolower(static_cast<unsigned char>(given)) == wanted;
         });
}

bool isLocalHost(std::string_view host) {
  return host.empty() || (host.size() == 9 && startsWithNoCase(host, "localhost"));
}

// A local file URL as "file:///...", or nothing for comments, other schemes and hosts.
std::optional<std::string> localFileURL(std::string_view line) {
  if (line.empty() || line.front() == '#' || !startsWithNoCase(line, "file:")) return std::nullopt;
  std::string_view rest = line.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    if (!isLocalHost(rest.substr(0, slash))) return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (!rest.starts_with("/")) return std::nullopt;
  return "file://" + std::string(rest);
}

// The lines of `text`, each without its line end (LF or CR LF).
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

const std::string* find(const std::map<std::string, std::string>& fetched,
                        std::string_view target) {
  const auto found = fetched.find(std::string(target));
  return found == fetched.end() ? nullptr : &found->second;
}

// The targets `contents` offer, in order of preference.
std::vector<std::string> targetsOf(const Contents& contents,
                                   const std::optional<std::string>& modeType) {
  std::vector<std::string> targets;
  if (contents.mode != nullptr) targets.push_back(*modeType);
  if (!contents.fileURLs.empty()) targets.push_back(kGnomeCopiedFiles);
  if (!contents.urls.empty()) targets.push_back(kUriList);
  if (!contents.urls.empty() && isCut(contents)) targets.push_back(kKdeCutSelection);
  if (!contents.fileURLs.empty() || contents.text != nullptr) {
    targets.push_back(kUtf8String);
    targets.push_back(kPlainText);
  }
  return targets;
}

}  // namespace

std::vector<std::string> offeredTargets(const std::vector<NSPasteboardItem>& items,
                                        const std::optional<std::string>& modeType) {
  return targetsOf(contentsOf(items, modeType), modeType);
}

std::optional<std::string> offeredData(const std::vector<NSPasteboardItem>& items,
                                       std::string_view target,
                                       const std::optional<std::string>& modeType) {
  // The items are gone through once, for the targets they offer and the answer.
  const Contents contents = contentsOf(items, modeType);
  const auto targets = targetsOf(contents, modeType);
  if (std::find(targets.begin(), targets.end(), target) == targets.end()) return std::nullopt;
  if (modeType && target == *modeType) return *contents.mode;
  if (target == kGnomeCopiedFiles)
    return std::string(isCut(contents) ? kCut : kCopy) + "\n" +
           joined(contents.fileURLs, "\n", false);
  if (target == kUriList) return joined(contents.urls, "\r\n", true);
  if (target == kKdeCutSelection) return "1";
  return contents.fileURLs.empty() ? *contents.text : pathsText(contents);
}

std::vector<std::string> targetsToFetch(const std::vector<std::string>& offered,
                                        const std::optional<std::string>& modeType) {
  const auto offers = [&](std::string_view target) {
    return std::find(offered.begin(), offered.end(), target) != offered.end();
  };
  std::vector<std::string> wanted;
  if (modeType && offers(*modeType)) wanted.push_back(*modeType);
  if (offers(kGnomeCopiedFiles)) {
    wanted.push_back(kGnomeCopiedFiles);
  } else if (offers(kUriList)) {
    wanted.push_back(kUriList);
    if (offers(kKdeCutSelection)) wanted.push_back(kKdeCutSelection);
  } else if (offers(kUtf8String)) {
    wanted.push_back(kUtf8String);
  } else if (offers(kPlainText)) {
    wanted.push_back(kPlainText);
  }
  return wanted;
}

std::vector<NSPasteboardItem> itemsOfFetched(const std::map<std::string, std::string>& fetched,
                                             const std::optional<std::string>& modeType) {
  std::vector<NSPasteboardItem> items;
  std::optional<std::string> mode;
  std::vector<std::string_view> lines;
  if (const std::string* gnome = find(fetched, kGnomeCopiedFiles)) {
    lines = linesOf(*gnome);
    if (!lines.empty() && (lines.front() == kCut || lines.front() == kCopy)) {
      mode = std::string(lines.front());
      lines.erase(lines.begin());
    }
  } else if (const std::string* uris = find(fetched, kUriList)) {
    lines = linesOf(*uris);
    const std::string* kde = find(fetched, kKdeCutSelection);
    mode = kde != nullptr && kde->starts_with('1') ? kCut : kCopy;
  }
  for (const auto line : lines) {
    if (auto url = localFileURL(line))
      items.emplace_back(NSPasteboardItem{{NSPasteboardTypeFileURL, std::move(*url)}});
  }
  if (modeType) {
    if (const std::string* own = find(fetched, *modeType)) mode = *own;
  }
  if (items.empty()) {
    const std::string* text = find(fetched, kUtf8String);
    if (text == nullptr) text = find(fetched, kPlainText);
    if (text != nullptr) items.emplace_back(NSPasteboardItem{{NSPasteboardTypeString, *text}});
  }
  if (modeType && mode && !items.empty()) items.front().setString(*mode, *modeType);
  return items;
}

}  // namespace platform::clipboard_formats
