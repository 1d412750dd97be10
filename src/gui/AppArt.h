// The program's pictures, drawn in code: the application (and tray) icon and
// the banner behind the main window's title. UI thread only.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace ooa {

QIcon AppIcon();
QPixmap BannerPicture(const QSize& size);

}  // namespace ooa
