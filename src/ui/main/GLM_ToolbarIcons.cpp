#include "ui/main/GLM_ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures are built into the program (data/icons/icons.qrc); a static library must ask
// for them by name, or the linker leaves them out.
static void LoadPictures()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

// A 16 x 16 drawing rendered at 16 and 32 pixels; null when the picture is missing.
QIcon Render(const QString &resource)
{
    LoadPictures();
    QSvgRenderer drawing(resource);
    if (!drawing.isValid())
        return {};
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawing.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon CommandIcon(TCommand command)
{
    const char *button = CommandInfo(command).ButtonName;
    return button ? Render(QStringLiteral(":/icons/toolbar/%1.svg").arg(button)) : QIcon();
}

QIcon ProgramIcon()
{
    return Render(QStringLiteral(":/icons/window-icon.svg"));
}
