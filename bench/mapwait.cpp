// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// Starts a program and reports when its window with the given title is first mapped:
//   mapwait TITLE program [args...]
// prints "<milliseconds since the start> <pid> <window id>" as soon as it is, then waits for the
// program and exits with its status. Watching X events costs no polling delay.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>

extern char **environ;

namespace
{

// Windows may go away between an event and the question about them.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

bool titled(Display *display, Window window, const std::string &title)
{
    for (const char *name : {"_NET_WM_NAME", "WM_NAME"}) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) != Success ||
            !data)
            continue;
        const bool same =
            format == 8 && title == std::string(reinterpret_cast<char *>(data), count);
        XFree(data);
        if (same)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: mapwait TITLE program [args...]\n");
        return 2;
    }
    const std::string title = argv[1];
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "mapwait: no display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror("mapwait");
        return 2;
    }

    // Follow every new top-level window; the one with the title reports its own mapping.
    Window found = 0;
    const int fd = ConnectionNumber(display);
    while (!found) {
        if (!XPending(display)) {
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(fd, &fds);
            timeval limit{30, 0};
            if (select(fd + 1, &fds, nullptr, nullptr, &limit) <= 0) {
                std::fprintf(stderr, "mapwait: no window \"%s\" within 30 s\n", title.c_str());
                return 3;
            }
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) {
            const Window window = event.xcreatewindow.window;
            XSelectInput(display, window, StructureNotifyMask);
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes) &&
                attributes.map_state != IsUnmapped && titled(display, window, title))
                found = window;
        } else if (event.type == MapNotify && titled(display, event.xmap.window, title)) {
            found = event.xmap.window;
        }
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("%.1f %d %lu\n", elapsed.count(), int(pid), found);
    std::fflush(stdout);
    XCloseDisplay(display);

    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
