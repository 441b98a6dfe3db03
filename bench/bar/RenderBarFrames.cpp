// Renders frames of the bar from a scripted traffic history into PNG files,
// to look at the drawing without a desktop.
//
//   render_bar_frames [folder]      (default: shots)
//
// Each frame is the surface as the bar's ticks leave it. Besides the full
// frames, zoom-*.png show parts of the 1920-pixel frame four times enlarged.
// pixels-*.png are the same frames drawn on the toolkit-free canvas with
// FreeType text, to set beside the Qt canvas's.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <string>

#include "bar/BarRenderer.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/linux/FreeTypeGlyphSource.h"
#include "bar/qt/QtBarCanvas.h"
#include "traffic/TrafficMonitor.h"

namespace vantrel {
namespace {

constexpr int kBarHeight = 32;
constexpr double kTickSeconds = 0.2;

// One Ethernet interface whose counters the script drives.
class ScriptedInterface final : public InterfaceTableSource {
 public:
  bool Read(InterfaceTable& table) override {
    table.Clear();
    InterfaceRow& row = table.Append();
    row.description = "eth0";
    row.type = kIfTypeEthernet;
    row.identity = 2;
    row.inOctets = in;
    row.outOctets = out;
    return true;
  }
  std::uint64_t in = 3'000'000'000u;
  std::uint64_t out = 400'000'000u;
};

class TickClock final : public MonotonicClock {
 public:
  std::int64_t Frequency() override { return 1'000'000; }
  std::int64_t Now() override { return now; }
  std::int64_t now = 0;
};

// Bytes per second at second `t`: browsing, a large download, a quiet spell,
// then streaming video with an upload burst.
double DownloadRate(double t) {
  if (t < 60) return 20'000 + (static_cast<int>(t) % 7 == 0 ? 900'000 : 0);
  if (t < 150) return std::min(5'000'000.0, (t - 60) * 90'000) * (0.85 + 0.15 * std::sin(t * 1.7));
  if (t < 200) return 600;
  return 650'000 * (0.7 + 0.3 * std::sin(t * 0.9)) + (static_cast<int>(t) % 11 == 0 ? 1'500'000 : 0);
}

double UploadRate(double t) {
  if (t > 240 && t < 262) return 1'800'000 * (0.8 + 0.2 * std::cos(t));
  return DownloadRate(t) * 0.06 + 3'000;
}

class Scene {
 public:
  // On the Qt canvas, or with `pixelCanvas` on the toolkit-free one.
  Scene(int width, const BarSettings& settings, bool pixelCanvas = false)
      : settings_(settings),
        pixelCanvas_(pixelCanvas),
        renderer_(pixelCanvas ? static_cast<BarCanvas&>(pixels_) : canvas_, settings_) {
    canvas_.SetClientSize({width, kBarHeight});
    canvas_.SetFontDpi(96);
    pixels_.SetClientSize({width, kBarHeight});
    pixels_.SetFontDpi(96);
    monitor_.ResetHistory();
    monitor_.StartTimeBase();
  }

  // Runs `seconds` of the script, five ticks a second.
  void Run(double seconds) {
    const int ticks = static_cast<int>(std::lround(seconds / kTickSeconds));
    for (int i = 0; i < ticks; ++i) {
      // Uneven ticks, so that the meters move within a second.
      const double share = 1.0 + 0.8 * std::sin(tick_ * 2.1);
      interface_.in += static_cast<std::uint64_t>(DownloadRate(time_) * kTickSeconds * share);
      interface_.out += static_cast<std::uint64_t>(UploadRate(time_) * kTickSeconds * share);
      time_ += kTickSeconds;
      clock_.now += static_cast<std::int64_t>(kTickSeconds * 1'000'000);
      ++tick_;
      monitor_.UpdateBar(connection_, renderer_);
    }
  }

  QImage Image() const {
    if (!pixelCanvas_) return canvas_.Surface();
    const SurfaceView view = pixels_.Surface();
    return QImage(reinterpret_cast<const uchar*>(view.pixels), view.width, view.height,
                  view.stride * static_cast<qsizetype>(sizeof(std::uint32_t)), QImage::Format_RGB32)
        .copy();
  }

 private:
  BarSettings settings_;
  ScriptedInterface interface_;
  TickClock clock_;
  TrafficMonitor monitor_{interface_, clock_};
  std::string connection_ = "eth0";
  QtBarCanvas canvas_;
  FreeTypeGlyphSource glyphs_;
  PixelBufferCanvas pixels_{glyphs_};
  bool pixelCanvas_;
  BarRenderer renderer_;
  double time_ = 0;
  long tick_ = 0;
};

bool Save(const QImage& image, const QString& path) {
  const bool ok = image.save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toLocal8Bit().constData());
  return ok;
}

QImage Zoom(const QImage& image, int left, int width) {
  return image.copy(left, 0, width, image.height()).scaled(width * 4, image.height() * 4);
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  using vantrel::Scene;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "cannot make %s\n", folder.toLocal8Bit().constData());
    return 1;
  }
  auto path = [&](const char* name) { return folder + QLatin1Char('/') + QLatin1String(name); };
  bool ok = true;
  const vantrel::BarSettings defaults;

  // Right after start: only the first sample tick has run.
  Scene start(1920, defaults);
  start.Run(0.2);
  ok &= vantrel::Save(start.Image(), path("bar-1920-start.png"));

  // After five and a half minutes of traffic, in the middle of a second.
  Scene busy(1920, defaults);
  busy.Run(330.6);
  ok &= vantrel::Save(busy.Image(), path("bar-1920-busy.png"));
  ok &= vantrel::Save(vantrel::Zoom(busy.Image(), 0, 480), path("zoom-1920-download.png"));
  ok &= vantrel::Save(vantrel::Zoom(busy.Image(), 700, 520), path("zoom-1920-centre.png"));
  ok &= vantrel::Save(vantrel::Zoom(busy.Image(), 1440, 480), path("zoom-1920-upload.png"));

  Scene pixels(1920, defaults, true);
  pixels.Run(330.6);
  ok &= vantrel::Save(pixels.Image(), path("pixels-1920-busy.png"));
  ok &= vantrel::Save(vantrel::Zoom(pixels.Image(), 0, 480), path("pixels-zoom-1920-download.png"));
  ok &= vantrel::Save(vantrel::Zoom(pixels.Image(), 700, 520), path("pixels-zoom-1920-centre.png"));

  for (int width : {799, 1025, 1280, 3840}) {
    Scene scene(width, defaults);
    scene.Run(330.6);
    const std::string name = "bar-" + std::to_string(width) + "-busy.png";
    ok &= vantrel::Save(scene.Image(), path(name.c_str()));
  }

  vantrel::BarSettings night = defaults;
  night.bgColor = vantrel::MakeColor(40, 44, 70);
  night.graphColor = vantrel::MakeColor(10, 10, 24);
  night.labelColor = vantrel::MakeColor(150, 160, 200);
  night.downloadColor = vantrel::MakeColor(80, 200, 255);
  night.uploadColor = vantrel::MakeColor(255, 140, 60);
  Scene custom(1920, night);
  custom.Run(330.6);
  ok &= vantrel::Save(custom.Image(), path("bar-1920-colours.png"));
  ok &= vantrel::Save(vantrel::Zoom(custom.Image(), 700, 520), path("zoom-1920-colours-centre.png"));
  return ok ? 0 : 1;
}
