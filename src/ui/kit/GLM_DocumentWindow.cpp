#include "ui/kit/GLM_DocumentWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QMenu>
#include <QUndoStack>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include "core/GLM_FileNames.h"
#include "core/documents/GLM_EditSteps.h"
#include "core/documents/GLM_ImageDocument.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_PopupMenu.h"

namespace {

// The room the title bar keeps on each side of its text before it elides it.
constexpr int LabelMargin = 4;

} // namespace

TDocumentWindow::TDocumentWindow(TWindowContext &context, const TDocumentDescription &description,
                                 const TOperations &operations, QWidget *parent)
    : QWidget(parent), FContext(context), FDescription(description), FOperations(operations)
{
    FPopupMenu = BuildPopupMenu(description.Kind, this, [this](TCommand command) {
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
            Messages().Error(e.what(), {}, this);
        }
    });
    FPopupMenu->setObjectName("PopupMenu");
    connect(FPopupMenu, &QMenu::aboutToShow, this, &TDocumentWindow::UpdatePopupMenu);

    FUndoStack = new QUndoStack(this);
    FUndoStack->setObjectName("UndoStack");
    // Set while the stack is empty, as Qt requires; the settings keep it within bounds.
    FUndoStack->setUndoLimit(Settings().UndoLimit);
    // Undo, redo and every push change the Modified state, the Edit menu's texts and states.
    connect(FUndoStack, &QUndoStack::indexChanged, this, &TDocumentWindow::UpdateMainWindow);
    connect(FUndoStack, &QUndoStack::cleanChanged, this, &TDocumentWindow::UpdateMainWindow);
}

TDocumentWindow::~TDocumentWindow()
{
    // The stack goes with the children, after the kind's document: it must not report then.
    disconnect(FUndoStack, nullptr, this, nullptr);
}

TDocumentWindow::TModified::operator bool() const
{
    return !FWindow.FUndoStack->isClean();
}

TDocumentWindow::TModified &TDocumentWindow::TModified::operator=(bool modified)
{
    if (modified)
        FWindow.FUndoStack->resetClean();
    else
        FWindow.FUndoStack->setClean();
    return *this;
}

std::string TDocumentWindow::MainCaption() const
{
    return MainWindowCaption(FilePath, FileName);
}

TDocumentFacts TDocumentWindow::DocumentFacts() const
{
    TDocumentFacts facts = Facts();
    facts.Kind = Kind();
    facts.CanUndo = FUndoStack->canUndo();
    facts.CanRedo = FUndoStack->canRedo();
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

void TDocumentWindow::UpdateMainWindow()
{
    setWindowTitle(QString::fromStdString(WindowCaption()));
    emit StateChanged();
}

int TDocumentWindow::CaptionWidth() const
{
    const auto *sub = qobject_cast<const QMdiSubWindow *>(parentWidget());
    if (!sub)
        return 0;
    // What the title bar leaves for its label at some width, as the sub-window's style lays
    // it out, gives the width the buttons and margins take.
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    option.text = QString::fromStdString(WindowCaption());
    option.titleBarFlags = sub->windowFlags();
    option.subControls = QStyle::SC_All;
    const int wide = 1000;
    option.rect =
        QRect(0, 0, wide, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub));
    const QRect label =
        sub->style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, sub);
    // Active titles are drawn bold; measured so, the caption fits either way.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int text = QFontMetrics(font).horizontalAdvance(option.text) + 2 * LabelMargin;
    const int frame =
        2 * sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    return wide - label.width() + text - frame;
}

TMessageBoxes &TDocumentWindow::Messages() const
{
    return FContext.Platform.Messages();
}

// ---------------------------------------------------------------------------------------------
// Creating and opening

void TDocumentWindow::FormCreate(int untitledNumber)
{
    FileName = UntitledName(untitledNumber, FDescription.Extension);
    NewDocument();
    FUndoStack->clear();
    ShowFrame();
    UpdateMainWindow();
}

void TDocumentWindow::LoadFile(const std::string &path)
{
    // The window takes the path only once the whole file has been read.
    ReadDocument({path});
    FilePath = path;
    FileName = ExtractFileName(path);
    FUndoStack->clear();
    ShowFrame();
    UpdateMainWindow();
}

void TDocumentWindow::LoadMember(const std::string &path, const std::string &caption,
                                 std::vector<uint8_t> bytes, TMemberStore store)
{
    ReadDocument({path, &bytes});
    FStore = std::move(store);
    Modified = false;
    RenameMember(path, caption);
    ShowFrame();
}

