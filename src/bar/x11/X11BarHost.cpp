#include "bar/x11/X11BarHost.h"

#include <sys/socket.h>
#include <unistd.h>
#include <xcb/randr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "bar/linux/BarKeys.h"
#include "bar/linux/UndockedBarSize.h"
#include "bar/x11/XcbReply.h"

namespace vantrel {
namespace {

constexpr std::uint8_t kRightButton = 3;
// Ticks of the bar's timer in a second.
constexpr int kTicksPerSecond = 1000 / kSampleTimerMilliseconds;
// _NET_WM_DESKTOP's value for a window on every desktop.
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// The Xft.dpi resource in the RESOURCE_MANAGER text, or 0.
int XftDpi(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  for (std::size_t at = resources.find(kName); at != std::string_view::npos;
       at = resources.find(kName, at + 1)) {
    if (at != 0 && resources[at - 1] != '\n') continue;
    const std::string value(resources.substr(at + kName.size(), 16));
    const double dpi = std::strtod(value.c_str(), nullptr);
    if (dpi >= 24 && dpi <= 960) return static_cast<int>(std::lround(dpi));
  }
  return 0;
}

}  // namespace

std::unique_ptr<X11BarHost> X11BarHost::Open(EventLoop& loop) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  if (connection == nullptr || xcb_connection_has_error(connection)) {
    if (connection != nullptr) xcb_disconnect(connection);
    return nullptr;
  }
  return std::unique_ptr<X11BarHost>(new X11BarHost(connection, screenNumber, loop));
}

X11BarHost::X11BarHost(xcb_connection_t* connection, int screenNumber, EventLoop& loop)
    : LoopBarWindow(loop),
      connection_(connection),
      screenNumber_(screenNumber),
      screen_(nullptr),
      window_(xcb_generate_id(connection)),
      appBar_(connection, screenNumber, window_) {
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; i < screenNumber_ && screens.rem > 1; ++i) xcb_screen_next(&screens);
  screen_ = screens.data;
  // A sample tick sends the whole image (about 250 KB on a 1920-pixel
  // screen). A send buffer that holds a whole frame lets the kernel take it
  // at once instead of putting the bar to sleep until the server has read
  // the first part.
  const int frameBytes = 1 << 20;
  setsockopt(xcb_get_file_descriptor(connection_), SOL_SOCKET, SO_SNDBUF, &frameBytes, sizeof frameBytes);
  ReadDpi();
  ReadKeyboardMapping();
  CreateWindow();
  loop_.Watch(xcb_get_file_descriptor(connection_), [this] { Dispatch(); });
}

X11BarHost::~X11BarHost() {
  loop_.Unwatch(xcb_get_file_descriptor(connection_));
  if (!destroyed_) xcb_destroy_window(connection_, window_);
  xcb_disconnect(connection_);
}

xcb_atom_t X11BarHost::Atom(const char* name) {
  Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr));
  return reply ? reply->atom : XCB_NONE;
}

void X11BarHost::ReadDpi() {
  const xcb_atom_t resourceManager = XCB_ATOM_RESOURCE_MANAGER;
  Reply<xcb_get_property_reply_t> resources(xcb_get_property_reply(
      connection_,
      xcb_get_property(connection_, 0, screen_->root, resourceManager, XCB_ATOM_STRING, 0, 1 << 16),
      nullptr));
  int dpi = 0;
  if (resources) {
    dpi = XftDpi({static_cast<const char*>(xcb_get_property_value(resources.get())),
                  static_cast<std::size_t>(xcb_get_property_value_length(resources.get()))});
  }
  if (dpi == 0 && screen_->height_in_millimeters > 0) {
    dpi = static_cast<int>(std::lround(screen_->height_in_pixels * 25.4 / screen_->height_in_millimeters));
  }
  dpi_ = dpi >= 24 && dpi <= 960 ? dpi : 96;
}

void X11BarHost::ReadKeyboardMapping() {
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
      connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr));
  keyCommands_.clear();
  if (!mapping || mapping->keysyms_per_keycode == 0) return;
  const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
  const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
  for (int i = 0; i < length; i += mapping->keysyms_per_keycode) {
    const auto keycode = static_cast<xcb_keycode_t>(setup->min_keycode + i / mapping->keysyms_per_keycode);
    if (const int command = BarCommandForKeysym(keysyms[i])) keyCommands_.emplace_back(keycode, command);
  }
}

