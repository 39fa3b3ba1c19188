// SPDX-License-Identifier: GPL-3.0-or-later
/* Prints a line for each window of the given instance name that is mapped, as the X server
 * reports it: "MS WINDOW WIDTH HEIGHT", MS the wall clock in milliseconds, so that a script can
 * time a program's windows without polling.   mapwatch INSTANCE */
#include <xcb/xcb.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

static int has_instance(xcb_connection_t* c, xcb_window_t w, const char* instance) {
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), NULL);
    int found =
        r && xcb_get_property_value_length(r) > 0 &&
        strncmp(xcb_get_property_value(r), instance, (size_t)xcb_get_property_value_length(r)) == 0;
    free(r);
    return found;
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c))
        return 1;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    printf("ready\n");
    fflush(stdout);
    xcb_generic_event_t* e;
    while ((e = xcb_wait_for_event(c))) {
        const uint8_t type = e->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            /* Window managers map clients inside their frames: follow each new window itself. */
            uint32_t own = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(c, ((xcb_create_notify_event_t*)e)->window,
                                         XCB_CW_EVENT_MASK, &own);
            xcb_flush(c);
        } else if (type == XCB_MAP_NOTIFY) {
            const long long ms = now_ms();
            xcb_window_t w = ((xcb_map_notify_event_t*)e)->window;
            if (has_instance(c, w, argv[1])) {
                xcb_get_geometry_reply_t* g =
                    xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
                printf("%lld %u %d %d\n", ms, w, g ? g->width : 0, g ? g->height : 0);
                fflush(stdout);
                free(g);
            }
        }
        free(e);
    }
    return 0;
}
