#include "macos/Flutter/engine/EngineTransport.h"

void startEngineTransportFromEnvironment() {}
