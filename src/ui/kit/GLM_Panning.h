#pragma once
// Moving around a picture larger than its view: the wheel scrolls up and down, Shift+wheel
// sideways, dragging with the middle button pans, and Ctrl+wheel zooms when the view can.
// Installed on a viewport; the area it scrolls is asked anew for every event, so a window
// that cannot scroll itself may hand the panning on to the workspace around it.

#include <functional>

#include <QObject>
#include <QPoint>

class QAbstractScrollArea;

class TPanning : public QObject
{
public:
    // The area to scroll now (nullptr: none); `zoom` gets +1 or -1 per wheel step with Ctrl
    // (none: Ctrl+wheel scrolls as the plain wheel does).
    TPanning(QObject *viewport, std::function<QAbstractScrollArea *()> target,
             std::function<void(int)> zoom = {});

    // Scrolls `area` by `delta` pixels, as far as its scroll bars go.
    static void Scroll(QAbstractScrollArea *area, QPoint delta);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<QAbstractScrollArea *()> FTarget;
    std::function<void(int)> FZoom;
    QAbstractScrollArea *FDragging = nullptr;
    QPoint FLast;
};
