#pragma once

namespace platform {

// From now on SIGTERM and SIGINT end the application as its terminate: does (the delegate
// asked, NSApplicationWillTerminateNotification posted, the run loop stopped, so the
// process exits through its ordinary end and removes what it made, its engine socket
// included), instead of killing it where it stands. The signals are taken by a thread of
// their own, which hands them to the main thread; every thread started afterwards leaves
// them to it. Called once, from the main thread, before other threads start; later calls
// do nothing.
void routeTerminationSignalsToApplication();

}  // namespace platform
