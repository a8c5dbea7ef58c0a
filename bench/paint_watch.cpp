// Prints "map WINDOW USEC" when a top-level window is mapped and "paint WINDOW USEC" when a
// program first draws into it, USEC being the wall clock in microseconds (as bash's
// EPOCHREALTIME). The first drawing is seen through the DAMAGE extension: a damage record made
// as the window is created reports once, when its region stops being empty. The windows are
// the root's children, so the server must run without a window manager.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

long long nowMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

void report(const char *what, xcb_window_t window)
{
    std::printf("%s 0x%x %lld\n", what, window, nowMicros());
    std::fflush(stdout);
}

} // namespace

int main()
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fputs("paint-watch: cannot open the display\n", stderr);
        return 2;
    }
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_damage_id);
    if (ext == nullptr || ext->present == 0) {
        std::fputs("paint-watch: the server has no DAMAGE extension\n", stderr);
        return 2;
    }
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    const uint8_t damageNotify = ext->first_event + XCB_DAMAGE_NOTIFY;
    while (xcb_generic_event_t *raw = xcb_wait_for_event(c)) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> e(raw, &std::free);
        const uint8_t type = e->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *create = reinterpret_cast<xcb_create_notify_event_t *>(raw);
            xcb_damage_create(c, xcb_generate_id(c), create->window,
                              XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(c);
        } else if (type == XCB_MAP_NOTIFY) {
            report("map", reinterpret_cast<xcb_map_notify_event_t *>(raw)->window);
        } else if (type == damageNotify) {
            report("paint", reinterpret_cast<xcb_damage_notify_event_t *>(raw)->drawable);
        }
    }
    return 0;
}
