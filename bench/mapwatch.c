// SPDX-License-Identifier: GPL-3.0-or-later
/* Prints a line for each window of the given instance names as the X server reports it mapped,
 * and for each drawing into it once mapped (the DAMAGE extension: what the program painted has
 * reached the server), with a hash of the window's pixels then, so that a frame drawn again
 * unchanged can be told from a new one:
 *   "MS map|paint WINDOW WIDTH HEIGHT INSTANCE [HASH]"
 * MS the wall clock in milliseconds, so that a script can time a program's windows without
 * polling.   mapwatch INSTANCE... */
#include <xcb/damage.h>
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

/* The instance part of WM_CLASS when it is one of `names`, else NULL. */
static const char* instance_of(xcb_connection_t* c, xcb_window_t w, char** names, int count) {
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), NULL);
    const char* found = NULL;
    if (r) {
        const int length = xcb_get_property_value_length(r);
        const char* value = xcb_get_property_value(r);
        for (int i = 0; i < count && length > 0; ++i)
            if ((int)strnlen(value, (size_t)length) == (int)strlen(names[i]) &&
                strncmp(value, names[i], (size_t)length) == 0)
                found = names[i];
    }
    free(r);
    return found;
}

/* The windows being watched; a small list is enough for a start-up. */
enum { slots = 256 };
static struct {
    xcb_window_t window;
    xcb_damage_damage_t damage;
    const char* instance;
    int mapped;
} watched[slots];

static int slot_of(xcb_window_t w) {
    for (int i = 0; i < slots; ++i)
        if (watched[i].window == w)
            return i;
    return -1;
}

/* FNV-1a of the window's pixels. */
static unsigned long long pixels_hash(xcb_connection_t* c, xcb_window_t w, int width, int height) {
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, width, height, ~0u), NULL);
    unsigned long long hash = 1469598103934665603ull;
    if (image) {
        const uint8_t* data = xcb_get_image_data(image);
        for (int i = 0; i < xcb_get_image_data_length(image); ++i)
            hash = (hash ^ data[i]) * 1099511628211ull;
    }
    free(image);
    return hash;
}

static void report(const char* what, xcb_connection_t* c, xcb_window_t w, const char* instance) {
    const long long ms = now_ms();
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), NULL);
    const int width = g ? g->width : 0, height = g ? g->height : 0;
    if (strcmp(what, "paint") == 0)
        printf("%lld %s %u %d %d %s %llx\n", ms, what, w, width, height, instance,
               pixels_hash(c, w, width, height));
    else
        printf("%lld %s %u %d %d %s\n", ms, what, w, width, height, instance);
    fflush(stdout);
    free(g);
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present)
        return 1;
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), NULL));
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
            /* Window managers map clients inside their frames: follow each new window itself,
             * and watch what is drawn into it from the start. */
            const xcb_window_t w = ((xcb_create_notify_event_t*)e)->window;
            uint32_t own = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &own);
            const int free_slot = slot_of(XCB_NONE);
            if (free_slot >= 0) {
                watched[free_slot].window = w;
                watched[free_slot].damage = xcb_generate_id(c);
                watched[free_slot].mapped = 0;
                watched[free_slot].instance = NULL;
                xcb_damage_create(c, watched[free_slot].damage, w,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            }
            xcb_flush(c);
        } else if (type == XCB_MAP_NOTIFY) {
            const xcb_window_t w = ((xcb_map_notify_event_t*)e)->window;
            const char* instance = instance_of(c, w, argv + 1, argc - 1);
            const int i = slot_of(w);
            if (instance) {
                report("map", c, w, instance);
                if (i >= 0) {
                    watched[i].mapped = 1;
                    watched[i].instance = instance;
                }
            } else if (i >= 0) {
                xcb_damage_destroy(c, watched[i].damage);
                watched[i].window = XCB_NONE;
                xcb_flush(c);
            }
        } else if (type == XCB_DESTROY_NOTIFY) {
            const int i = slot_of(((xcb_destroy_notify_event_t*)e)->window);
            if (i >= 0)
                watched[i].window = XCB_NONE; /* the server frees its damage */
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const xcb_damage_notify_event_t* n = (xcb_damage_notify_event_t*)e;
            const int i = slot_of(n->drawable);
            if (i >= 0 && watched[i].mapped)
                report("paint", c, n->drawable, watched[i].instance);
            /* Until the damage is taken away, the server reports no more. */
            if (i >= 0)
                xcb_damage_subtract(c, n->damage, XCB_NONE, XCB_NONE);
            xcb_flush(c);
        }
        free(e);
    }
    return 0;
}
