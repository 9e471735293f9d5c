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

namespace
{

// The frame's border and title bar around the window.
constexpr int border = 1;
constexpr int title = 20;

xcb_connection_t* x;
xcb_screen_t* screen;
std::map<xcb_window_t, xcb_window_t> frameOf; // window -> frame

void settle(int milliseconds)
{
    // A round trip, so that what was asked has happened before the wait.
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void place(xcb_window_t window, int left, int top)
{
    const uint32_t values[] = {static_cast<uint32_t>(left), static_cast<uint32_t>(top)};
    xcb_configure_window(x, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
}

void frame(xcb_window_t window, int clientMs, int frameMs)
{
    xcb_get_geometry_reply_t* asked =
        xcb_get_geometry_reply(x, xcb_get_geometry(x, window), nullptr);
    if (!asked)
        return;
    const xcb_window_t frame = xcb_generate_id(x);
    const uint32_t values[] = {0x808080, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                                             XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_create_window(x, XCB_COPY_FROM_PARENT, frame, screen->root, 0, 0,
                      static_cast<uint16_t>(asked->width + 2 * border),
                      static_cast<uint16_t>(asked->height + title + border), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_change_save_set(x, XCB_SET_MODE_INSERT, window);
    xcb_reparent_window(x, window, frame, 0, 0);
    xcb_map_window(x, frame);
    xcb_map_window(x, window);
    frameOf[window] = frame;
    settle(clientMs);
    place(window, border, title);
    settle(frameMs);
    place(frame, asked->x, asked->y); // the late move, of which the window hears nothing
    std::free(asked);
}

void configure(const xcb_configure_request_event_t* request)
{
    const auto found = frameOf.find(request->window);
    if (found == frameOf.end()) {
        const uint32_t values[] = {static_cast<uint32_t>(request->x),
                                   static_cast<uint32_t>(request->y), request->width,
                                   request->height};
        const uint16_t mask =
            request->value_mask & (XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                                   XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT);
        uint32_t given[4];
        int count = 0;
        for (int bit = 0; bit < 4; ++bit)
            if (mask & (1 << bit))
                given[count++] = values[bit];
        xcb_configure_window(x, request->window, mask, given);
        return;
    }
    xcb_get_geometry_reply_t* now =
        xcb_get_geometry_reply(x, xcb_get_geometry(x, found->second), nullptr);
    if (!now)
        return;
    const int left = request->value_mask & XCB_CONFIG_WINDOW_X ? request->x : now->x + border;
    const int top = request->value_mask & XCB_CONFIG_WINDOW_Y ? request->y : now->y + title;
    const int width =
        request->value_mask & XCB_CONFIG_WINDOW_WIDTH ? request->width : now->width - 2 * border;
    const int height = request->value_mask & XCB_CONFIG_WINDOW_HEIGHT
                           ? request->height
                           : now->height - title - border;
    std::free(now);
    const uint32_t frameValues[] = {
        static_cast<uint32_t>(left - border), static_cast<uint32_t>(top - title),
        static_cast<uint32_t>(width + 2 * border), static_cast<uint32_t>(height + title + border)};
    xcb_configure_window(x, found->second,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         frameValues);
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(x, request->window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    xcb_configure_notify_event_t notify = {};
    notify.response_type = XCB_CONFIGURE_NOTIFY;
    notify.event = request->window;
    notify.window = request->window;
    notify.x = static_cast<int16_t>(left);
    notify.y = static_cast<int16_t>(top);
    notify.width = static_cast<uint16_t>(width);
    notify.height = static_cast<uint16_t>(height);
    xcb_send_event(x, 0, request->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&notify));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: lateframewm CLIENT_MS FRAME_MS\n");
        return 2;
    }
    const int clientMs = std::atoi(argv[1]);
    const int frameMs = std::atoi(argv[2]);
    x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "lateframewm: no display\n");
        return 1;
    }
    screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* error = xcb_request_check(
            x, xcb_change_window_attributes_checked(x, screen->root, XCB_CW_EVENT_MASK, &mask))) {
        std::fprintf(stderr, "lateframewm: another window manager runs\n");
        std::free(error);
        return 1;
    }
    std::puts("lateframewm: managing");
    std::fflush(stdout);
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        switch (event->response_type & 0x7f) {
        case XCB_MAP_REQUEST: {
            const xcb_window_t window = reinterpret_cast<xcb_map_request_event_t*>(event)->window;
            const auto found = frameOf.find(window);
            if (found == frameOf.end()) {
                frame(window, clientMs, frameMs);
            } else {
                xcb_map_window(x, found->second);
                xcb_map_window(x, window);
            }
            break;
        }
        case XCB_CONFIGURE_REQUEST:
            configure(reinterpret_cast<xcb_configure_request_event_t*>(event));
            break;
        case XCB_UNMAP_NOTIFY: {
            const auto found =
                frameOf.find(reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window);
            if (found != frameOf.end())
                xcb_unmap_window(x, found->second);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto found =
                frameOf.find(reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window);
            if (found != frameOf.end()) {
                xcb_destroy_window(x, found->second);
                frameOf.erase(found);
            }
            break;
        }
        default:
            break;
        }
        std::free(event);
        xcb_flush(x);
    }
    return 0;
}