void X11BarHost::CreateWindow() {
  const PixelSize size = UndockedBarSize(dpi_).value_or(kFallbackUndockedSize);
  rect_ = {0, 0, size.width, size.height};
  const std::uint32_t values[] = {
      XCB_BACK_PIXMAP_NONE,
      XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_KEY_PRESS |
          XCB_EVENT_MASK_STRUCTURE_NOTIFY,
  };
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen_->root, 0, 0,
                    static_cast<std::uint16_t>(size.width), static_cast<std::uint16_t>(size.height), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                    XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);
  gc_ = xcb_generate_id(connection_);
  const std::uint32_t noExposures = 0;
  xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);

  const auto setAtoms = [this](xcb_atom_t property, std::initializer_list<xcb_atom_t> atoms) {
    const std::vector<xcb_atom_t> list(atoms);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(list.size()), list.data());
  };
  const auto setText = [this](xcb_atom_t property, xcb_atom_t type, std::string_view text) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, property, type, 8,
                        static_cast<std::uint32_t>(text.size()), text.data());
  };
  // A dock from its creation on: some window managers read the type only
  // once, when the window is first managed.
  setAtoms(Atom("_NET_WM_WINDOW_TYPE"), {Atom("_NET_WM_WINDOW_TYPE_DOCK")});
  setAtoms(Atom("_NET_WM_STATE"), {Atom("_NET_WM_STATE_ABOVE"), Atom("_NET_WM_STATE_STICKY"),
                                   Atom("_NET_WM_STATE_SKIP_TASKBAR"), Atom("_NET_WM_STATE_SKIP_PAGER")});
  wmProtocols_ = Atom("WM_PROTOCOLS");
  wmDeleteWindow_ = Atom("WM_DELETE_WINDOW");
  setAtoms(wmProtocols_, {wmDeleteWindow_});
  setText(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "VantRel");
  setText(Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), "VantRel");
  setText(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, std::string_view("vantrel\0VantRel\0", 16));
  // On every virtual desktop, as a bar of the shell is; the sticky state
  // alone leaves some managers (openbox) putting it on the first one.
  wmDesktop_ = Atom("_NET_WM_DESKTOP");
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, wmDesktop_, XCB_ATOM_CARDINAL, 32, 1,
                      &kAllDesktops);
  workArea_ = Atom("_NET_WORKAREA");
  clientList_ = Atom("_NET_CLIENT_LIST");
  strut_ = Atom("_NET_WM_STRUT");
  strutPartial_ = Atom("_NET_WM_STRUT_PARTIAL");
  const auto pid = static_cast<std::uint32_t>(getpid());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32,
                      1, &pid);
  // WM_HINTS: input focus wanted, so that Enter and Esc reach the bar.
  const std::uint32_t hints[9] = {1, 1, 0, 0, 0, 0, 0, 0, 0};
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                      9, hints);

  // A window manager that starts later announces itself on the root, which
  // also carries the work area and the list of windows; its size changes
  // come as configure events where the server has no RandR.
  const std::uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, &rootEvents);
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(connection_, &xcb_randr_id);
  hasRandr_ = randr != nullptr && randr->present;
  if (hasRandr_) {
    randrEventBase_ = randr->first_event;
    xcb_randr_select_input(connection_, screen_->root,
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
  }
  xcb_flush(connection_);
}

void X11BarHost::Attach(BarController& controller, PixelBufferCanvas& canvas) {
  controller_ = &controller;
  canvas_ = &canvas;
  canvas.SetFontDpi(dpi_);
  canvas.SetPresenter(this);
  canvas.SetClientSize({rect_.Width(), rect_.Height()});
}

bool X11BarHost::ConnectionLost() const {
  return xcb_connection_has_error(connection_) != 0;
}

BarRect X11BarHost::RootRect() {
  Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, screen_->root), nullptr));
  if (!geometry) return {0, 0, screen_->width_in_pixels, screen_->height_in_pixels};
  return {0, 0, geometry->width, geometry->height};
}

