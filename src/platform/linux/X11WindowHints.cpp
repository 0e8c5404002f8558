#include "platform/linux/X11WindowHints.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {
// WM_HINTS as ICCCM lays it out: nine 32-bit fields, the flags first.
constexpr int HintFields = 9;
constexpr uint32_t StateHint = 1u << 1;
constexpr int InitialStateField = 2;
constexpr uint32_t NormalState = 1;
constexpr uint32_t IconicState = 3;
}  // namespace

void clearIconicStart(QWidget* window) {
    if (!window || !window->windowHandle() || !window->testAttribute(Qt::WA_WState_Created))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, HintFields),
        nullptr);
    if (!reply)
        return;
    uint32_t hints[HintFields] = {};
    const int fields = reply->format == 32 ? xcb_get_property_value_length(reply) / 4 : 0;
    if (fields > InitialStateField)
        std::memcpy(hints, xcb_get_property_value(reply),
                    sizeof(uint32_t) * std::min(fields, HintFields));
    std::free(reply);
    if (!(hints[0] & StateHint) || hints[InitialStateField] != IconicState)
        return;
    hints[InitialStateField] = NormalState;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                        32, HintFields, hints);
    xcb_flush(connection);
}

}  // namespace platform
