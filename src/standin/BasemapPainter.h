// Paints the offline basemap for a view: the level of detail its scale asks
// for, and of it only the pieces whose boxes reach into the window, on every
// copy of the world the window shows.
#pragma once

#include <QPainter>

#include "Basemap.h"
#include "MapProjection.h"

namespace standin {

// The sea is the window's background; land, coast and borders go over it.
void PaintBasemap(QPainter& painter, const TBasemap& basemap, const TMercatorView& view);

}  // namespace standin
