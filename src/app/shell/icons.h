// The tool-bar pictures (shell/toolbar, compiled in), the magnifier cursor, the application icon
// and the splash picture, drawn at start-up.
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
