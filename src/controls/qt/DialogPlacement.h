#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vantrel {

// The top left corner of a window whose frame is `frame` big, centred over
// `owner` and then moved, where needed, to lie wholly inside `workArea`. A
// window larger than the work area keeps its top left corner inside it.
QPoint CentredInside(const QSize& frame, const QRect& owner, const QRect& workArea);

// Places the top-level `window`, before it is shown, centred over `owner`'s
// window and inside the work area of the screen that shows the owner (of the
// primary screen without an owner). Once the window manager has framed the
// window, its real frame is checked again.
void PlaceOverOwner(QWidget& window, QWidget* owner);

}  // namespace vantrel
