// SPDX-License-Identifier: GPL-3.0-or-later
/* Preloaded into moorline by bench/startup.sh: notes the moment the program asks the X server
 * to map each window, with the CPU time used so far (every thread) and the size the window has,
 * so that the CPU cost of start-up up to the first panel is read exactly, whatever else the
 * machine is doing. Writes "CPU_MS WALL_MS WIDTH HEIGHT" lines to $MOORLINE_MAPCLOCK. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <xcb/xcb.h>

static double ms(clockid_t clock) {
    struct timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec * 1000 + (double)t.tv_nsec / 1e6;
}

xcb_void_cookie_t xcb_map_window(xcb_connection_t* c, xcb_window_t window) {
    const double cpu = ms(CLOCK_PROCESS_CPUTIME_ID);
    const double wall = ms(CLOCK_REALTIME);
    static xcb_void_cookie_t (*real)(xcb_connection_t*, xcb_window_t);
    if (!real)
        real = (xcb_void_cookie_t(*)(xcb_connection_t*, xcb_window_t))dlsym(RTLD_NEXT,
                                                                            "xcb_map_window");
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), NULL);
    const char* path = getenv("MOORLINE_MAPCLOCK");
    FILE* out = path ? fopen(path, "a") : NULL;
    if (out) {
        fprintf(out, "%.1f %.0f %d %d\n", cpu, wall, g ? g->width : 0, g ? g->height : 0);
        fclose(out);
    }
    free(g);
    return real(c, window);
}
