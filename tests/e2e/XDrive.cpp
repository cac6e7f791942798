// Drives the real editor on an X display the way a user would: starts it, waits for its main
// window titled "Glimra", gives that window the keyboard, and chooses File > Exit with the
// menu's mnemonics (Alt+F, then X). Exits with the editor's own exit status, or 90 and up
// when the driving failed. Run it under xvfb-run; it needs nothing but Xlib.
//
//     glimra_xdrive PROGRAM [ARGUMENTS...]

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A window that went away between listing and asking is no reason to stop.
int IgnoreError(Display *, XErrorEvent *) { return 0; }

// The viewable top-level window named `title`, or 0.
Window FindViewable(Display *display, const std::string &title)
{
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes{};
        char *name = nullptr;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && XFetchName(display, children[i], &name) && name) {
            if (title == name)
                found = children[i];
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    return found;
}

// Presses and releases the key with the modifiers of `state` held.
void TypeKey(Display *display, Window window, KeySym symbol, unsigned int state)
{
    XKeyEvent event{};
    event.display = display;
    event.window = window;
    event.root = DefaultRootWindow(display);
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(display, symbol);
    event.state = state;
    for (int type : {KeyPress, KeyRelease}) {
        event.type = type;
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent *>(&event));
        XFlush(display);
        std::this_thread::sleep_for(50ms);
    }
}

// Waits up to `limit` for the child to end; kills it and answers `failure` if it does not.
int AwaitExit(pid_t child, std::chrono::milliseconds limit, int failure, const char *why)
{
    int status = 0;
    for (auto end = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms))
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : failure;
    std::fprintf(stderr, "glimra_xdrive: %s\n", why);
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return failure;
}

} // namespace

int main(int argc, char **argv)
{
    Display *display = argc < 2 ? nullptr : XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "usage: glimra_xdrive PROGRAM [ARGUMENTS...] on an X display\n");
        return 90;
    }
    XSetErrorHandler(IgnoreError);
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        std::perror("glimra_xdrive: exec");
        _exit(127);
    }
    Window window = 0;
    for (int tries = 0; !window && tries < 300; ++tries) {
        int status = 0;
        if (child < 0 || waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "glimra_xdrive: the program ended before showing its window\n");
            return 91;
        }
        window = FindViewable(display, "Glimra");
        if (!window)
            std::this_thread::sleep_for(100ms);
    }
    if (!window)
        return AwaitExit(child, 0ms, 92, "no window titled \"Glimra\"");

    // Without a window manager nobody gives the window the keyboard: do it as one would.
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(700ms);
    TypeKey(display, window, XK_f, Mod1Mask);
    std::this_thread::sleep_for(500ms); // the File menu opens
    TypeKey(display, window, XK_x, 0);
    const int code = AwaitExit(child, 20s, 93, "File > Exit did not end the program");
    XCloseDisplay(display);
    return code;
}
