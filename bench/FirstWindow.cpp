// Starts a program and says how long it took to map its first window on the X server, and how much memory it
// holds a second later: "<milliseconds> <resident kB>". The X server tells us of the mapping as it happens, so
// the figure does not depend on how often anything polls.
//
//   tutor_firstwindow PROGRAM [ARGUMENT...]

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "BenchSupport.h"

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t *x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "no X server at DISPLAY\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);
    free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr)); // the mask is in place

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[1], argv + 1);
        _exit(127);
    }

    double mappedMs = -1;
    const auto deadline = start + std::chrono::seconds(30);
    while (mappedMs < 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&fd, 1, 100);
        while (xcb_generic_event_t *event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                // Only a real window counts, not a 1 x 1 helper a toolkit may map.
                xcb_get_geometry_reply_t *geometry =
                    xcb_get_geometry_reply(x, xcb_get_geometry(x, map->window), nullptr);
                if (geometry && geometry->width > 1 && geometry->height > 1 && mappedMs < 0)
                    mappedMs =
                        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                free(geometry);
            }
            free(event);
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before showing a window\n", argv[1]);
            return 1;
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long resident = bench::ResidentKb(std::to_string(pid));
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(x);
    if (mappedMs < 0) {
        std::fprintf(stderr, "%s showed no window in 30 s\n", argv[1]);
        return 1;
    }
    std::printf("%.0f %ld\n", mappedMs, resident);
    return 0;
}
