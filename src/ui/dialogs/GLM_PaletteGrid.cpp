#include "ui/dialogs/GLM_PaletteGrid.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

QImage PaletteGridPicture(const TPalette &palette)
{
    QImage picture(PaletteGridSize, PaletteGridSize, QImage::Format_RGB32);
    for (int k = 0; k < 256; ++k) {
        const TPaletteEntry &e = palette[static_cast<size_t>(k)];
        const QRgb color = qRgb(e.Red, e.Green, e.Blue);
        const int left = (k % 16) * PaletteCellSize;
        const int top = (k / 16) * PaletteCellSize;
        for (int y = top; y < top + PaletteCellSize; ++y) {
            auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
            std::fill(row + left, row + left + PaletteCellSize, color);
        }
    }
    // The lines go on top of the cells, at every 15 pixels from 15 to 225, across the grid.
    const QRgb white = qRgb(255, 255, 255);
    for (int m = 1; m < 16; ++m) {
        const int at = m * PaletteCellSize;
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(at));
        std::fill(row, row + PaletteGridSize, white);
        for (int y = 0; y < PaletteGridSize; ++y)
            picture.setPixel(at, y, white);
    }
    return picture;
}

int PaletteIndexAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= PaletteGridSize || y >= PaletteGridSize)
        return -1;
    return (y / PaletteCellSize) * 16 + x / PaletteCellSize;
}

TPaletteGrid::TPaletteGrid(QWidget *parent) : QWidget(parent)
{
    setFixedSize(PaletteGridSize, PaletteGridSize);
    // The readout follows the mouse without a button held.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FPicture = PaletteGridPicture(TPalette{});
}

void TPaletteGrid::DrawPalette(const TPalette &palette)
{
    FPicture = PaletteGridPicture(palette);
    update();
}

void TPaletteGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, FPicture);
}

void TPaletteGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit MouseMoved(p.x(), p.y());
}

void TPaletteGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit DoubleClicked(p.x(), p.y());
}

void TPaletteGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit MouseReleased(p.x(), p.y());
}