void TDocumentWindow::RenameMember(const std::string &path, const std::string &caption)
{
    FilePath = path;
    FileName = caption;
    UpdateMainWindow();
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

void TDocumentWindow::Undo()
{
    FUndoStack->undo();
}

void TDocumentWindow::Redo()
{
    FUndoStack->redo();
}

void TDocumentWindow::PushStep(std::unique_ptr<TEditStep> step, const TStepView &before,
                               bool always)
{
    if (!step->Finish() && !always)
        return;
    step->Before = before;
    step->After = CurrentStepView();
    step->Shown = [this](const TStepView &view) {
        ShowStepView(view);
        UpdateMainWindow();
    };
    FUndoStack->push(step.release());
}

TStepView TDocumentWindow::CurrentStepView() const
{
    return {};
}

void TDocumentWindow::ShowStepView(const TStepView &)
{
    ShowFrame();
}

// ---------------------------------------------------------------------------------------------
// Saving

std::vector<std::string> TDocumentWindow::ChooseFiles(TFileDialogRequest request)
{
    TSettings &settings = Settings();
    const TDialogKind kind =
        request.Kind == TFileDialogKind::Save ? TDialogKind::Save : TDialogKind::Open;
    request.InitialDir = settings.DialogDirectory(kind, FDescription.FileType);
    request.Parent = this;
    if (!FContext.Platform.FileDialogs().Execute(request))
        return {};
    std::vector<std::string> files = request.Files;
    if (files.empty() && !request.FileName.empty())
        files.push_back(request.FileName);
    if (!files.empty())
        settings.RememberDirectory(kind, FDescription.FileType,
                                   request.FileName.empty() ? files.front() : request.FileName);
    return files;
}

int TDocumentWindow::ConfirmReplace(const std::string &path, bool multipleFiles)
{
    TFileReplaceForm *replace = FContext.FileReplaceForm;
    if (!replace)
        return mrCancel;
    replace->FileName = path;
    replace->MultipleFiles = multipleFiles;
    return replace->ShowModal();
}

bool TDocumentWindow::Save()
{
    if (FStore) {
        BeforeWrite();
        FStore(DocumentBytes());
        Modified = false;
        UpdateMainWindow();
        return true;
    }
    if (FilePath.empty() || !FileExists(FilePath))
        return SaveAs();
    if (!MayWrite())
        return false;
    BeforeWrite();
    NamingFile(FilePath, [this] {
        SaveWithBackup(FilePath, Settings().BackupFile ? BackupExtension() : "",
                       [this](const std::string &path) { WriteDocument(path); });
    });
    Written(FilePath);
    Modified = false;
    UpdateMainWindow();
    return true;
}

bool TDocumentWindow::SaveAs()
{
    if (!MayWrite())
        return false;
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = FDescription.SaveTitle;
    request.Filter = FDescription.SaveFilter;
    request.FilterIndex = 1;
    request.FileName = ExtractFileName(FileName); // a member's own name, without its container
    request.DefaultExt = FDescription.DefaultExt;
    const std::vector<std::string> chosen = ChooseFiles(request);
    if (chosen.empty())
        return false;
    const std::string &path = chosen.front();
    if (FileExists(path) && ConfirmReplace(path, false) != mrYes)
        return false;
    BeforeWrite();
    NamingFile(path, [this, &path] { WriteDocument(path); });
    FStore = nullptr; // a loose file from now on
    FilePath = path;
    FileName = ExtractFileName(path);
    Written(path);
    emit AddToReopenListRequested(FilePath);
    FUndoStack->setClean();
    UpdateMainWindow();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Closing

bool TDocumentWindow::QueryClose()
{
    emit StopCyclingRequested();
    if (!CloseDependents())
        return false;
    if (!Modified)
        return true;
    switch (Messages().Question("Save changes to " + FileName + "?", {}, this)) {
    case TMessageResult::Yes:
        try {
            return Save();
        } catch (const std::exception &e) {
            Messages().Error(e.what(), {}, this);
            return false;
        }
    case TMessageResult::No:
        return true;
    default:
        return false;
    }
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
    FClosed = true;
    event->accept();
}

void TDocumentWindow::contextMenuEvent(QContextMenuEvent *event)
{
    FPopupMenu->exec(event->globalPos());
}
