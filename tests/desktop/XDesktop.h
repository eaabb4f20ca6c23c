#pragma once

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// A real X desktop for the tests: an Xvfb server of one 1440 x 900 screen and the openbox
// window manager on it, started here and stopped with this object, and a connection to it
// through which the tests look at windows as any X client does.
class XDesktop {
 public:
  XDesktop() {
    // A window may go while the tests look at it (a dialog that closes): a request about it
    // fails, and the answer says nothing, instead of Xlib ending the test program.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    xvfb_ = startXvfb();
    try {
      display_ = XOpenDisplay(name_.c_str());
      if (display_ == nullptr) throw std::runtime_error("cannot connect to Xvfb at " + name_);
      windowManager_ = startWindowManager();
      if (!waitFor([this] { return windowManagerRuns(); }, std::chrono::seconds(20)))
        throw std::runtime_error("openbox did not take the display " + name_);
    } catch (...) {
      shutDown();
      throw;
    }
  }
  ~XDesktop() { shutDown(); }
  XDesktop(const XDesktop&) = delete;
  XDesktop& operator=(const XDesktop&) = delete;

  // The DISPLAY value of the server.
  const std::string& name() const { return name_; }
  Display* display() const { return display_; }

  // Polls `condition` until it holds or `timeout` passes: the window system answers in
  // its own time.
  static bool waitFor(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // The client window whose _NET_WM_NAME (or WM_NAME) is `title`, or 0.
  Window windowNamed(const std::string& title) const {
    return findNamed(DefaultRootWindow(display_), title, false);
  }
  // The same among the windows shown (a window of that name may linger unmapped).
  Window shownWindowNamed(const std::string& title) const {
    return findNamed(DefaultRootWindow(display_), title, true);
  }

  std::string title(Window window) const {
    const auto utf8 = property(window, "_NET_WM_NAME", "UTF8_STRING");
    if (!utf8.empty()) return std::string(utf8.begin(), utf8.end());
    char* name = nullptr;
    std::string text;
    if (XFetchName(display_, window, &name) && name != nullptr) text = name;
    if (name != nullptr) XFree(name);
    return text;
  }

  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
  };
  // The window's size, its place on the root window and whether it is shown.
  Geometry geometry(Window window) const {
    XSync(display_, False);
    XWindowAttributes attributes{};
    Geometry geometry;
    if (!XGetWindowAttributes(display_, window, &attributes)) return geometry;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &geometry.x,
                          &geometry.y, &child);
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    geometry.viewable = attributes.map_state == IsViewable;
    return geometry;
  }

  // Whether the window's _NET_WM_STATE holds the atom named `state`.
  bool hasState(Window window, const char* state) const {
    const Atom wanted = XInternAtom(display_, state, False);
    for (const Atom atom : atoms(window, "_NET_WM_STATE"))
      if (atom == wanted) return true;
    return false;
  }

  // Whether the keyboard focus is on the window (or inside it).
  bool hasFocus(Window window) const {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    while (focus != 0 && focus != PointerRoot) {
      if (focus == window) return true;
      Window root = 0, parent = 0, *children = nullptr;
      unsigned int count = 0;
      if (!XQueryTree(display_, focus, &root, &parent, &children, &count)) return false;
      if (children != nullptr) XFree(children);
      focus = parent == root ? 0 : parent;
    }
    return false;
  }

  // ICCCM's WM_STATE: 1 normal, 3 iconic, 0 withdrawn (or none).
  long wmState(Window window) const {
    const auto bytes = property(window, "WM_STATE", "WM_STATE");
    if (bytes.size() < sizeof(long)) return 0;
    long state = 0;
    std::memcpy(&state, bytes.data(), sizeof(long));
    return state;
  }

  // The colour (0xRRGGBB) the screen shows at a point of the window.
  uint32_t pixel(Window window, int x, int y) const {
    XSync(display_, False);
    XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0xFFFFFFFF;
    const uint32_t colour = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return colour;
  }

  // Runs an X client of this display (xclip, say) to its end and returns what it wrote on
  // its standard output.
  std::string clientOutput(const std::vector<std::string>& command) const {
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for " + command[0]);
    const pid_t pid = spawn(command, {"DISPLAY=" + name_}, -1, -1, pipe[1]);
    close(pipe[1]);
    std::string output;
    char buffer[65536];
    for (ssize_t got; (got = read(pipe[0], buffer, sizeof buffer)) > 0;) output.append(buffer, got);
    close(pipe[0]);
    waitpid(pid, nullptr, 0);
    return output;
  }
  // Runs an X client of this display with `input` on its standard input, until the process
  // started ends (xclip -i then serves the selection from a process of its own), and returns
  // its wait status.
  int runClient(const std::vector<std::string>& command, const std::string& input) const {
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for " + command[0]);
    const pid_t pid = spawn(command, {"DISPLAY=" + name_}, -1, pipe[0]);
    close(pipe[0]);
    for (size_t written = 0; written < input.size();) {
      const ssize_t wrote = write(pipe[1], input.data() + written, input.size() - written);
      if (wrote <= 0) break;
      written += static_cast<size_t>(wrote);
    }
    close(pipe[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }

  // The pointer and its first button, through XTest: moves to a point of the window,
  // presses, releases, and a click (both).
  void movePointer(Window window, int x, int y) const {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XSync(display_, False);
  }
  void press() const {
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
  }
  void release() const {
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
  }
  void click(Window window, int x, int y) const {
    movePointer(window, x, y);
    press();
    release();
  }

  // The keyboard, through XTest, to whichever window has the focus: one key by its keysym
  // name ("Return", "Escape", "l"), with Control held when asked, and text typed key by
  // key (printable ASCII, Shift where the character needs it).
  void key(const char* name, bool control = false) const { tap(XStringToKeysym(name), control); }
  void type(const std::string& text) const {
    for (const char character : text) tap(static_cast<KeySym>(character), false);
  }

 private:
  void tap(KeySym symbol, bool control) const {
    const KeyCode code = XKeysymToKeycode(display_, symbol);
    if (code == 0) throw std::invalid_argument("no key types that character");
    const bool shift = XkbKeycodeToKeysym(display_, code, 0, 0) != symbol;
    const KeyCode shiftKey = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode controlKey = XKeysymToKeycode(display_, XK_Control_L);
    if (control) XTestFakeKeyEvent(display_, controlKey, True, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display_, controlKey, False, CurrentTime);
    XSync(display_, False);
  }

  std::vector<unsigned char> property(Window window, const char* name, const char* type) const {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False,
                           XInternAtom(display_, type, False), &actualType, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
      const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
      bytes.assign(data, data + count * unit);
    }
    if (data != nullptr) XFree(data);
    return bytes;
  }

  std::vector<Atom> atoms(Window window, const char* name) const {
    const auto bytes = property(window, name, "ATOM");
    std::vector<Atom> list(bytes.size() / sizeof(Atom));
    if (!list.empty()) std::memcpy(list.data(), bytes.data(), list.size() * sizeof(Atom));
    return list;
  }

  Window findNamed(Window window, const std::string& wanted, bool shownOnly) const {
    if (title(window) == wanted && (!shownOnly || geometry(window).viewable)) return window;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int index = 0; index < count && found == 0; ++index)
      found = findNamed(children[index], wanted, shownOnly);
    if (children != nullptr) XFree(children);
    return found;
  }

  void shutDown() {
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = nullptr;
    stop(windowManager_);
    stop(xvfb_);
    windowManager_ = xvfb_ = -1;
  }

  pid_t startWindowManager() const {
    return spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + name_});
  }

  bool windowManagerRuns() const {
    const auto bytes = property(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK", "WINDOW");
    return !bytes.empty();
  }

  // Starts `command` with the test's environment plus `extraEnvironment`, its standard
  // output (unless `output` is given) and error to /dev/null, its standard input from
  // `input` when given and, when `displayFd` is given, that descriptor as its descriptor 3.
  // It ends with the test process, even one that is killed.
  static pid_t spawn(const std::vector<std::string>& command,
                     const std::vector<std::string>& extraEnvironment, int displayFd = -1,
                     int input = -1, int output = -1) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> envp, argv;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> words = command;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("cannot fork for " + words[0]);
    if (pid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) _exit(127);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(output >= 0 ? output : quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
      if (input >= 0) dup2(input, STDIN_FILENO);
      if (displayFd == 3) fcntl(3, F_SETFD, 0);  // keep it across exec
      if (displayFd >= 0 && displayFd != 3) dup2(displayFd, 3);
      execvpe(words[0].c_str(), argv.data(), envp.data());
      _exit(127);
    }
    return pid;
  }

  // Xvfb picks a free display itself and writes its number to descriptor 3.
  pid_t startXvfb() {
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for Xvfb");
    const pid_t pid =
        spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1440x900x24", "-nolisten", "tcp"}, {},
              pipe[1]);
    close(pipe[1]);
    std::string number;
    char byte = 0;
    while (read(pipe[0], &byte, 1) == 1 && byte != '\n') number += byte;
    close(pipe[0]);
    if (number.empty()) {
      stop(pid);
      throw std::runtime_error("Xvfb did not start (scripts/setup.sh installs it)");
    }
    name_ = ":" + number;
    return pid;
  }

  static void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }

  std::string name_;
  pid_t xvfb_ = -1;
  pid_t windowManager_ = -1;
  Display* display_ = nullptr;
};
