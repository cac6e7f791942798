// Drives the real editor on an X display the way a user would: starts it, waits for its main
// window titled "Glimra" (or the title given), saves a picture of that window when asked,
// gives it the keyboard, and chooses File > Exit with the menu's mnemonics (Alt+F, then X).
// Exits with the editor's own exit status, or 90 and up when the driving failed. Run it under
// xvfb-run; it needs nothing but Xlib.
//
//     glimra_xdrive [--title TITLE] [--screenshot FILE.bmp] PROGRAM [ARGUMENTS...]

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

// The channel of a pixel under `mask`, scaled to 8 bits.
uint8_t Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long top = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / top);
}

void PutLE(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Writes what the window shows as a 24-bit Windows bitmap; false when it cannot.
bool SaveScreenshot(Display *display, Window window, const char *path)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    const int w = attributes.width, h = attributes.height;
    XImage *image = XGetImage(display, window, 0, 0, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const uint32_t row = static_cast<uint32_t>((3 * w + 3) & ~3);
    std::vector<uint8_t> bytes{'B', 'M'};
    const auto width = static_cast<uint32_t>(w), height = static_cast<uint32_t>(h);
    for (uint32_t v : {54 + row * height, 0u, 54u, 40u, width, height})
        PutLE(bytes, v, 4);
    PutLE(bytes, 1, 2); // planes
    PutLE(bytes, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLE(bytes, 0, 4);
    for (int y = h - 1; y >= 0; --y) { // bottom row first
        const size_t start = bytes.size();
        for (int x = 0; x < w; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            bytes.push_back(Channel(pixel, attributes.visual->blue_mask));
            bytes.push_back(Channel(pixel, attributes.visual->green_mask));
            bytes.push_back(Channel(pixel, attributes.visual->red_mask));
        }
        bytes.resize(start + row, 0);
    }
    XDestroyImage(image);
    std::FILE *file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
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
    std::string title = "Glimra";
    const char *screenshot = nullptr;
    int first = 1;
    for (; first + 1 < argc; first += 2) {
        if (std::strcmp(argv[first], "--title") == 0)
            title = argv[first + 1];
        else if (std::strcmp(argv[first], "--screenshot") == 0)
            screenshot = argv[first + 1];
        else
            break;
    }
    Display *display = first >= argc ? nullptr : XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "usage: glimra_xdrive [--title TITLE] [--screenshot FILE.bmp] "
                             "PROGRAM [ARGUMENTS...] on an X display\n");
        return 90;
    }
    XSetErrorHandler(IgnoreError);
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[first], argv + first);
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
        window = FindViewable(display, title);
        if (!window)
            std::this_thread::sleep_for(100ms);
    }
    if (!window)
        return AwaitExit(child, 0ms, 92, ("no window titled \"" + title + "\"").c_str());

    // Without a window manager nobody gives the window the keyboard: do it as one would.
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(700ms);
    if (screenshot && !SaveScreenshot(display, window, screenshot))
        return AwaitExit(child, 0ms, 94, "cannot save the screenshot");
    TypeKey(display, window, XK_f, Mod1Mask);
    std::this_thread::sleep_for(500ms); // the File menu opens
    TypeKey(display, window, XK_x, 0);
    const int code = AwaitExit(child, 20s, 93, "File > Exit did not end the program");
    XCloseDisplay(display);
    return code;
}
