#include "platform/qt/x11_desktop.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>

namespace kelmora {
namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t* Connection() {
  if (qGuiApp == nullptr) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

// The default screen's number, as xcb reads it from DISPLAY (":0.1" is screen 1).
int DefaultScreenNumber() {
  char* host = nullptr;
  int display = 0;
  int screen = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
  std::free(host);
  return screen;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = DefaultScreenNumber(); i > 0 && it.rem > 1; --i) xcb_screen_next(&it);
  return it.rem > 0 ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

std::string TraySelectionName() {
  return "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreenNumber());
}

// The atoms of these names, asked for in one round trip.
template <std::size_t N>
std::array<xcb_atom_t, N> Atoms(xcb_connection_t* connection,
                                const std::array<std::string, N>& names) {
  std::array<xcb_intern_atom_cookie_t, N> cookies{};
  for (std::size_t i = 0; i < N; ++i) {
    cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(names[i].size()),
                                 names[i].data());
  }
  std::array<xcb_atom_t, N> atoms{};
  for (std::size_t i = 0; i < N; ++i) {
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookies[i], nullptr), &std::free);
    atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  }
  return atoms;
}

xcb_atom_t Atom(xcb_connection_t* connection, const std::string& name) {
  return Atoms<1>(connection, {name})[0];
}

}  // namespace

bool OnX11() {
  return Connection() != nullptr;
}

std::optional<PixelMargins> ReportedFrame(WId id) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || id == 0) return std::nullopt;
  const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
  const ReplyPtr<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(connection,
                             xcb_get_property(connection, 0, static_cast<xcb_window_t>(id), extents,
                                              XCB_ATOM_CARDINAL, 0, 4),
                             nullptr),
      &std::free);
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) {
    return std::nullopt;
  }
  // Left, right, top, bottom.
  const auto* value = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return PixelMargins{static_cast<int>(value[0]), static_cast<int>(value[2]),
                      static_cast<int>(value[1]), static_cast<int>(value[3])};
}

void RequestFrame(WId window) {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr || window == 0) return;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window);
  message.type = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
  xcb_send_event(connection, 0, RootWindow(connection),
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&message));
  xcb_flush(connection);
}

bool XEmbedTrayPresent() {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return false;
  const ReplyPtr<xcb_get_selection_owner_reply_t> reply(
      xcb_get_selection_owner_reply(
          connection, xcb_get_selection_owner(connection, Atom(connection, TraySelectionName())),
          nullptr),
      &std::free);
  return reply && reply->owner != XCB_WINDOW_NONE;
}

X11DesktopEvents::X11DesktopEvents() {
  xcb_connection_t* connection = Connection();
  if (connection == nullptr) return;
  const auto atoms =
      Atoms<3>(connection, {std::string("MANAGER"), TraySelectionName(), "_NET_FRAME_EXTENTS"});
  manager_atom_ = atoms[0];
  tray_selection_atom_ = atoms[1];
  frame_extents_atom_ = atoms[2];
  QCoreApplication::instance()->installNativeEventFilter(this);
  installed_ = true;
}

X11DesktopEvents::~X11DesktopEvents() {
  if (installed_ && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

// Qt selects the root window's structure events (which carry the MANAGER message) and each of
// its windows' property changes.
bool X11DesktopEvents::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  switch (event->response_type & 0x7F) {
    case XCB_CLIENT_MESSAGE: {
      const auto* client = static_cast<const xcb_client_message_event_t*>(message);
      if (client->type == manager_atom_ && client->format == 32 &&
          client->data.data32[1] == tray_selection_atom_ && on_xembed_tray) {
        on_xembed_tray();
      }
      break;
    }
    case XCB_PROPERTY_NOTIFY: {
      const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
      if (property->atom == frame_extents_atom_ && on_frame_reported) {
        on_frame_reported(static_cast<WId>(property->window));
      }
      break;
    }
    default:
      break;
  }
  return false;
}

}  // namespace kelmora
