#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/AppKit/NSPasteboardItem.h"

// How the general pasteboard's items appear on a real desktop's clipboard, where each
// program offers its contents in formats named by targets (MIME types and X11 names), and
// how another program's formats come back as items. Plain text in, plain text out: the
// clipboard servers move the bytes.
namespace platform::clipboard_formats {

// File and other URLs, one per line, each line ended by CR LF (RFC 2483).
inline constexpr char kUriList[] = "text/uri-list";
// "copy" or "cut", then the file URLs, each on a line of its own after a line feed: what
// GNOME-family file managers write and read.
inline constexpr char kGnomeCopiedFiles[] = "x-special/gnome-copied-files";
// "1" beside a text/uri-list when the files were cut: what KDE file managers write and read.
inline constexpr char kKdeCutSelection[] = "application/x-kde-cutselection";
// Plain text: the file paths, separated by line feeds, when there are file URLs.
inline constexpr char kUtf8String[] = "UTF8_STRING";
inline constexpr char kPlainText[] = "text/plain;charset=utf-8";

// The targets the application's `items` offer, in order of preference. `modeType` is the
// pasteboard type that says "cut" or "copy" for the file URLs, when the application declared
// one; it is offered as a target of that name as well.
std::vector<std::string> offeredTargets(const std::vector<NSPasteboardItem>& items,
                                        const std::optional<std::string>& modeType);
// The bytes `target` answers for `items`, or nothing when the items do not offer it.
std::optional<std::string> offeredData(const std::vector<NSPasteboardItem>& items,
                                       std::string_view target,
                                       const std::optional<std::string>& modeType);

// Of the targets another program offers, the ones to fetch to read its contents: the
// mode type and the file managers' formats for files, else plain text.
std::vector<std::string> targetsToFetch(const std::vector<std::string>& offered,
                                        const std::optional<std::string>& modeType);
// The items for what was fetched (target to bytes): one item per local file URL, in order,
// the first also carrying the mode under `modeType` when the contents say cut or copy;
// else one item with the text. URLs of other schemes and of other hosts, comments and empty
// lines are left out; "file://localhost/" becomes "file:///".
std::vector<NSPasteboardItem> itemsOfFetched(const std::map<std::string, std::string>& fetched,
                                             const std::optional<std::string>& modeType);

}  // namespace platform::clipboard_formats
