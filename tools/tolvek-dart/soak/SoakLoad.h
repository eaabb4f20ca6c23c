#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/tolvek-dart/EngineClient.h"

namespace tolvekdart {

// The load a soak puts on a running host through one peer connection, with many requests
// in flight at once: channel messages to every channel the application serves (and one it
// does not), FFI calls of the window and clipboard exports spread over Dart threads, and
// DESKTOP calls that resize, move between screens, close and reopen the main window.
struct SoakSettings {
  uint64_t messages = 100000;                      // channel messages that want a reply
  uint8_t dartThreads = 8;                         // FFI calls go to Dart threads 1..dartThreads
  uint32_t ffiPerMessage = 1;                      // FFI calls sent beside each message
  uint32_t desktopEvery = 16;                      // one DESKTOP call every this many messages
  uint32_t inFlight = 256;                         // requests sent but not yet answered, at most
  std::chrono::milliseconds answerTimeout{30000};  // the longest wait for any answer
};

struct SoakCounts {
  uint64_t messages = 0;             // MESSAGE frames that wanted a reply
  uint64_t postedMessages = 0;       // MESSAGE frames with id 0 (no reply wanted)
  uint64_t ffiCalls = 0;             // FFI frames
  uint64_t desktopCalls = 0;         // DESKTOP frames
  uint64_t answered = 0;             // answers received for the three kinds above
  uint64_t errors = 0;               // answers that were wrong (listed in `firstError`)
  uint64_t hostMessages = 0;         // MESSAGE frames the host sent (answered empty)
  uint64_t absentExports = 0;        // exports this host does not have (refused, then skipped)
  uint64_t refusedDesktopCalls = 0;  // makeKeyWindow refused while the window was hidden
  std::string firstError;
  uint64_t unanswered() const { return messages + ffiCalls + desktopCalls - answered; }
};

// Runs the load to its end and waits for every answer. `progress` is called after each
// tenth of the messages was sent (with the count sent so far). Throws EngineClientError
// when the connection ends or an answer does not come in time.
SoakCounts runSoakLoad(EngineClient& client, const SoakSettings& settings,
                       const std::function<void(uint64_t sent)>& progress);

}  // namespace tolvekdart
