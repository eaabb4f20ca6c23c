#include "platform/AppKit/NSApplication.h"

#include <algorithm>

#include "platform/AppKit/NSWindow.h"
#include "platform/dispatch/MainThread.h"
#include "platform/dispatch/RunLoop.h"

std::shared_ptr<NSApplication> NSApplication::sharedApplication() {
  static const auto application = std::make_shared<NSApplication>();
  return application;
}

std::shared_ptr<NSApplication> NSApp() { return NSApplication::sharedApplication(); }

std::vector<std::shared_ptr<NSWindow>> NSApplication::windows() const {
  assertMainThread();
  return windows_;
}

std::shared_ptr<NSWindow> NSApplication::windowWithWindowNumber(NSInteger windowNumber) const {
  assertMainThread();
  for (const auto& window : windows_)
    if (window->windowNumber() == windowNumber) return window;
  return nullptr;
}

std::shared_ptr<NSWindow> NSApplication::keyWindow() const {
  assertMainThread();
  return keyWindow_.lock();
}

std::shared_ptr<NSWindow> NSApplication::mainWindow() const {
  assertMainThread();
  return mainWindow_.lock();
}

std::shared_ptr<NSApplicationDelegate> NSApplication::delegate() const {
  assertMainThread();
  return delegate_.lock();
}

void NSApplication::setDelegate(const std::shared_ptr<NSApplicationDelegate>& delegate) {
  assertMainThread();
  delegate_ = delegate;
}

std::shared_ptr<NSEvent> NSApplication::currentEvent() const {
  assertMainThread();
  return currentEvent_;
}

void NSApplication::sendEvent(const std::shared_ptr<NSEvent>& event) {
  assertMainThread();
  currentEvent_ = event;
  if (auto window = event->window()) window->sendEvent(event);
}

void NSApplication::finishLaunching() {
  assertMainThread();
  if (launched_) return;
  launched_ = true;
  post(NSApplicationWillFinishLaunchingNotification,
       &NSApplicationDelegate::applicationWillFinishLaunching);
  post(NSApplicationDidFinishLaunchingNotification,
       &NSApplicationDelegate::applicationDidFinishLaunching);
}

void NSApplication::run() {
  assertMainThread();
  finishLaunching();
  running_ = true;
  platform::RunLoop::main().run();
  running_ = false;
}

bool NSApplication::isRunning() const { return running_; }

void NSApplication::terminate(const std::shared_ptr<NSObject>&) {
  assertMainThread();
  if (auto delegate = this->delegate()) {
    if (delegate->applicationShouldTerminate(self<NSApplication>()) != NSTerminateNow) return;
  }
  post(NSApplicationWillTerminateNotification, &NSApplicationDelegate::applicationWillTerminate);
  platform::RunLoop::main().stop();
}

bool NSApplication::hasVisibleWindows() const {
  assertMainThread();
  return std::any_of(windows_.begin(), windows_.end(),
                     [](const auto& window) { return window->isVisible(); });
}

bool NSApplication::reopen() {
  assertMainThread();
  const bool visible = hasVisibleWindows();
  auto delegate = this->delegate();
  const bool handle =
      delegate ? delegate->applicationShouldHandleReopen(self<NSApplication>(), visible) : true;
  if (handle && !hasVisibleWindows()) {
    const auto windows = windows_;
    for (const auto& window : windows) {
      if (window->isMiniaturized()) {
        window->deminiaturize(nullptr);
        break;
      }
    }
  }
  return handle;
}

std::shared_ptr<NSWindow> NSApplication::interfaceWindow() const {
  assertMainThread();
  return interfaceWindow_.lock();
}

void NSApplication::setInterfaceWindow(const std::shared_ptr<NSWindow>& window) {
  assertMainThread();
  interfaceWindow_ = window;
}

void NSApplication::resetForTesting() {
  assertMainThread();
  windows_.clear();
  keyWindow_.reset();
  mainWindow_.reset();
  interfaceWindow_.reset();
  delegate_.reset();
  currentEvent_.reset();
  launched_ = false;
}

void NSApplication::insertWindow(const std::shared_ptr<NSWindow>& window) {
  windows_.insert(windows_.begin(), window);
}

void NSApplication::moveWindowToFront(const NSWindow* window) {
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [window](const auto& entry) { return entry.get() == window; });
  if (found != windows_.end()) std::rotate(windows_.begin(), found, found + 1);
}

void NSApplication::removeWindow(const NSWindow* window) {
  std::erase_if(windows_, [window](const auto& entry) { return entry.get() == window; });
}

void NSApplication::passKeyAndMainOn() {
  const auto windows = windows_;
  if (!keyWindow_.lock()) {
    for (const auto& window : windows) {
      if (window->isVisible() && window->canBecomeKeyWindow()) {
        window->makeKeyWindow();
        break;
      }
    }
  }
  if (!mainWindow_.lock()) {
    for (const auto& window : windows) {
      if (window->isVisible() && window->canBecomeMainWindow()) {
        window->makeMainWindow();
        break;
      }
    }
  }
}

void NSApplication::windowDidClose() {
  if (hasVisibleWindows()) return;
  auto delegate = this->delegate();
  if (delegate && delegate->applicationShouldTerminateAfterLastWindowClosed(self<NSApplication>()))
    terminate(nullptr);
}

void NSApplication::post(const NSNotificationName& name,
                         void (NSApplicationDelegate::*callback)(const NSNotification&)) {
  auto application = self<NSApplication>();
  const NSNotification notification{name, application};
  if (auto delegate = this->delegate()) ((*delegate).*callback)(notification);
  NSNotificationCenter::defaultCenter()->postNotificationName(name, application);
}
