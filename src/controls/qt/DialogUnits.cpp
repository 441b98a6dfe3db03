#include "controls/qt/DialogUnits.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVariant>
#include <QWidget>

#include "controls/qt/CLabelCtrl.h"

namespace vantrel {

namespace {

constexpr char kDialogUnitsProperty[] = "dialogUnits";

// a * b / c, rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

// Grows `rect` to `needed` where it falls short: to the right, or to both
// sides for centred text, and about its vertical middle.
QRect GrowTo(QRect rect, const QSize& needed, bool centred) {
  if (needed.width() > rect.width()) {
    const int extra = needed.width() - rect.width();
    if (centred) rect.setLeft(rect.left() - extra / 2);
    rect.setWidth(needed.width());
  }
  if (needed.height() > rect.height()) {
    const int extra = needed.height() - rect.height();
    rect.setTop(rect.top() - extra / 2);
    rect.setHeight(needed.height());
  }
  return rect;
}

QRect FitContent(QWidget& widget, QRect rect) {
  if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
    rect.setHeight(combo->sizeHint().height());
    return rect;
  }
  if (qobject_cast<QPushButton*>(&widget) != nullptr) {
    // Push buttons keep their width; only a font too tall for them makes them higher.
    return GrowTo(rect, QSize(0, widget.minimumSizeHint().height()), false);
  }
  if (qobject_cast<QAbstractButton*>(&widget) != nullptr) return GrowTo(rect, widget.sizeHint(), false);
  auto* label = qobject_cast<QLabel*>(&widget);
  // Swatches and other drawn labels keep the rectangle they were given.
  if (label != nullptr && qobject_cast<CLabelCtrl*>(label) == nullptr && !label->text().isEmpty()) {
    return GrowTo(rect, label->sizeHint(), (label->alignment() & Qt::AlignHCenter) != 0);
  }
  return rect;
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(alphabet / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const QRect& units, DialogBaseUnits base) {
  const int left = MulDiv(units.x(), base.x, 4);
  const int top = MulDiv(units.y(), base.y, 8);
  const int right = MulDiv(units.x() + units.width(), base.x, 4);
  const int bottom = MulDiv(units.y() + units.height(), base.y, 8);
  return QRect(left, top, right - left, bottom - top);
}

void LayOutInDialogUnits(QWidget& window) {
  const DialogBaseUnits base = BaseUnitsOf(window.font());
  QSize client = window.size();
  const QVariant windowUnits = window.property(kDialogUnitsProperty);
  if (windowUnits.isValid()) {
    client = DialogUnitsToPixels(QRect(QPoint(0, 0), windowUnits.toSize()), base).size();
  }
  for (QWidget* child : window.findChildren<QWidget*>()) {
    const QVariant units = child->property(kDialogUnitsProperty);
    if (!units.isValid()) continue;
    child->ensurePolished();
    const QRect rect = FitContent(*child, DialogUnitsToPixels(units.toRect(), base));
    child->setGeometry(rect);
  }
  window.setFixedSize(client);
}

}  // namespace vantrel
