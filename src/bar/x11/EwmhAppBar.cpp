#include "bar/x11/EwmhAppBar.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "bar/x11/XcbReply.h"

namespace vantrel {
namespace {

bool Overlaps(std::uint32_t start, std::uint32_t end, const BarRect& rc) {
  return static_cast<std::int64_t>(start) < rc.right && static_cast<std::int64_t>(end) >= rc.left;
}

}  // namespace

std::unique_ptr<EwmhAppBar> EwmhAppBar::Connect(xcb_connection_t* connection, int screen,
                                                xcb_window_t window) {
  if (connection == nullptr || xcb_connection_has_error(connection)) return nullptr;
  std::unique_ptr<EwmhAppBar> bar(new EwmhAppBar(connection, screen, window));
  xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection, &bar->ewmh_);
  if (cookies == nullptr || !xcb_ewmh_init_atoms_replies(&bar->ewmh_, cookies, nullptr)) {
    bar->ewmh_ = {};
    return nullptr;
  }
  // A compliant manager names its check window on the root, and the check
  // window names itself.
  xcb_window_t check = XCB_NONE;
  const xcb_window_t root = bar->ewmh_.screens[screen]->root;
  if (!xcb_ewmh_get_supporting_wm_check_reply(
          &bar->ewmh_, xcb_ewmh_get_supporting_wm_check(&bar->ewmh_, root), &check, nullptr) ||
      check == XCB_NONE) {
    return nullptr;
  }
  xcb_window_t self = XCB_NONE;
  if (!xcb_ewmh_get_supporting_wm_check_reply(
          &bar->ewmh_, xcb_ewmh_get_supporting_wm_check(&bar->ewmh_, check), &self, nullptr) ||
      self != check) {
    return nullptr;
  }
  return bar;
}

EwmhAppBar::EwmhAppBar(xcb_connection_t* connection, int screen, xcb_window_t window)
    : connection_(connection), screen_(screen), window_(window) {}

EwmhAppBar::~EwmhAppBar() {
  if (ewmh_.connection != nullptr) xcb_ewmh_connection_wipe(&ewmh_);
}

void EwmhAppBar::New() {
  xcb_atom_t dock = ewmh_._NET_WM_WINDOW_TYPE_DOCK;
  xcb_ewmh_set_wm_window_type(&ewmh_, window_, 1, &dock);
  xcb_flush(connection_);
}

void EwmhAppBar::SetAutoHideBar(DockEdge, bool) {
  // Dock windows are never hidden by the window manager; nothing to ask.
}

int EwmhAppBar::RootHeight() {
  xcb_screen_t* screen = ewmh_.screens[screen_];
  Reply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, screen->root), nullptr));
  return geometry ? geometry->height : screen->height_in_pixels;
}

