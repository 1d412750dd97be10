#include "gui/Theme.h"

#include <QApplication>
#include <QFile>

namespace ooa {

bool ApplyTheme() {
  QFile file(":/theme/IcebergClassico.qss");
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
  return true;
}

}  // namespace ooa
