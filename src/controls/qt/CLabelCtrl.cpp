#include "controls/qt/CLabelCtrl.h"

#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace vantrel {

CLabelCtrl::CLabelCtrl(QWidget* parent)
    : QLabel(parent),
      // The system colours are read once; later changes of the palette do not reach the label.
      textColor_(palette().color(QPalette::WindowText)),
      fillColor_(palette().color(QPalette::Button)),
      logFont_(QFontDatabase::systemFont(QFontDatabase::GeneralFont)) {
  setTextFormat(Qt::PlainText);
  RebuildFont();
  SetNotifiesClicks(false);
}

CLabelCtrl& CLabelCtrl::SetFillColor(const QColor& color) {
  fillColor_ = color;
  return *this;
}

CLabelCtrl& CLabelCtrl::SetCaptionColor(const QColor& color) {
  textColor_ = color;
  QPalette colors = palette();
  colors.setColor(QPalette::WindowText, textColor_);
  setPalette(colors);
  repaint();
  return *this;
}

CLabelCtrl& CLabelCtrl::EnableBold(bool bold) {
  logFont_.setWeight(bold ? QFont::Bold : QFont::Normal);
  RebuildFont();
  repaint();
  return *this;
}

CLabelCtrl& CLabelCtrl::EnableUnderline(bool underline) {
  logFont_.setUnderline(underline);
  RebuildFont();
  repaint();
  return *this;
}

CLabelCtrl& CLabelCtrl::EnableHyperlink(bool link) {
  linkEnabled_ = link;
  SetNotifiesClicks(link);
  return *this;
}

CLabelCtrl& CLabelCtrl::SetHoverCursor(std::optional<QCursor> cursor) {
  hoverCursor_ = std::move(cursor);
  if (hoverCursor_) {
    setCursor(*hoverCursor_);
  } else {
    unsetCursor();
  }
  return *this;
}

CLabelCtrl& CLabelCtrl::SetCaption(const QString& caption) {
  setText(caption);
  // QLabel skips an unchanged text; the label repaints all the same, which is
  // what shows a fill colour set just before.
  update();
  return *this;
}

void CLabelCtrl::SetNotifiesClicks(bool notify) {
  notifiesClicks_ = notify;
  // A label that does not notify is transparent to the mouse: presses and the
  // cursor belong to the widget below it.
  setAttribute(Qt::WA_TransparentForMouseEvents, !notify);
}

void CLabelCtrl::RebuildFont() {
  setFont(logFont_);
}

void CLabelCtrl::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(contentsRect(), fillColor_);
  }
  QLabel::paintEvent(event);
}

void CLabelCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mousePressEvent(event);
    return;
  }
  if (linkEnabled_) {
    // The target is whatever the label shows at this moment. A text that is
    // no address (an empty one, say) opens nothing; failures are not reported.
    QDesktopServices::openUrl(QUrl::fromUserInput(text(), QDir::currentPath()));
  }
  event->accept();
  emit clicked();
}

void CLabelCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click neither opens the link again nor
  // counts as another click.
  event->accept();
}

}  // namespace vantrel