int EwmhAppBar::ReservedByOthers(DockEdge edge, const BarRect& rc, int rootHeight, int& floor) {
  const xcb_window_t root = ewmh_.screens[screen_]->root;

  // Managed windows, and the root's own children for managers that do not
  // list their docks.
  std::vector<xcb_window_t> windows;
  xcb_ewmh_get_windows_reply_t clients{};
  if (xcb_ewmh_get_client_list_reply(&ewmh_, xcb_ewmh_get_client_list(&ewmh_, screen_), &clients, nullptr)) {
    windows.assign(clients.windows, clients.windows + clients.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&clients);
  }
  // Three levels down: a window the manager has just framed is neither the
  // root's child nor on its client list yet.
  std::vector<xcb_window_t> level{root};
  for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
    std::vector<xcb_query_tree_cookie_t> cookies;
    cookies.reserve(level.size());
    for (const xcb_window_t parent : level) cookies.push_back(xcb_query_tree(connection_, parent));
    level.clear();
    for (const xcb_query_tree_cookie_t cookie : cookies) {
      Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection_, cookie, nullptr));
      if (!tree) continue;
      const xcb_window_t* children = xcb_query_tree_children(tree.get());
      level.insert(level.end(), children, children + xcb_query_tree_children_length(tree.get()));
    }
    windows.insert(windows.end(), level.begin(), level.end());
  }
  std::sort(windows.begin(), windows.end());
  windows.erase(std::unique(windows.begin(), windows.end()), windows.end());

  int reserved = 0;
  std::vector<std::pair<int, int>> stands;  // offset from the edge and strut depth of a docked window
  for (xcb_window_t other : windows) {
    if (other == window_) continue;
    xcb_ewmh_wm_strut_partial_t strut{};
    if (!xcb_ewmh_get_wm_strut_partial_reply(&ewmh_, xcb_ewmh_get_wm_strut_partial(&ewmh_, other), &strut,
                                             nullptr)) {
      xcb_ewmh_get_extents_reply_t plain{};
      if (!xcb_ewmh_get_wm_strut_reply(&ewmh_, xcb_ewmh_get_wm_strut(&ewmh_, other), &plain, nullptr))
        continue;
      strut.top = plain.top;
      strut.bottom = plain.bottom;
      strut.top_end_x = strut.bottom_end_x = UINT32_MAX;  // a plain strut spans the whole edge
    }
    const auto known = std::lower_bound(watched_.begin(), watched_.end(), other);
    if (known == watched_.end() || *known != other) {
      const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
      xcb_change_window_attributes(connection_, other, XCB_CW_EVENT_MASK, &events);
      watched_.insert(known, other);
    }
    const std::uint32_t depth = edge == DockEdge::Top ? strut.top : strut.bottom;
    const bool overlaps = edge == DockEdge::Top ? Overlaps(strut.top_start_x, strut.top_end_x, rc)
                                                : Overlaps(strut.bottom_start_x, strut.bottom_end_x, rc);
    const bool nearer = ownEdge_ != edge || ownDepth_ == 0 || static_cast<int>(depth) < ownDepth_;
    if (!(depth > 0 && overlaps && nearer)) continue;
    const int held = static_cast<int>(std::min<std::uint32_t>(depth, static_cast<std::uint32_t>(rootHeight)));
    reserved = std::max(reserved, held);
    Reply<xcb_get_geometry_reply_t> size(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, other), nullptr));
    Reply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, other, root, 0, 0), nullptr));
    if (!size || !at) continue;
    // A dock one pixel wider than its strut's columns (as this bar is) is
    // one pixel taller than its strip too, towards the bottom edge.
    const std::uint32_t start = edge == DockEdge::Top ? strut.top_start_x : strut.bottom_start_x;
    const std::uint32_t end = edge == DockEdge::Top ? strut.top_end_x : strut.bottom_end_x;
    const int overhang = end != UINT32_MAX && size->width == end - start + 2 ? 1 : 0;
    const int offset = edge == DockEdge::Top ? at->dst_y : rootHeight - at->dst_y - size->height + overhang;
    // Only a window that has reached the inner end of its strut tells
    // where it stands.
    if (std::abs(offset + size->height - overhang - held) <= 1) stands.emplace_back(offset, held);
  }
  // What the docks nearer the edge stand on that no strut holds: a panel
  // that reserves its space through the work area only, and stays when
  // they go.
  floor = 0;
  for (const auto& [offset, depth] : stands) {
    const bool onAnother = std::any_of(stands.begin(), stands.end(), [offset = offset](const auto& below) {
      return below.first < offset && below.second >= offset;
    });
    if (!onAnother) floor = std::max(floor, offset);
  }
  return reserved;
}

