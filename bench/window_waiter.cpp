// Starts a program and prints how long it took until a top-level window with
// the given title was mapped on the X display, then leaves the program running.
// Usage: velox_window_waiter TITLE PROGRAM [ARGS...]  -> prints "<pid> <milliseconds>"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool HasTitle(Display* display, Window window, const char* title) {
  char* name = nullptr;
  const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
  if (name) XFree(name);
  return match;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    // The caller reads our output to its end: the program must not hold it open.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    close(ConnectionNumber(display));
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && HasTitle(display, event.xmap.window, argv[1])) break;
    if (event.type == CreateNotify) XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
    if (event.type == PropertyNotify && HasTitle(display, event.xproperty.window, argv[1])) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, event.xproperty.window, &attributes) && attributes.map_state == IsViewable) break;
    }
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d %.1f\n", static_cast<int>(pid), ms);
  return 0;
}
