#pragma once
// The image control of the BM, MAT and SFT windows: keeps the frame's 1:1 picture and paints
// it with each pixel a Zoom x Zoom block; it measures the zoomed picture.

#include <QImage>
#include <QWidget>

class TFrameImage : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameImage(QWidget *parent = nullptr);

    // A null picture empties the control.
    void SetPicture(QImage picture, int zoom);
    const QImage &Picture() const { return FPicture; }
    int Zoom() const { return FZoom; }
    // The size of the zoomed picture; empty for no picture.
    QSize PictureSize() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage FPicture;
    int FZoom = 1;
};
