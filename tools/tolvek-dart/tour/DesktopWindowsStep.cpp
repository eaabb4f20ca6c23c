#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

// The window server's view of the application's windows.
Json tourDesktopWindows(EngineClient& client) { return replyToJson(client.desktop("windows")); }

}  // namespace tolvekdart
