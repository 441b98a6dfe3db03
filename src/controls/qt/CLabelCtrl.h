#pragma once

#include <optional>

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QString>

namespace vantrel {

// A static text whose text colour, fill colour and font the program sets at
// run time, and which can act as a link that opens its own text through the
// desktop when pressed. Used for the Options dialog's colour swatches and the
// About box's version line and web address.
//
// Mouse presses reach the label only while it notifies clicks (the `notifiesClicks`
// property, which forms can set, or EnableHyperlink); otherwise they go to the
// widget below, as does the hover cursor.
class CLabelCtrl : public QLabel {
  Q_OBJECT
  Q_PROPERTY(bool notifiesClicks READ NotifiesClicks WRITE SetNotifiesClicks)

 public:
  explicit CLabelCtrl(QWidget* parent = nullptr);

  // The setters return the label so that calls can be chained.

  // The colour that fills the background. Shows at the next paint; the call
  // itself does not repaint.
  CLabelCtrl& SetFillColor(const QColor& color);
  // The colour of the text; repaints.
  CLabelCtrl& SetCaptionColor(const QColor& color);
  // Bold or normal weight; keeps the underline. Repaints.
  CLabelCtrl& EnableBold(bool bold);
  // Underlined or not; keeps the weight. Repaints.
  CLabelCtrl& EnableUnderline(bool underline);
  // Link mode: a press opens the text. Turning it on makes the label notify
  // clicks, turning it off stops that, whatever the form said.
  CLabelCtrl& EnableHyperlink(bool link);
  // The cursor shown over the label; none: the parent's cursor.
  CLabelCtrl& SetHoverCursor(std::optional<QCursor> cursor);
  // Sets the text and repaints, also when the text is unchanged.
  CLabelCtrl& SetCaption(const QString& caption);

  QColor FillColor() const { return fillColor_; }
  QColor CaptionColor() const { return textColor_; }
  const QFont& LabelFont() const { return logFont_; }
  bool HyperlinkEnabled() const { return linkEnabled_; }
  const std::optional<QCursor>& HoverCursor() const { return hoverCursor_; }

  bool NotifiesClicks() const { return notifiesClicks_; }
  void SetNotifiesClicks(bool notify);

 signals:
  // A press of the left button on a label that notifies clicks; in link mode
  // it follows the opening of the link.
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void RebuildFont();

  QColor textColor_;
  QColor fillColor_;
  QFont logFont_;
  bool linkEnabled_ = false;
  std::optional<QCursor> hoverCursor_;
  bool notifiesClicks_ = false;
};

}  // namespace vantrel