int EwmhAppBar::ReservedByWorkArea(DockEdge edge, int rootHeight, int others, int floor) {
  if (ownEdge_ == edge && ownDepth_ > 0) {
    reservedWithoutStrut_ = std::max(reservedWithoutStrut_, floor);
    return reservedWithoutStrut_;
  }
  std::uint32_t desktop = 0;
  if (!xcb_ewmh_get_current_desktop_reply(&ewmh_, xcb_ewmh_get_current_desktop(&ewmh_, screen_), &desktop,
                                          nullptr)) {
    desktop = 0;
  }
  xcb_ewmh_get_workarea_reply_t areas{};
  if (!xcb_ewmh_get_workarea_reply(&ewmh_, xcb_ewmh_get_workarea(&ewmh_, screen_), &areas, nullptr)) return 0;
  int gap = 0;
  if (areas.workarea_len > 0) {
    const xcb_ewmh_geometry_t& area = areas.workarea[desktop < areas.workarea_len ? desktop : 0];
    gap = edge == DockEdge::Top ? static_cast<int>(area.y)
                                : rootHeight - static_cast<int>(area.y) - static_cast<int>(area.height);
  }
  xcb_ewmh_get_workarea_reply_wipe(&areas);
  gap = std::clamp(gap, 0, rootHeight);
  reservedWithoutStrut_ = gap > others ? gap : floor;
  return gap;
}

bool EwmhAppBar::ReservesStrips() {
  xcb_ewmh_get_atoms_reply_t supported{};
  if (!xcb_ewmh_get_supported_reply(&ewmh_, xcb_ewmh_get_supported(&ewmh_, screen_), &supported, nullptr))
    return true;  // a manager that lists nothing is taken at its word as a dock manager
  bool reserves = false;
  for (std::uint32_t i = 0; i < supported.atoms_len; ++i) {
    reserves = reserves || supported.atoms[i] == ewmh_._NET_WM_STRUT_PARTIAL ||
               supported.atoms[i] == ewmh_._NET_WM_STRUT;
  }
  xcb_ewmh_get_atoms_reply_wipe(&supported);
  return reserves;
}

void EwmhAppBar::QueryPos(DockEdge edge, BarRect& rc) {
  const int rootHeight = RootHeight();
  const int height = rc.Height();
  int floor = 0;
  const int others = ReservedByOthers(edge, rc, rootHeight, floor);
  const int reserved = std::max(others, ReservedByWorkArea(edge, rootHeight, others, floor));
  if (edge == DockEdge::Top) {
    rc.top = std::max(rc.top, reserved);
    rc.bottom = rc.top + height;
  } else {
    rc.bottom = std::min(rc.bottom, rootHeight - reserved);
    rc.top = rc.bottom - height;
  }
}

void EwmhAppBar::SetPos(DockEdge edge, BarRect& rc) {
  const int rootHeight = RootHeight();
  xcb_ewmh_wm_strut_partial_t strut{};
  if (edge == DockEdge::Top) {
    strut.top = static_cast<std::uint32_t>(std::max(0, rc.bottom));
    strut.top_start_x = static_cast<std::uint32_t>(std::max(0, rc.left));
    strut.top_end_x = static_cast<std::uint32_t>(std::max(0, rc.right - 1));
  } else {
    strut.bottom = static_cast<std::uint32_t>(std::max(0, rootHeight - rc.top));
    strut.bottom_start_x = static_cast<std::uint32_t>(std::max(0, rc.left));
    strut.bottom_end_x = static_cast<std::uint32_t>(std::max(0, rc.right - 1));
  }
  ownEdge_ = edge;
  ownDepth_ = static_cast<int>(edge == DockEdge::Top ? strut.top : strut.bottom);
  xcb_ewmh_set_wm_strut_partial(&ewmh_, window_, strut);
  xcb_ewmh_set_wm_strut(&ewmh_, window_, 0, 0, strut.top, strut.bottom);
  xcb_flush(connection_);
}

void EwmhAppBar::Remove() {
  ownEdge_ = DockEdge::None;
  ownDepth_ = 0;
  xcb_delete_property(connection_, window_, ewmh_._NET_WM_STRUT_PARTIAL);
  xcb_delete_property(connection_, window_, ewmh_._NET_WM_STRUT);
  xcb_flush(connection_);
}

}  // namespace vantrel
