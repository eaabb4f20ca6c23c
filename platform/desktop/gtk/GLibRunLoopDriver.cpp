#include "platform/desktop/gtk/GLibRunLoopDriver.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/MainThread.h"

namespace platform {

namespace {

gboolean queueHasWork(GSource*) { return mainQueue().pendingCount() > 0; }

gboolean prepareQueue(GSource* source, gint* timeout) {
  *timeout = -1;
  return queueHasWork(source);
}

// Runs the items queued when the source became ready; items they queue wait for the next
// round, so window-system events are served between them.
gboolean runQueuedWork(GSource*, GSourceFunc, gpointer) {
  for (size_t count = mainQueue().pendingCount(); count > 0; --count) {
    if (!mainQueue().runOne(std::chrono::nanoseconds::zero())) break;
  }
  return G_SOURCE_CONTINUE;
}

GSourceFuncs queueSourceFunctions = {prepareQueue, queueHasWork, runQueuedWork,
                                     nullptr,      nullptr,      nullptr};

void wakeMainContext() { g_main_context_wakeup(g_main_context_default()); }

gboolean timeoutPassed(gpointer passed) {
  *static_cast<bool*>(passed) = true;
  return G_SOURCE_REMOVE;
}

}  // namespace

GLibRunLoopDriver::GLibRunLoopDriver()
    : queueSource_(g_source_new(&queueSourceFunctions, sizeof(GSource))) {
  assertMainThread();
  g_source_set_name(queueSource_, "main dispatch queue");
  g_source_attach(queueSource_, g_main_context_default());
  mainQueue().setWakeHook(wakeMainContext);
}

GLibRunLoopDriver::~GLibRunLoopDriver() {
  mainQueue().setWakeHook(nullptr);
  g_source_destroy(queueSource_);
  g_source_unref(queueSource_);
}

void GLibRunLoopDriver::runOnce(std::optional<std::chrono::nanoseconds> timeout) {
  assertMainThread();
  if (!timeout) {
    g_main_context_iteration(g_main_context_default(), TRUE);
    return;
  }
  // A timer bounds the wait; it is removed unless it fired.
  bool passed = false;
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(*timeout).count();
  const guint timer = g_timeout_add(static_cast<guint>(milliseconds), timeoutPassed, &passed);
  g_main_context_iteration(g_main_context_default(), TRUE);
  if (!passed) g_source_remove(timer);
}

void GLibRunLoopDriver::wake() { wakeMainContext(); }

}  // namespace platform
