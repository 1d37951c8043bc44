#include "platform/input/DesktopKeyboard.h"

#include <cstdlib>
#include <memory>
#include <string_view>

#include <QGuiApplication>
#include <xcb/xcb.h>

#include "platform/input/KeyboardLayouts.h"

namespace desktopkeyboard {

std::optional<std::pair<std::string, std::string>> Names()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    // The names the server's keyboard was set with, on the root window.
    static constexpr std::string_view Property = "_XKB_RULES_NAMES";
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(Property.size()), Property.data());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_STRING, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 8)
        return std::nullopt;
    const std::string_view bytes(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                 static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    return layouts::FirstDesktopLayout(bytes);
}

} // namespace desktopkeyboard
