#pragma once

#include <glib.h>

#include <string>

namespace platform {

// Linux has no Dock: starting the application again while it runs is the user's way back
// to it. The first instance listens on a local socket named for its user, display and
// bundle identifier; a later start with the same three finds it there, asks it to reopen
// (it runs the reopen as a click on the Dock icon would) and ends. Main thread only.
class ReopenHandover {
 public:
  ReopenHandover(const std::string& display, const std::string& bundleIdentifier);
  ~ReopenHandover();
  ReopenHandover(const ReopenHandover&) = delete;
  ReopenHandover& operator=(const ReopenHandover&) = delete;

  // True when a running instance took the request, so this one should end; otherwise
  // this instance now listens for later starts (or runs without, if it cannot).
  bool handOver();

 private:
  bool askRunningInstance() const;
  bool listen();
  static gboolean onRequest(gint listener, GIOCondition, gpointer self);

  std::string address_;
  int listener_ = -1;
  guint source_ = 0;
};

}  // namespace platform
