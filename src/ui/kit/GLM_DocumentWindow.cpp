#include "ui/kit/GLM_DocumentWindow.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>

#include "core/documents/GLM_ImageDocument.h"
#include "platform/GLM_Platform.h"
#include "ui/kit/GLM_PopupMenu.h"

TDocumentWindow::TDocumentWindow(TDocumentKind kind, const TOperations &operations, QWidget *parent)
    : QWidget(parent), FKind(kind), FOperations(operations)
{
    FPopupMenu = BuildPopupMenu(kind, this, [this](TCommand command) {
        // Popup commands do not stop cycling; Cycle Frames asks the main window to toggle it.
        if (command == TCommand::CycleFrames) {
            emit ToggleCyclingRequested();
            return;
        }
        // A file error must not leave through Qt's event loop, which ends the program; it is
        // shown here as the main window shows those of its own commands.
        try {
            RunOperation(command);
        } catch (const std::exception &e) {
            Platform().Messages().Error(e.what(), {}, this);
        }
    });
    FPopupMenu->setObjectName("PopupMenu");
    connect(FPopupMenu, &QMenu::aboutToShow, this, &TDocumentWindow::UpdatePopupMenu);
}

std::string TDocumentWindow::MainCaption() const
{
    return MainWindowCaption(FilePath, FileName);
}

TDocumentFacts TDocumentWindow::DocumentFacts() const
{
    TDocumentFacts facts = Facts();
    facts.Kind = FKind;
    return facts;
}

bool TDocumentWindow::HasOperation(TCommand command) const
{
    return FOperations[static_cast<size_t>(command)] != nullptr;
}

void TDocumentWindow::RunOperation(TCommand command)
{
    if (const TOperation operation = FOperations[static_cast<size_t>(command)])
        operation(*this);
}

void TDocumentWindow::UpdatePopupMenu()
{
    ApplyCommandStates(FPopupMenu, DocumentStates(DocumentFacts()));
}

bool TDocumentWindow::QueryClose()
{
    emit StopCyclingRequested();
    return CloseQuery();
}

void TDocumentWindow::closeEvent(QCloseEvent *event)
{
    if (FClosed) {
        event->accept();
        return;
    }
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    emit StopCyclingRequested();
    emit Closing(this);
    FormClose();
    FClosed = true;
    event->accept();
}

void TDocumentWindow::contextMenuEvent(QContextMenuEvent *event)
{
    FPopupMenu->exec(event->globalPos());
}

bool TDocumentWindow::AskSaveChanges(const std::function<bool()> &save)
{
    switch (Platform().Messages().Question("Save changes to " + FileName + "?", {}, this)) {
    case TMessageResult::Yes:
        try {
            return save();
        } catch (const std::exception &e) {
            Platform().Messages().Error(e.what(), {}, this);
            return false;
        }
    case TMessageResult::No:
        return true;
    default:
        return false;
    }
}
