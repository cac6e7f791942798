#include "ui/main/GLM_ToolbarIcons.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Every picture is drawn on a 16 x 16 grid and rendered at 16 and 32 pixels.
using TDraw = std::function<void(QPainter &)>;

const QColor Ink(40, 40, 40);
const QColor Paper(250, 250, 250);
const QColor Folder(236, 190, 60);
const QColor Blue(40, 100, 200);
const QColor Green(40, 150, 60);
const QColor Red(200, 40, 40);
const QColor Sky(120, 180, 235);

QIcon Render(const TDraw &draw)
{
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        p.setPen(QPen(Ink, 1.0));
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Page(QPainter &p, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(Paper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

// A small landscape: the picture of one frame.
void Picture(QPainter &p, QRectF r)
{
    p.setBrush(Sky);
    p.drawRect(r);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45);
    hill.lineTo(r.left() + r.width() * 0.65, r.top() + r.height() * 0.7);
    hill.lineTo(r.right(), r.top() + r.height() * 0.35);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setBrush(Green);
    p.drawPath(hill);
}

void Arrow(QPainter &p, QPointF from, QPointF to, QColor color)
{
    p.save();
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::max(1e-6, std::hypot(d.x(), d.y()));
    const QPointF u(d.x() / len, d.y() / len), n(-u.y(), u.x());
    p.drawLine(to, to - u * 3 + n * 2.5);
    p.drawLine(to, to - u * 3 - n * 2.5);
    p.restore();
}

void Triangle(QPainter &p, bool right, double x)
{
    QPolygonF t;
    if (right)
        t << QPointF(x, 3) << QPointF(x + 7, 8) << QPointF(x, 13);
    else
        t << QPointF(x + 7, 3) << QPointF(x, 8) << QPointF(x + 7, 13);
    p.setBrush(Blue);
    p.drawPolygon(t);
}

void Magnifier(QPainter &p, bool plus)
{
    p.setBrush(Paper);
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.save();
    p.setPen(QPen(Ink, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.setPen(QPen(Blue, 1.4));
    p.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
    if (plus)
        p.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
    p.restore();
}

void Badge(QPainter &p, const QString &letter)
{
    p.setBrush(Blue);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, letter);
}

void Plus(QPainter &p, QPointF c)
{
    p.save();
    p.setPen(QPen(Green, 2.0));
    p.drawLine(c - QPointF(3, 0), c + QPointF(3, 0));
    p.drawLine(c - QPointF(0, 3), c + QPointF(0, 3));
    p.restore();
}

TDraw DrawingFor(TCommand command)
{
    using C = TCommand;
    switch (command) {
    case C::New:
        return [](QPainter &p) { Page(p, QRectF(3.5, 1.5, 9, 13)); };
    case C::Open:
        return [](QPainter &p) {
            p.setBrush(Folder.darker(115));
            p.drawRect(QRectF(1.5, 3.5, 6, 3));
            p.setBrush(Folder);
            p.drawRect(QRectF(1.5, 5.5, 13, 8));
        };
    case C::Save:
        return [](QPainter &p) {
            p.setBrush(Blue);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Paper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(4.5, 9.5, 7, 5));
        };
    case C::SaveBitmap:
        return [](QPainter &p) {
            Picture(p, QRectF(1.5, 1.5, 10, 8));
            Arrow(p, QPointF(12, 7), QPointF(12, 14.5), Blue);
        };
    case C::SaveAllBitmaps:
        return [](QPainter &p) {
            Picture(p, QRectF(4.5, 1.5, 10, 7));
            Picture(p, QRectF(1.5, 5.5, 10, 7));
            Arrow(p, QPointF(13, 9), QPointF(13, 15), Blue);
        };
    case C::PreviousFrame:
        return [](QPainter &p) {
            p.setBrush(Blue);
            p.drawRect(QRectF(3, 3, 2, 10));
            Triangle(p, false, 6);
        };
    case C::NextFrame:
        return [](QPainter &p) {
            Triangle(p, true, 3);
            p.setBrush(Blue);
            p.drawRect(QRectF(11, 3, 2, 10));
        };
    case C::CycleFrames:
        return [](QPainter &p) {
            p.save();
            p.setPen(QPen(Blue, 1.6));
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 150 * 16);
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 210 * 16, 150 * 16);
            p.restore();
            Arrow(p, QPointF(10, 2.2), QPointF(12.9, 5.2), Blue);
            Arrow(p, QPointF(6, 13.8), QPointF(3.1, 10.8), Blue);
        };
    case C::ZoomIn:
        return [](QPainter &p) { Magnifier(p, true); };
    case C::ZoomOut:
        return [](QPainter &p) { Magnifier(p, false); };
    case C::AddFrames:
        return [](QPainter &p) {
            Picture(p, QRectF(1.5, 1.5, 10, 8));
            Plus(p, QPointF(12, 12));
        };
    case C::AddMipmap:
        return [](QPainter &p) {
            Picture(p, QRectF(1.5, 1.5, 8, 8));
            Picture(p, QRectF(9.5, 1.5, 4, 4));
            Picture(p, QRectF(9.5, 5.5, 2, 2));
            Plus(p, QPointF(12, 12));
        };
    case C::DeleteFrame:
        return [](QPainter &p) {
            Picture(p, QRectF(1.5, 1.5, 10, 8));
            p.save();
            p.setPen(QPen(Red, 2.0));
            p.drawLine(QPointF(9, 9), QPointF(15, 15));
            p.drawLine(QPointF(15, 9), QPointF(9, 15));
            p.restore();
        };
    case C::ShiftToPreviousFrame:
        return [](QPainter &p) {
            Picture(p, QRectF(5.5, 1.5, 9, 7));
            Arrow(p, QPointF(14, 12), QPointF(2, 12), Blue);
        };
    case C::ShiftToNextFrame:
        return [](QPainter &p) {
            Picture(p, QRectF(1.5, 1.5, 9, 7));
            Arrow(p, QPointF(2, 12), QPointF(14, 12), Blue);
        };
    case C::SelectPalette:
        return [](QPainter &p) {
            const QColor cells[4] = {Red, Green, Blue, Folder};
            for (int i = 0; i < 4; ++i) {
                p.setBrush(cells[i]);
                p.drawRect(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6));
            }
        };
    case C::EditProperties:
        return [](QPainter &p) {
            Page(p, QRectF(2.5, 1.5, 11, 13));
            for (double y : {5.5, 8.5, 11.5})
                p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
        };
    case C::Options:
        return [](QPainter &p) {
            p.save();
            p.translate(8, 8);
            p.setBrush(QColor(150, 150, 150));
            for (int i = 0; i < 8; ++i) {
                p.drawRect(QRectF(-1.5, -7.5, 3, 4));
                p.rotate(45);
            }
            p.drawEllipse(QRectF(-5, -5, 10, 10));
            p.setBrush(Paper);
            p.drawEllipse(QRectF(-2, -2, 4, 4));
            p.restore();
        };
    case C::Contents:
        return [](QPainter &p) { Badge(p, QStringLiteral("?")); };
    case C::About:
        return [](QPainter &p) { Badge(p, QStringLiteral("i")); };
    default:
        return {};
    }
}

} // namespace

QIcon CommandIcon(TCommand command)
{
    if (!CommandInfo(command).ButtonName)
        return {};
    const TDraw draw = DrawingFor(command);
    return draw ? Render(draw) : QIcon();
}

QIcon ProgramIcon()
{
    // A palette grid: what the program is about.
    return Render([](QPainter &p) {
        p.setPen(Qt::NoPen);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                p.setBrush(QColor::fromHsv((x + y * 4) * 22, 200, 120 + y * 40));
                p.drawRect(QRectF(x * 4, y * 4, 4, 4));
            }
    });
}
