#pragma once
// The 16 x 16 colour grid both palette pickers show: entry k = 16 x row + column in a
// 15 x 15 cell, white lines between the cells, nothing marked. The grid only draws and reports
// the mouse; the dialogs decide what a position means to them.

#include <QImage>
#include <QWidget>

#include "formats/GLM_Globals.h"

constexpr int PaletteCellSize = 15;
constexpr int PaletteGridSize = 16 * PaletteCellSize; // 240

// The grid picture of `palette`, PaletteGridSize pixels square.
QImage PaletteGridPicture(const TPalette &palette);
// The entry under (x, y) of the grid, or -1 outside it (a drag or a release can report
// points beyond the control, which must never index the palette).
int PaletteIndexAt(int x, int y);

class TPaletteGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TPaletteGrid(QWidget *parent = nullptr);

    void DrawPalette(const TPalette &palette);
    const QImage &Picture() const { return FPicture; }

signals:
    void MouseMoved(int x, int y);
    void DoubleClicked(int x, int y);
    void MouseReleased(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage FPicture;
};
