#include "bar/qt/CTrafficBarDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>
#include <QUrl>
#include <QWheelEvent>

#include "bar/BarCommands.h"
#include "controls/qt/AppResources.h"
#include "settings/SettingsPersistence.h"

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

}  // namespace

CTrafficBarDlg::CTrafficBarDlg(BarServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool),
      services_(std::move(services)),
      appIcon(AppIcon()),
      canvas_(this),
      monitor_(services_.interfaces, services_.clock),
      renderer_(canvas_, settings_) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  resize(UndockedSize());
}

CTrafficBarDlg::~CTrafficBarDlg() = default;

int CTrafficBarDlg::DoModal() {
  OnInitDialog();
  if (!ended_) {
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
  }
  return result_;
}

void CTrafficBarDlg::OnInitDialog() {
  setWindowIcon(appIcon);
  // The native window exists from here on, unmapped: the bar service marks
  // it as a bar before it is first shown.
  appBar_ = services_.createAppBar(*this);
  docking_ = std::make_unique<AppBarDocking>(*appBar_, static_cast<DockedWindow&>(*this));
  docking_->undockedRect = WindowRect();
  LoadSettings(settings_, services_.store, services_.runAtStartup);
  renderer_.displayChanged = false;
  monitor_.ReleaseTable();
  monitor_.ResetHistory();
  docking_->DockToEdge(DockEdgeForPosition(settings_.position));
  monitor_.StartTimeBase();
  sampleTimer.start(kSampleTimerMilliseconds, Qt::PreciseTimer, this);
  running_ = true;
  WatchPrimaryScreen();
  setFocus(Qt::OtherFocusReason);
}

void CTrafficBarDlg::WatchPrimaryScreen() {
  connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen*) {
    WatchPrimaryScreen();
    OnDisplayChange();
  });
  disconnect(screenConnection_);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    screenConnection_ = connect(screen, &QScreen::geometryChanged, this, [this] { OnDisplayChange(); });
  }
}

void CTrafficBarDlg::OnTimer(int id) {
  if (id == kSampleTimerId && running_) UpdateBar();
}

bool CTrafficBarDlg::UpdateBar() { return monitor_.UpdateBar(settings_.connection, renderer_); }

void CTrafficBarDlg::OnDisplayChange() {
  if (!running_) return;
  renderer_.OnDisplayChange();
  docking_->DockToEdge(DockEdgeForPosition(settings_.position));
}

void CTrafficBarDlg::OnCommand(int id) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      if (!running_) return;
      ShutdownBar();
      EndDialog(id);
      break;
    case ID_MENU_CLOSE:
      OnCommand(IDCANCEL);
      break;
    case ID_MENU_ABOUT:
      ShowAbout();
      break;
    case ID_MENU_OPTIONS:
      OnOptions();
      break;
    case ID_MENU_MANUAL:
      OpenManual();
      break;
    default:
      break;
  }
}

void CTrafficBarDlg::ShutdownBar() {
  sampleTimer.stop();
  vantrel::SaveSettings(settings_, services_.store, services_.runAtStartup);
  monitor_.ReleaseTable();
  renderer_.ReleaseSurface();
  docking_->Remove();
  running_ = false;
}

void CTrafficBarDlg::SaveOnUnexpectedExit() {
  if (running_) vantrel::SaveSettings(settings_, services_.store, services_.runAtStartup);
}

void CTrafficBarDlg::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  hide();
  if (modalLoop_ != nullptr) modalLoop_->exit(result);
}

void CTrafficBarDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtBarCanvas::PaintScope scope(canvas_, painter);
  renderer_.OnPaint();
}

void CTrafficBarDlg::timerEvent(QTimerEvent* event) {
  OnTimer(event->timerId() == sampleTimer.timerId() ? kSampleTimerId : event->timerId());
}

void CTrafficBarDlg::mousePressEvent(QMouseEvent* event) {
  // Only the right button does anything: the bar is neither dragged nor
  // clicked through.
  event->accept();
  if (event->button() == Qt::RightButton) ShowContextMenu(QCursor::pos());
}

void CTrafficBarDlg::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void CTrafficBarDlg::wheelEvent(QWheelEvent* event) { event->accept(); }

void CTrafficBarDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OnCommand(IDOK);
      break;
    case Qt::Key_Escape:
      OnCommand(IDCANCEL);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void CTrafficBarDlg::closeEvent(QCloseEvent* event) {
  // A request to close the window (Alt-F4, the window manager) is Cancel.
  event->ignore();
  OnCommand(IDCANCEL);
}

void CTrafficBarDlg::ShowContextMenu(const QPoint& globalPos) {
  QMenu menu(this);
  for (const MenuItem& item : kBarMenu) {
    if (item.command == 0) {
      menu.addSeparator();
    } else {
      menu.addAction(QString::fromUtf8(item.text))->setData(item.command);
    }
  }
  // Right edge and top at the pointer.
  const QPoint at(globalPos.x() - menu.sizeHint().width(), globalPos.y());
  // The chosen command runs once the menu has closed.
  if (QAction* chosen = menu.exec(at)) OnCommand(chosen->data().toInt());
}

void CTrafficBarDlg::OnOptions() {
  BarSettings copy = settings_;
  if (!services_.dialogs.RunOptions(this, copy)) return;
  ApplyOptions(settings_, copy, *this, services_.runAtStartup);
}

void CTrafficBarDlg::ShowAbout() { services_.dialogs.RunAbout(this); }

void CTrafficBarDlg::OpenManual() {
  // Beside the executable (a build tree, an unpacked copy), else where the
  // package installs it. A manual that cannot be opened is not reported.
  const QString manual = QString::fromUtf8(kManualFileName);
  const QFileInfo beside(QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath() + '/' + manual);
  const QFileInfo installed(QStringLiteral(VANTREL_DOC_DIR) + '/' + manual);
  const QFileInfo& chosen = beside.exists() || !installed.exists() ? beside : installed;
  QDesktopServices::openUrl(QUrl::fromLocalFile(chosen.absoluteFilePath()));
}

BarRect CTrafficBarDlg::WindowRect() {
  const QRect r = geometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

BarRect CTrafficBarDlg::DesktopRect() {
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect r = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CTrafficBarDlg::PlaceTopmost(const BarRect& rc) {
  setGeometry(rc.left, rc.top, rc.Width(), rc.Height());
  if (!isVisible()) show();
  raise();
}

void CTrafficBarDlg::DockToEdge(DockEdge edge) { docking_->DockToEdge(edge); }

void CTrafficBarDlg::ResetHistory() { monitor_.ResetHistory(); }

void CTrafficBarDlg::SaveSettings(const BarSettings& settings) {
  vantrel::SaveSettings(settings, services_.store, services_.runAtStartup);
}

void CTrafficBarDlg::Repaint() { update(); }

}  // namespace vantrel
