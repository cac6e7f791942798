#include "ui/kit/GLM_Panning.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

TPanning::TPanning(QObject *viewport, std::function<QAbstractScrollArea *()> target,
                   std::function<void(int)> zoom)
    : QObject(viewport), FTarget(std::move(target)), FZoom(std::move(zoom))
{
    viewport->installEventFilter(this);
}

void TPanning::Scroll(QAbstractScrollArea *area, QPoint delta)
{
    QScrollBar *h = area->horizontalScrollBar();
    QScrollBar *v = area->verticalScrollBar();
    h->setValue(h->value() + delta.x());
    v->setValue(v->value() + delta.y());
}

bool TPanning::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        // One notch is 120; high-resolution wheels send parts of it.
        const QPoint angle = wheel->angleDelta();
        const int notches = angle.y() != 0 ? angle.y() : angle.x();
        if (FZoom && wheel->modifiers().testFlag(Qt::ControlModifier)) {
            if (notches != 0)
                FZoom(notches > 0 ? 1 : -1);
            return true;
        }
        QAbstractScrollArea *area = FTarget();
        if (!area)
            return false;
        const int step = area->verticalScrollBar()->singleStep() * QApplication::wheelScrollLines();
        const int pixels = -notches * step / 120;
        const bool sideways = wheel->modifiers().testFlag(Qt::ShiftModifier) || angle.y() == 0;
        Scroll(area, sideways ? QPoint(pixels, 0) : QPoint(0, pixels));
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::MiddleButton)
            break;
        FDragging = FTarget();
        FLast = mouse->globalPosition().toPoint();
        return FDragging != nullptr;
    }
    case QEvent::MouseMove:
        if (FDragging) {
            const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            // The picture follows the hand: dragging right shows what lies to the left.
            Scroll(FDragging, FLast - at);
            FLast = at;
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (FDragging && static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
            FDragging = nullptr;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
