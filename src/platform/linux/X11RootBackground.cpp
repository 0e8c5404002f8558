#include "platform/linux/X11RootBackground.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QImage>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

template <class T>
std::unique_ptr<T, decltype(&std::free)> owned(T* reply) {
    return {reply, &std::free};
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_pixmap_t pixmapProperty(xcb_connection_t* c, xcb_window_t root, xcb_atom_t property) {
    auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, property, XCB_ATOM_PIXMAP, 0, 1), nullptr));
    if (!reply || reply->type != XCB_ATOM_PIXMAP || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return XCB_NONE;
    return *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(reply.get()));
}

const xcb_visualtype_t* rootVisual(const xcb_screen_t* screen) {
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual)
                return visuals.data;
        }
    }
    return nullptr;
}

int bitsPerPixel(xcb_connection_t* c, uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel;
    }
    return 0;
}

// The screen takes 32-bit pixels 0x00RRGGBB in the byte order of QImage::Format_RGB32 on
// this machine; other layouts (8 or 16-bit screens) are not handled.
bool screenMatchesRgb32(xcb_connection_t* c, const xcb_screen_t* screen) {
    const xcb_visualtype_t* visual = rootVisual(screen);
    const bool hostLsbFirst = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    const bool serverLsbFirst = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    return visual && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
           visual->red_mask == 0xFF0000 && visual->green_mask == 0x00FF00 &&
           visual->blue_mask == 0x0000FF && bitsPerPixel(c, screen->root_depth) == 32 &&
           hostLsbFirst == serverLsbFirst;
}

// Sends the picture in strips that each fit into one request.
void putImage(xcb_connection_t* c, xcb_pixmap_t pixmap, xcb_gcontext_t gc, const QImage& image,
              uint8_t depth) {
    const uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4;
    const int rowBytes = int(image.bytesPerLine());
    const int rowsPerStrip = std::max(1, int((maxBytes - 64) / uint32_t(rowBytes)));
    for (int y = 0; y < image.height(); y += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, image.height() - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, uint16_t(image.width()),
                      uint16_t(rows), 0, int16_t(y), 0, depth, uint32_t(rows * rowBytes),
                      image.constScanLine(y));
    }
}

}  // namespace

RootBackgroundResult setX11RootBackground(const QImage& picture) {
    // Only a program on the X11 platform draws on the X server's root window: in a Wayland
    // session DISPLAY may name XWayland, whose root window nobody sees.
    if (QGuiApplication::platformName() != QLatin1String("xcb") ||
        qEnvironmentVariableIsEmpty("DISPLAY"))
        return RootBackgroundResult::NoDisplay;
    int screenNumber = 0;
    Connection connection(xcb_connect(nullptr, &screenNumber));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c))
        return RootBackgroundResult::NoDisplay;
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t* screen = screens.data;
    if (!screen || picture.isNull() || !screenMatchesRgb32(c, screen))
        return RootBackgroundResult::Failed;

    const xcb_window_t root = screen->root;
    const int width = screen->width_in_pixels;
    const int height = screen->height_in_pixels;
    // Zoomed as desktops do by default: the picture keeps its proportions, covers the whole
    // screen and is centred, so the overflowing edges of one side are cut off.
    const QImage zoomed =
        picture.scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QImage image =
        zoomed.copy((zoomed.width() - width) / 2, (zoomed.height() - height) / 2, width, height)
            .convertToFormat(QImage::Format_RGB32);

    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    if (xcb_request_check(c, xcb_create_pixmap_checked(c, screen->root_depth, pixmap, root,
                                                       uint16_t(width), uint16_t(height))))
        return RootBackgroundResult::Failed;
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    putImage(c, pixmap, gc, image, screen->root_depth);
    xcb_free_gc(c, gc);

    const xcb_atom_t rootPmap = internAtom(c, "_XROOTPMAP_ID");
    const xcb_atom_t esetrootPmap = internAtom(c, "ESETROOT_PMAP_ID");
    if (rootPmap == XCB_ATOM_NONE || esetrootPmap == XCB_ATOM_NONE)
        return RootBackgroundResult::Failed;
    // A pixmap left by an earlier setter under the same convention is kept alive by that
    // setter's retained resources; freeing them frees it.
    const xcb_pixmap_t previous = pixmapProperty(c, root, rootPmap);
    if (previous != XCB_NONE && previous == pixmapProperty(c, root, esetrootPmap))
        free(xcb_request_check(c, xcb_kill_client_checked(c, previous)));

    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, rootPmap, XCB_ATOM_PIXMAP, 32, 1, &pixmap);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, esetrootPmap, XCB_ATOM_PIXMAP, 32, 1,
                        &pixmap);
    const uint32_t background[] = {pixmap};
    xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXMAP, background);
    xcb_clear_area(c, 0, root, 0, 0, 0, 0);
    // The pixmap must outlive this connection, which closes right after.
    xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    if (xcb_generic_error_t* error =
            xcb_request_check(c, xcb_change_window_attributes_checked(c, root, 0, nullptr))) {
        free(error);
        return RootBackgroundResult::Failed;
    }
    // Requests above that failed are reported as error events.
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        const bool failed = event->response_type == 0;
        free(event);
        if (failed)
            return RootBackgroundResult::Failed;
    }
    return RootBackgroundResult::Set;
}

}  // namespace platform
