#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;
class QWindow;

namespace vantrel {

// The window a dialog belongs to: a widget of this program (the dialog's
// parent), or a window of another process known by its frame in screen
// pixels and its native window, which the dialog is then transient for.
// Neither: the dialog belongs to no window and goes to the primary screen.
struct OwnerWindow {
  OwnerWindow(QWidget* widget = nullptr) : widget(widget) {}  // every widget is an owner
  OwnerWindow(const QRect& frame, QWindow* native) : frame(frame), native(native) {}

  QWidget* widget = nullptr;
  QRect frame;                // used without a widget; empty: none
  QWindow* native = nullptr;  // used without a widget; may be null
};

// The top left corner of a window whose frame is `frame` big, centred over
// `owner` and then moved, where needed, to lie wholly inside `workArea`. A
// window larger than the work area keeps its top left corner inside it.
QPoint CentredInside(const QSize& frame, const QRect& owner, const QRect& workArea);

// Places the top-level `window`, before it is shown, centred over `owner`'s
// window and inside the work area of the screen that shows the owner (of the
// primary screen without an owner), and makes it transient for an owner of
// another process. Once the window manager has framed the window, its real
// frame is checked again.
void PlaceOverOwner(QWidget& window, const OwnerWindow& owner);

}  // namespace vantrel