BarRect X11BarHost::DesktopRect() {
  const BarRect whole = RootRect();
  if (!hasRandr_) return whole;
  Reply<xcb_randr_get_screen_resources_current_reply_t> resources(
      xcb_randr_get_screen_resources_current_reply(
          connection_, xcb_randr_get_screen_resources_current(connection_, screen_->root), nullptr));
  if (!resources) return whole;
  // The primary monitor, else the first one that shows anything.
  Reply<xcb_randr_get_output_primary_reply_t> primary(xcb_randr_get_output_primary_reply(
      connection_, xcb_randr_get_output_primary(connection_, screen_->root), nullptr));
  std::vector<xcb_randr_output_t> outputs;
  if (primary && primary->output != XCB_NONE) outputs.push_back(primary->output);
  const xcb_randr_output_t* all = xcb_randr_get_screen_resources_current_outputs(resources.get());
  outputs.insert(outputs.end(), all,
                 all + xcb_randr_get_screen_resources_current_outputs_length(resources.get()));
  for (xcb_randr_output_t output : outputs) {
    Reply<xcb_randr_get_output_info_reply_t> info(xcb_randr_get_output_info_reply(
        connection_, xcb_randr_get_output_info(connection_, output, resources->config_timestamp), nullptr));
    if (!info || info->crtc == XCB_NONE) continue;
    Reply<xcb_randr_get_crtc_info_reply_t> crtc(xcb_randr_get_crtc_info_reply(
        connection_, xcb_randr_get_crtc_info(connection_, info->crtc, resources->config_timestamp), nullptr));
    if (!crtc || crtc->width == 0 || crtc->height == 0) continue;
    return {crtc->x, crtc->y, crtc->x + crtc->width, crtc->y + crtc->height};
  }
  return whole;
}

void X11BarHost::PlaceTopmost(const BarRect& rc) {
  if (destroyed_) return;
  rect_ = rc;
  placement_.Placed(rc);
  Configure(rc);
  if (!mapped_) {
    xcb_map_window(connection_, window_);
    mapped_ = true;
    // A managed window asks to change desktops through the root.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window_;
    message.type = wmDesktop_;
    message.data.data32[0] = kAllDesktops;
    message.data.data32[1] = 1;  // from an application
    xcb_send_event(connection_, 0, screen_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
  }
  if (canvas_ != nullptr) canvas_->SetClientSize({rc.Width(), rc.Height()});
  xcb_flush(connection_);
}

void X11BarHost::Configure(const BarRect& rc) {
  // Where the bar goes is the program's own choice: window managers place
  // a window themselves unless its size hints say otherwise.
  std::uint32_t hints[18] = {};
  hints[0] = 1 | 2 | 4 | 8 | 16 | 32;  // user and program position and size, minimum, maximum
  hints[1] = static_cast<std::uint32_t>(rc.left);
  hints[2] = static_cast<std::uint32_t>(rc.top);
  hints[3] = hints[5] = hints[7] = static_cast<std::uint32_t>(std::max(1, rc.Width()));
  hints[4] = hints[6] = hints[8] = static_cast<std::uint32_t>(std::max(1, rc.Height()));
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
  const std::uint32_t values[] = {static_cast<std::uint32_t>(rc.left), static_cast<std::uint32_t>(rc.top),
                                  static_cast<std::uint32_t>(std::max(1, rc.Width())),
                                  static_cast<std::uint32_t>(std::max(1, rc.Height())), XCB_STACK_MODE_ABOVE};
  xcb_configure_window(connection_, window_,
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                           XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                       values);
}

void X11BarHost::CheckPlacement() {
  if (destroyed_ || !mapped_ || !appBar_.Connected()) return;
  // A manager honours a place asked for by putting the outer corner of its
  // frame there (a border, if it draws one, lies around the bar): the
  // corner of the root's child that holds the bar, and the bar's own size.
  xcb_window_t outer = window_;
  for (int depth = 0; depth < 8; ++depth) {
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, outer), nullptr));
    if (!tree || tree->parent == XCB_NONE || tree->parent == screen_->root) break;
    outer = tree->parent;
  }
  Reply<xcb_get_geometry_reply_t> frame(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, outer), nullptr));
  Reply<xcb_get_geometry_reply_t> own(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window_), nullptr));
  if (!frame || !own) return;
  const BarRect actual{frame->x, frame->y, frame->x + own->width, frame->y + own->height};
  switch (placement_.Check(actual)) {
    case PlacementWatch::Verdict::AskAgain:
      Configure(placement_.Wanted());
      xcb_flush(connection_);
      break;
    case PlacementWatch::Verdict::GiveUp:
      appBar_.TellCannotDock();
      break;
    case PlacementWatch::Verdict::Fine:
      break;
  }
}

void X11BarHost::Hide() {
  if (destroyed_ || !mapped_) return;
  xcb_unmap_window(connection_, window_);
  mapped_ = false;
  xcb_flush(connection_);
}

void X11BarHost::BeforeTick() {
  // Without a window manager, look for one once a second: not every
  // manager announces itself with a change on the root window.
  if (!appBar_.Connected() && ++ticksWithoutManager_ % kTicksPerSecond == 0 && appBar_.Connect()) {
    NoteDisplayChange();
  }
}

