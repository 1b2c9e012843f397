#pragma once

#include <QList>
#include <QRect>

// The available areas of the screens (without task bars), the primary first, as the window's start-up
// places the main window on them.
QList<QRect> AvailableScreenAreas();
