#pragma once

#include <string>
#include <vector>

// The directories a search can name (their values are the platform's).
enum NSSearchPathDirectory : unsigned long {
  NSLibraryDirectory = 5,
  NSDocumentDirectory = 9,
  NSCachesDirectory = 13,
  NSApplicationSupportDirectory = 14,
  NSDownloadsDirectory = 15,
};

// The domains a search covers, as a bit mask.
enum NSSearchPathDomainMask : unsigned long {
  NSUserDomainMask = 1,
  NSLocalDomainMask = 2,
  NSNetworkDomainMask = 4,
  NSSystemDomainMask = 8,
  NSAllDomainsMask = 0x0ffff,
};

// The paths of `directory` in the domains of `domainMask`. Only the user domain has
// directories here, laid over the XDG base and user directories:
//
//   NSDocumentDirectory            XDG_DOCUMENTS_DIR of user-dirs.dirs, default ~/Documents
//   NSDownloadsDirectory           XDG_DOWNLOAD_DIR of user-dirs.dirs, default ~/Downloads
//   NSApplicationSupportDirectory  $XDG_DATA_HOME, default ~/.local/share
//   NSCachesDirectory              $XDG_CACHE_HOME, default ~/.cache
//   NSLibraryDirectory             ~/Library
//
// The environment and user-dirs.dirs are read at each call. With `expandTilde` false a
// path inside the home folder starts with "~". The result is empty for other directories
// or domains, and when no home folder can be found (HOME unset or relative and no
// password entry). Nothing is created and existence is not tested.
std::vector<std::string> NSSearchPathForDirectoriesInDomains(unsigned long directory,
                                                             unsigned long domainMask,
                                                             bool expandTilde);