void X11BarHost::Present(const SurfaceView& surface, const PixelRect& area) {
  if (destroyed_ || !mapped_) return;
  const int width = area.right - area.left;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  // A request may carry only so many bytes: large areas go in bands of rows.
  const std::size_t maxBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(connection_)) * 4 - 64;
  const int bandRows = std::max(1, static_cast<int>(maxBytes / rowBytes));
  for (int top = area.top; top < area.bottom; top += bandRows) {
    const int rows = std::min(bandRows, area.bottom - top);
    const std::uint8_t* data;
    if (area.left == 0 && width == surface.stride) {
      data = reinterpret_cast<const std::uint8_t*>(surface.Row(top));
    } else {
      rows_.resize(rowBytes * static_cast<std::size_t>(rows));
      for (int y = 0; y < rows; ++y) {
        std::memcpy(rows_.data() + rowBytes * static_cast<std::size_t>(y), surface.Row(top + y) + area.left,
                    rowBytes);
      }
      data = rows_.data();
    }
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<std::uint16_t>(width),
                  static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(area.left),
                  static_cast<std::int16_t>(top), 0, screen_->root_depth,
                  static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows)), data);
  }
  xcb_flush(connection_);
}

void X11BarHost::Dispatch() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    Handle(*event);
    std::free(event);
  }
  if (ConnectionLost()) {
    // The X server went away: nothing more can be shown or released, but the
    // settings are kept.
    if (controller_ != nullptr) controller_->SaveOnUnexpectedExit();
    loop_.Quit(1);
  }
}

void X11BarHost::Handle(const xcb_generic_event_t& event) {
  if (controller_ == nullptr) return;
  const std::uint8_t type = event.response_type & 0x7F;
  if (hasRandr_ && (type == randrEventBase_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                    type == randrEventBase_ + XCB_RANDR_NOTIFY)) {
    NoteDisplayChange();
    return;
  }
  switch (type) {
    case XCB_EXPOSE:
      if (reinterpret_cast<const xcb_expose_event_t&>(event).count == 0) controller_->OnPaint();
      break;
    case XCB_BUTTON_PRESS: {
      const auto& press = reinterpret_cast<const xcb_button_press_event_t&>(event);
      // A click gives the bar the keyboard, so that Enter and Esc reach it:
      // managers give docks no focus of their own accord.
      xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window_, press.time);
      xcb_flush(connection_);
      if (press.detail == kRightButton) controller_->OnContextMenu({press.root_x, press.root_y});
      break;
    }
    case XCB_KEY_PRESS: {
      const xcb_keycode_t key = reinterpret_cast<const xcb_key_press_event_t&>(event).detail;
      const auto found = std::find_if(keyCommands_.begin(), keyCommands_.end(),
                                      [key](const auto& entry) { return entry.first == key; });
      if (found != keyCommands_.end()) controller_->OnCommand(found->second);
      break;
    }
    case XCB_MAPPING_NOTIFY:
      ReadKeyboardMapping();
      break;
    case XCB_CLIENT_MESSAGE: {
      const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
      // The window manager's close request (Alt-F4, a close button) is Cancel.
      if (message.type == wmProtocols_ && message.data.data32[0] == wmDeleteWindow_) {
        controller_->OnCommand(ID_BAR_CANCEL);
      }
      break;
    }
    case XCB_DESTROY_NOTIFY:
      // Destroyed behind the bar's back (xdotool windowclose): a close.
      if (reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window == window_) {
        destroyed_ = true;
        mapped_ = false;
        appBar_.WindowDestroyed();
        controller_->OnCommand(ID_BAR_CANCEL);
      }
      break;
    case XCB_CONFIGURE_NOTIFY: {
      const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
      if (configure.window == window_) {
        if (canvas_ != nullptr) canvas_->SetClientSize({configure.width, configure.height});
        CheckPlacement();
      } else if (configure.window == screen_->root && !hasRandr_) {
        NoteDisplayChange();  // with RandR, its own notices say it, and say it once
      }
      break;
    }
    case XCB_MAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
      CheckPlacement();
      break;
    case XCB_PROPERTY_NOTIFY:
      HandleProperty(reinterpret_cast<const xcb_property_notify_event_t&>(event));
      break;
    default:
      break;
  }
}

void X11BarHost::HandleProperty(const xcb_property_notify_event_t& property) {
  if (property.window == screen_->root) {
    // A window manager started: the bar docks with it now. Managers set
    // their root properties one by one; each is a chance to find it.
    if (!appBar_.Connected() && appBar_.Connect()) NoteDisplayChange();
    if (property.atom == workArea_ || property.atom == clientList_) NoteNeighboursChanged();
  } else if (property.window != window_ && (property.atom == strut_ || property.atom == strutPartial_)) {
    NoteNeighboursChanged();
  }
}

}  // namespace vantrel
