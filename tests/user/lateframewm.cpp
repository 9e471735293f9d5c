// A window manager that frames each new window late, as a busy one may: it puts the window into
// a frame standing at 0,0, tells the window its place inside the frame CLIENT_MS later, and
// FRAME_MS after that moves the frame to where the window asked to be, without a word to the
// window. Later configure requests are answered as ICCCM asks: the frame moves and the window
// gets a synthetic ConfigureNotify. No stacking, no focus: a window mapped later lies above.
// Usage: lateframewm CLIENT_MS FRAME_MS

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

namespace
{

// The frame's border and title bar around the window.
constexpr int border = 1;
constexpr int title = 20;
constexpr uint16_t xy = XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
constexpr uint16_t size = XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;

xcb_connection_t* x;

void configure(xcb_window_t window, uint16_t mask, std::vector<int> values)
{
    xcb_configure_window(x, window, mask, reinterpret_cast<const uint32_t*>(values.data()));
}

xcb_get_geometry_reply_t* geometry(xcb_window_t window)
{
    return xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr);
}

void settle(int milliseconds)
{
    // A round trip, so that what was asked has happened before the wait.
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

int main(int argc, char** argv)
{
    x = xcb_connect(nullptr, nullptr);
    if (argc != 3 || xcb_connection_has_error(x)) {
        std::fprintf(stderr, "usage, on a display: lateframewm CLIENT_MS FRAME_MS\n");
        return 2;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    if (xcb_generic_error_t* error = xcb_request_check(
            x, xcb_change_window_attributes_checked(x, screen->root, XCB_CW_EVENT_MASK, &events))) {
        std::fprintf(stderr, "lateframewm: another window manager runs\n");
        std::free(error);
        return 1;
    }
    std::puts("lateframewm: managing");
    std::fflush(stdout);
    std::map<xcb_window_t, xcb_window_t> frameOf; // window -> frame
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        const int type = event->response_type & 0x7f;
        if (type == XCB_MAP_REQUEST) {
            const xcb_window_t window = reinterpret_cast<xcb_map_request_event_t*>(event)->window;
            if (frameOf.contains(window)) {
                xcb_map_window(x, frameOf[window]);
                xcb_map_window(x, window);
            } else if (xcb_get_geometry_reply_t* asked = geometry(window)) {
                const xcb_window_t frame = frameOf[window] = xcb_generate_id(x);
                const uint32_t values[] = {0x808080, events};
                xcb_create_window(x, XCB_COPY_FROM_PARENT, frame, screen->root, 0, 0,
                                  static_cast<uint16_t>(asked->width + 2 * border),
                                  static_cast<uint16_t>(asked->height + title + border), 0,
                                  XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                                  XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
                xcb_change_save_set(x, XCB_SET_MODE_INSERT, window);
                xcb_reparent_window(x, window, frame, 0, 0);
                xcb_map_window(x, frame);
                xcb_map_window(x, window);
                settle(std::atoi(argv[1]));
                configure(window, xy, {border, title});
                settle(std::atoi(argv[2]));
                configure(frame, xy,
                          {asked->x, asked->y}); // the late move the window never hears of
                std::free(asked);
            }
        } else if (type == XCB_CONFIGURE_REQUEST) {
            // A request holds the window's present values where it asks for none.
            const auto* request = reinterpret_cast<xcb_configure_request_event_t*>(event);
            const auto found = frameOf.find(request->window);
            if (found == frameOf.end()) {
                configure(request->window, xy | size,
                          {request->x, request->y, request->width, request->height});
            } else if (xcb_get_geometry_reply_t* now = geometry(found->second)) {
                xcb_configure_notify_event_t notify = {};
                notify.response_type = XCB_CONFIGURE_NOTIFY;
                notify.event = notify.window = request->window;
                notify.x = request->value_mask & XCB_CONFIG_WINDOW_X ? request->x : now->x + border;
                notify.y = request->value_mask & XCB_CONFIG_WINDOW_Y ? request->y : now->y + title;
                notify.width = request->width;
                notify.height = request->height;
                std::free(now);
                configure(found->second, xy | size,
                          {notify.x - border, notify.y - title, notify.width + 2 * border,
                           notify.height + title + border});
                configure(request->window, size, {notify.width, notify.height});
                xcb_send_event(x, 0, request->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                               reinterpret_cast<const char*>(&notify));
            }
        } else if (type == XCB_UNMAP_NOTIFY || type == XCB_DESTROY_NOTIFY) {
            // Both name the window in the same place.
            const auto found =
                frameOf.find(reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window);
            if (found != frameOf.end() && type == XCB_UNMAP_NOTIFY) {
                xcb_unmap_window(x, found->second);
            } else if (found != frameOf.end()) {
                xcb_destroy_window(x, found->second);
                frameOf.erase(found);
            }
        }
        std::free(event);
        xcb_flush(x);
    }
    return 0;
}
