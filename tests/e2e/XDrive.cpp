// Drives the real editor on an X display the way a user would: starts it, waits for its main
// window titled "Glimra", gives that window the keyboard, and chooses File > Exit with the
// menu's mnemonics (Alt+F, then X). Exits with the editor's own exit status, or 90 and up
// when the driving failed. Run it under xvfb-run; it needs nothing but Xlib.
//
//     glimra_xdrive PROGRAM [ARGUMENTS...]

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int FailedToStart = 90;
constexpr int NoDisplay = 91;
constexpr int NoWindow = 92;
constexpr int DidNotExit = 93;

int XErrors = 0;
int CountError(Display *, XErrorEvent *)
{
    ++XErrors; // a window that went away between listing and asking is no reason to stop
    return 0;
}

std::string WindowName(Display *display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        name.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
        return name;
    }
    char *plain = nullptr;
    if (XFetchName(display, window, &plain) && plain) {
        name = plain;
        XFree(plain);
    }
    return name;
}

Window FindViewable(Display *display, Window parent, const std::string &title)
{
    Window root = 0, unused = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &unused, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && WindowName(display, children[i]) == title)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

void SendKey(Display *display, Window window, KeySym symbol, unsigned int state, bool press)
{
    XKeyEvent event{};
    event.type = press ? KeyPress : KeyRelease;
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.subwindow = None;
    event.time = CurrentTime;
    event.x = event.y = event.x_root = event.y_root = 1;
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(display, symbol);
    event.state = state;
    XSendEvent(display, window, True, press ? KeyPressMask : KeyReleaseMask,
               reinterpret_cast<XEvent *>(&event));
    XFlush(display);
    std::this_thread::sleep_for(50ms);
}

bool WaitForExit(pid_t child, std::chrono::seconds limit, int &status)
{
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (waitpid(child, &status, WNOHANG) == child)
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

int Stop(pid_t child, int code)
{
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return FailedToStart;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "glimra_xdrive: cannot open the display\n");
        return NoDisplay;
    }
    XSetErrorHandler(CountError);

    const pid_t child = fork();
    if (child < 0)
        return FailedToStart;
    if (child == 0) {
        execv(argv[1], argv + 1);
        std::perror("glimra_xdrive: exec");
        _exit(127);
    }

    Window window = 0;
    const auto end = Clock::now() + 30s;
    int status = 0;
    while (!window && Clock::now() < end) {
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "glimra_xdrive: the program ended before showing its window\n");
            return NoWindow;
        }
        window = FindViewable(display, DefaultRootWindow(display), "Glimra");
        if (!window)
            std::this_thread::sleep_for(100ms);
    }
    if (!window) {
        std::fprintf(stderr, "glimra_xdrive: no window titled \"Glimra\"\n");
        return Stop(child, NoWindow);
    }
    std::printf("glimra_xdrive: found the main window 0x%lx\n", window);

    // Without a window manager nobody gives the window the keyboard: do it as one would.
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(700ms);

    SendKey(display, window, XK_Alt_L, 0, true);
    SendKey(display, window, XK_f, Mod1Mask, true);
    SendKey(display, window, XK_f, Mod1Mask, false);
    SendKey(display, window, XK_Alt_L, Mod1Mask, false);
    std::this_thread::sleep_for(500ms); // the File menu opens
    SendKey(display, window, XK_x, 0, true);
    SendKey(display, window, XK_x, 0, false);

    if (!WaitForExit(child, 20s, status)) {
        std::fprintf(stderr, "glimra_xdrive: File > Exit did not end the program\n");
        XCloseDisplay(display);
        return Stop(child, DidNotExit);
    }
    XCloseDisplay(display);
    if (WIFEXITED(status)) {
        std::printf("glimra_xdrive: the program exited with %d\n", WEXITSTATUS(status));
        return WEXITSTATUS(status);
    }
    std::fprintf(stderr, "glimra_xdrive: the program was killed by signal %d\n", WTERMSIG(status));
    return DidNotExit;
}
