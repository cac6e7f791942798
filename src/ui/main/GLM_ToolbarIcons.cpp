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

// A drawing rendered at each of `sizes` pixels; null when the picture is missing.
QIcon Render(const QString &resource, std::initializer_list<int> sizes = {16, 32})
{
    LoadPictures();
    QSvgRenderer drawing(resource);
    if (!drawing.isValid())
        return {};
    QIcon icon;
    for (int size : sizes) {
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
    // The installed icon's own drawing, so the running window looks like its launcher.
    return Render(QStringLiteral(":/icons/glimra.svg"), {16, 24, 32, 48, 64, 128, 256});
}
