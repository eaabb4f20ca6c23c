#pragma once

// Attaches the running engine to a Dart-side peer through the Unix socket named by
// TOLVEK_ENGINE_SOCKET, when it is set. Called once start-up has finished. When the
// socket cannot be made (another process listens there, the path is too long), it writes
// one line on standard error and ends the process with status 2.
void startEngineTransportFromEnvironment();
