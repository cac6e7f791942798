#pragma once
// Drawing a frame at a zoom without ever making the zoomed picture: the window keeps the
// frame's 1:1 picture and paints, for the part of the view that needs it, each pixel as a
// zoom x zoom block (a 1024 x 1024 frame at zoom 10 would otherwise be a 300 MB picture).

#include <QImage>
#include <QPoint>
#include <QRect>

#include "core/GLM_FramePicture.h"

class QPainter;

// The frame at 1:1 through the palette, in the form painting is fastest from.
QImage DisplayPicture(const TFrameView &view, const TPalette &palette);

// Paints `picture` with its top-left corner at `origin`, each pixel a zoom x zoom block,
// over the part of `exposed` that the zoomed picture covers.
void PaintZoomed(QPainter &painter, const QImage &picture, int zoom, QPoint origin,
                 const QRect &exposed);
