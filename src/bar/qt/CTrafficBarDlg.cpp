#include "bar/qt/CTrafficBarDlg.h"

#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QTimerEvent>
#include <QWheelEvent>

#include "controls/qt/AppResources.h"

namespace vantrel {
namespace {

// The bar's size before docking: 450 x 20 dialog units of the 8-point
// dialog font. Its height is the bar's thickness.
QSize UndockedSize() {
  QFont dialogFont(QStringLiteral("MS Shell Dlg"));
  dialogFont.setPointSize(8);
  const QFontMetrics metrics(dialogFont);
  // Dialog units: a quarter of the average character width across, an
  // eighth of the character height down.
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int averageWidth = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
  return {(450 * averageWidth + 2) / 4, DialogUnitsToPixelsY(20, metrics.height())};
}

BarRect ToBarRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

CTrafficBarDlg::CTrafficBarDlg(QtBarServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      services_(std::move(services)),
      canvas_(this) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setWindowIcon(AppIcon());
  resize(UndockedSize());
}

CTrafficBarDlg::~CTrafficBarDlg() = default;

int CTrafficBarDlg::DoModal() {
  // The native window exists from here on, unmapped: the bar service marks
  // it as a bar before it is first shown.
  appBar_ = services_.createAppBar(*this);
  controller_.emplace(BarServices{services_.interfaces, services_.clock, services_.store,
                                  services_.runAtStartup, *this, services_.dialogs, canvas_, *appBar_,
                                  services_.manual});
  controller_->OnInitDialog();
  if (!controller_->HasEnded()) {
    WatchScreens();
    setFocus(Qt::OtherFocusReason);
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
  }
  return controller_->Result();
}

// Any change of the screen layout (a monitor added, removed or resized, a
// new primary) re-docks the bar once: the strip counts from the edges of the
// whole desktop. The signals of one change are gathered into one re-dock.
void CTrafficBarDlg::WatchScreens() {
  connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this] { ScheduleDisplayChange(); });
  connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
    WatchScreen(screen);
    ScheduleDisplayChange();
  });
  connect(qApp, &QGuiApplication::screenRemoved, this, [this] { ScheduleDisplayChange(); });
  for (QScreen* screen : QGuiApplication::screens()) WatchScreen(screen);
}

void CTrafficBarDlg::WatchScreen(QScreen* screen) {
  connect(screen, &QScreen::geometryChanged, this, [this] { ScheduleDisplayChange(); });
}

void CTrafficBarDlg::ScheduleDisplayChange() {
  if (displayChangeScheduled_) return;
  displayChangeScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    displayChangeScheduled_ = false;
    if (controller_) controller_->OnDisplayChange();
  });
}

void CTrafficBarDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtBarCanvas::PaintScope scope(canvas_, painter);
  if (controller_) controller_->OnPaint();
}

void CTrafficBarDlg::timerEvent(QTimerEvent* event) {
  if (controller_) controller_->OnTimer(event->timerId() == sampleTimer_.timerId() ? kSampleTimerId : 0);
}

void CTrafficBarDlg::mousePressEvent(QMouseEvent* event) {
  // Only the right button does anything: the bar is neither dragged nor
  // clicked through.
  event->accept();
  if (event->button() == Qt::RightButton && controller_) {
    const QPoint at = QCursor::pos();
    controller_->OnContextMenu({at.x(), at.y()});
  }
}

void CTrafficBarDlg::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

void CTrafficBarDlg::wheelEvent(QWheelEvent* event) {
  event->accept();
}

void CTrafficBarDlg::keyPressEvent(QKeyEvent* event) {
  if (!controller_) return QWidget::keyPressEvent(event);
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      controller_->OnCommand(ID_BAR_OK);
      break;
    case Qt::Key_Escape:
      controller_->OnCommand(ID_BAR_CANCEL);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void CTrafficBarDlg::closeEvent(QCloseEvent* event) {
  // A request to close the window (Alt-F4, the window manager) is Cancel.
  event->ignore();
  if (controller_) controller_->OnCommand(ID_BAR_CANCEL);
}

BarRect CTrafficBarDlg::WindowRect() {
  return ToBarRect(geometry());
}

BarRect CTrafficBarDlg::DesktopRect() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return ToBarRect(screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768));
}

void CTrafficBarDlg::PlaceTopmost(const BarRect& rc) {
  setGeometry(rc.left, rc.top, rc.Width(), rc.Height());
  if (!isVisible()) show();
  raise();
}

void CTrafficBarDlg::Hide() {
  hide();
}

void CTrafficBarDlg::Repaint() {
  update();
}

void CTrafficBarDlg::StartTimer(int milliseconds) {
  sampleTimer_.start(milliseconds, Qt::PreciseTimer, this);
}

void CTrafficBarDlg::StopTimer() {
  sampleTimer_.stop();
}

void CTrafficBarDlg::EndRun(int result) {
  if (modalLoop_ != nullptr) modalLoop_->exit(result);
}

}  // namespace vantrel
