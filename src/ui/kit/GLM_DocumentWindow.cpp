#include "ui/kit/GLM_DocumentWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include "core/GLM_FileNames.h"
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
}

std::string TDocumentWindow::MainCaption() const
{
    return MainWindowCaption(FilePath, FileName);
}

TDocumentFacts TDocumentWindow::DocumentFacts() const
{
    TDocumentFacts facts = Facts();
    facts.Kind = Kind();
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
    Modified = false;
    ShowFrame();
    UpdateMainWindow();
}

void TDocumentWindow::LoadFile(const std::string &path)
{
    // The window takes the path only once the whole file has been read.
    ReadDocument(path);
    FilePath = path;
    FileName = ExtractFileName(path);
    Modified = false;
    ShowFrame();
    UpdateMainWindow();
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
    if (FilePath.empty() || !FileExists(FilePath))
        return SaveAs();
    if (!MayWrite())
        return false;
    BeforeWrite();
    NamingFile(FilePath, [this] {
        SaveWithBackup(FilePath, Settings().BackupFile ? FDescription.BackupExtension : "",
                       [this](const std::string &path) { WriteDocument(path); });
    });
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
    request.FileName = FileName;
    request.DefaultExt = FDescription.DefaultExt;
    const std::vector<std::string> chosen = ChooseFiles(request);
    if (chosen.empty())
        return false;
    const std::string &path = chosen.front();
    if (FileExists(path) && ConfirmReplace(path, false) != mrYes)
        return false;
    BeforeWrite();
    NamingFile(path, [this, &path] { WriteDocument(path); });
    FilePath = path;
    FileName = ExtractFileName(path);
    emit AddToReopenListRequested(FilePath);
    Modified = false;
    UpdateMainWindow();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Closing

bool TDocumentWindow::QueryClose()
{
    emit StopCyclingRequested();
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
