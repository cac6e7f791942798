#include "ui/image/GLM_FrameImage.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>

#include "core/documents/GLM_ZoomPainter.h"

TFrameImage::TFrameImage(QWidget *parent) : QWidget(parent)
{
    setObjectName("Image");
    // Painted whole by paintEvent; nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFrameImage::SetPicture(QImage picture, int zoom)
{
    FPicture = std::move(picture);
    FZoom = std::max(zoom, 1);
    resize(PictureSize());
    update();
}

QSize TFrameImage::PictureSize() const
{
    return FPicture.isNull() ? QSize(0, 0) : FPicture.size() * FZoom;
}

void TFrameImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    PaintZoomed(painter, FPicture, FZoom, QPoint(0, 0), event->rect());
}
