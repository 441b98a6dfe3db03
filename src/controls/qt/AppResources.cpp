#include "controls/qt/AppResources.h"

#include <QString>

// Q_INIT_RESOURCE declares the resource's initialiser in the namespace it is
// used in; the initialiser lives in the global one.
static void InitVantrelResources() {
  Q_INIT_RESOURCE(vantrel);
}

namespace vantrel {

void LoadAppResources() {
  static const bool loaded = [] {
    InitVantrelResources();
    return true;
  }();
  (void)loaded;
}

QIcon AppIcon() {
  LoadAppResources();
  QIcon icon;
  for (int size : {16, 32, 48})
    icon.addFile(QStringLiteral(":/icons/vantrel-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace vantrel
