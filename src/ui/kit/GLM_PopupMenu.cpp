#include "ui/kit/GLM_PopupMenu.h"

#include <QAction>
#include <QMenu>

QMenu *BuildPopupMenu(TDocumentKind kind, QWidget *parent, const std::function<void(TCommand)> &run)
{
    auto *menu = new QMenu(parent);
    for (const TPopupItem &item : PopupItems(kind)) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromUtf8(item.Caption));
        const TCommand command = item.Command;
        action->setObjectName(QString::fromUtf8(CommandInfo(command).MenuName));
        action->setData(static_cast<int>(command));
        QObject::connect(action, &QAction::triggered, menu, [run, command] { run(command); });
    }
    return menu;
}

void ApplyCommandStates(QMenu *menu, const TCommandStates &states)
{
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            action->setEnabled(states[static_cast<TCommand>(action->data().toInt())]);
}
