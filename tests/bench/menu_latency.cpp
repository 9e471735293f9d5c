// What the user waits for after pressing an entry button: clicks a point of the screen through
// the X server's test extension and times the click until a new window (the menu) is mapped and
// until its pixels show drawn content, then closes it with Escape. Prints one line per press.
// Usage: bench_menu_latency X Y PRESSES [FILE_TO_CHANGE]
// With FILE_TO_CHANGE, its last line is changed before every press (a file changed since the
// last press); without, the file stays as it is.

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void fake(xcb_connection_t* connection, uint8_t type, uint8_t detail, int16_t x = 0, int16_t y = 0)
{
    xcb_test_fake_input(connection, type, detail, XCB_CURRENT_TIME, XCB_NONE, x, y, 0);
    xcb_flush(connection);
}

// Whether the window shows more than one colour in a band across its top: the first item drawn.
bool painted(xcb_connection_t* connection, xcb_window_t window)
{
    const auto geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return false;
    const uint16_t width = geometry->width;
    const uint16_t height = geometry->height < 24 ? geometry->height : 24;
    std::free(geometry);
    auto* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u),
        nullptr);
    if (!image)
        return false;
    const auto* data = reinterpret_cast<const uint32_t*>(xcb_get_image_data(image));
    const int pixels = xcb_get_image_data_length(image) / 4;
    bool varied = false;
    for (int i = 1; i < pixels && !varied; ++i)
        varied = data[i] != data[0];
    std::free(image);
    return varied;
}

void changeLastLine(const char* path, int press)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto end = text.rfind('\n');
    text =
        text.substr(0, end == std::string::npos ? 0 : end + 1) + "changed " + std::to_string(press);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_menu_latency X Y PRESSES [FILE_TO_CHANGE]\n");
        return 2;
    }
    const auto x = static_cast<int16_t>(std::atoi(argv[1]));
    const auto y = static_cast<int16_t>(std::atoi(argv[2]));
    const int presses = std::atoi(argv[3]);
    const char* changed = argc > 4 ? argv[4] : nullptr;

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    fake(connection, XCB_MOTION_NOTIFY, 0, x, y);
    constexpr uint8_t escapeKeycode = 9;

    for (int press = 1; press <= presses; ++press) {
        if (changed)
            changeLastLine(changed, press);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        while (xcb_generic_event_t* stale = xcb_poll_for_event(connection))
            std::free(stale);
        const auto start = Clock::now();
        fake(connection, XCB_BUTTON_PRESS, 1);
        fake(connection, XCB_BUTTON_RELEASE, 1);
        xcb_window_t menu = XCB_NONE;
        while (menu == XCB_NONE) {
            xcb_generic_event_t* event = xcb_wait_for_event(connection);
            if (!event)
                return 1;
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
                menu = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
            std::free(event);
        }
        const double mapped = msSince(start);
        while (!painted(connection, menu))
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        std::printf("press %d: mapped %.1f ms, painted %.1f ms\n", press, mapped, msSince(start));
        std::fflush(stdout);
        fake(connection, XCB_KEY_PRESS, escapeKeycode);
        fake(connection, XCB_KEY_RELEASE, escapeKeycode);
        for (bool gone = false; !gone;) {
            xcb_generic_event_t* event = xcb_wait_for_event(connection);
            if (!event)
                return 1;
            gone = (event->response_type & 0x7f) == XCB_UNMAP_NOTIFY &&
                   reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == menu;
            std::free(event);
        }
    }
    xcb_disconnect(connection);
    return 0;
}
