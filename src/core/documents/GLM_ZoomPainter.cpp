#include "core/documents/GLM_ZoomPainter.h"

#include <algorithm>

#include <QPainter>

QImage DisplayPicture(const TFrameView &view, const TPalette &palette)
{
    return FramePicture(view, palette, 1).convertToFormat(QImage::Format_RGB32);
}

void PaintZoomed(QPainter &painter, const QImage &picture, int zoom, QPoint origin,
                 const QRect &exposed)
{
    if (picture.isNull())
        return;
    zoom = std::max(zoom, 1);
    const QRect zoomed(origin, picture.size() * zoom);
    const QRect area = exposed & zoomed;
    if (area.isEmpty())
        return;
    // The source pixels under the area, and their blocks: whole blocks only, so that every
    // block is drawn the same way whichever part of the view is repainted.
    const int left = (area.left() - origin.x()) / zoom;
    const int top = (area.top() - origin.y()) / zoom;
    const int right = (area.right() - origin.x()) / zoom;
    const int bottom = (area.bottom() - origin.y()) / zoom;
    const QRect source(left, top, right - left + 1, bottom - top + 1);
    const QRect target(origin + source.topLeft() * zoom, source.size() * zoom);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRect(area, Qt::IntersectClip);
    painter.drawImage(target, picture, source);
    painter.restore();
}
