#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace vantrel {

// The pixels of four horizontal and eight vertical dialog units: the average
// character width and the character height of a dialog's font.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

// Base units of `font`: the average width of the 52 letters A-Z and a-z,
// rounded, and the font's line height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// A rectangle in dialog units converted to pixels. Each edge is converted on
// its own and rounded to the nearest pixel, so that neighbouring controls stay
// neighbours.
QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base);

// Lays out a form made in dialog units: each widget that carries the property
// "dialogUnits" (a rectangle for a control, a size for the window itself; the
// build fills them in from the Windows dialog templates) gets that rectangle
// in pixels of the window's font. Where the font needs more room than the
// rectangle gives, a text control grows: a caption, check box or radio button
// to the right (centred captions to both sides), any of them about its
// vertical middle; a drop-down list takes its own height (the form's height
// includes the opened list). The window gets a fixed size.
void LayOutInDialogUnits(QWidget& window);

}  // namespace vantrel
