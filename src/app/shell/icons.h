// The tool-bar pictures, the magnifier cursor and the application icon, drawn at start-up
// (no image files to ship).
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace orvane {

// The picture of a tool-bar button, by the button's component name.
QIcon ToolButtonIcon(const QString& buttonName);
// The magnifier cursor of the zoom button; the hot spot is the centre of the lens.
QCursor MagnifierCursor();
QIcon ApplicationIcon();
// The splash picture: a shaded terrain with the program's name.
QPixmap SplashPicture(int width, int height);

}  // namespace orvane
