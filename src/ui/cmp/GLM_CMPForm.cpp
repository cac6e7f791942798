#include "ui/cmp/GLM_CMPForm.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>

#include "core/GLM_CMPView.h"
#include "core/GLM_FileNames.h"
#include "core/documents/GLM_ImageDocument.h"
#include "platform/GLM_Platform.h"
#include "ui/cmp/GLM_EditCMPForm.h"
#include "ui/kit/GLM_ProgressForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_Settings.h"

namespace {

constexpr int NewClientSide = 200;
constexpr int CascadeStep = 22;

} // namespace

// ---------------------------------------------------------------------------------------------
// The image control

TCMPImage::TCMPImage(QWidget *parent) : QWidget(parent)
{
    setObjectName("CMPImage");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCMPImage::paintEvent(QPaintEvent *)
{
    const auto *form = static_cast<const TCMPForm *>(parentWidget());
    QPainter painter(this);
    DrawCMPGrid(painter, form->Document, form->CurrentFrame, form->CellSize(), form->Zoom,
                form->FillColor);
}

void TCMPImage::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit MouseMoved(p.x(), p.y());
}

void TCMPImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
}

// ---------------------------------------------------------------------------------------------
// Creation and opening

TCMPForm::TCMPForm()
{
    CMPImage = new TCMPImage(this);
    connect(CMPImage, &TCMPImage::MouseMoved, this, &TCMPForm::CMPImageMouseMove);
    connect(CMPImage, &TCMPImage::DoubleClicked, this, &TCMPForm::CMPImageDblClick);
    resize(NewClientSide, NewClientSide);
}

void TCMPForm::FormCreate()
{
    CurrentFrame = 0;
    Zoom = 1;
    if (QMdiSubWindow *sub = SubWindow(); sub && sub->mdiArea()) {
        const int offset =
            (static_cast<int>(sub->mdiArea()->subWindowList().size()) - 1) * CascadeStep;
        sub->move(offset, offset);
    }
    FileName = CMPUntitledName(UntitledCount);
    setWindowTitle(QString::fromStdString(FileName));
    FillColor = static_cast<TColor>(Settings.CMPFillColor) & 0xFFFFFF;
    Document.FillPalette(RedOf(FillColor), GreenOf(FillColor), BlueOf(FillColor));
    ApplyTransSetting();
    Modified = false;
    ShowFrame();
}

void TCMPForm::LoadFile(const std::string &path)
{
    // The document keeps what it had when the file cannot be read; the main window then
    // closes this window, so no window ever carries the name of a file it does not hold.
    Document.LoadFromFile(path);
    FilePath = path;
    FileName = ExtractFileName(path);
    setWindowTitle(QString::fromStdString(FileName));
    Modified = false;
    ShowFrame();
}

TDocumentFacts TCMPForm::Facts() const
{
    TDocumentFacts facts;
    facts.Zoom = Zoom;
    return facts;
}

TStatusTexts TCMPForm::StatusTexts() const
{
    TStatusTexts texts = CMPStatusTexts(CurrentFrame, Document.Header.HasTransparency);
    texts[3] = FIndexText;
    texts[4] = FColorText;
    return texts;
}

int TCMPForm::CellSize() const
{
    return FCellSize;
}

// ---------------------------------------------------------------------------------------------
// Drawing and layout

void TCMPForm::ShowFrame()
{
    // The setting is read at every drawing; painting and the mouse use what was drawn.
    FCellSize = EffectiveCMPCellSize(::Settings.CMPCellSize);
    const int side = CMPGridSide(CellSize(), Zoom);
    CMPImage->resize(side, side);
    CMPImage->update();
    FIndexText.clear();
    FColorText.clear();

    // The sub-window's size hint is this window's (the client area) plus its frame.
    updateGeometry();
    if (QMdiSubWindow *sub = SubWindow()) {
        if (!IsMaximized())
            sub->resize(sub->sizeHint());
    } else {
        resize(sizeHint());
    }
    Layout();
    UpdateMainWindow();
}

QSize TCMPForm::sizeHint() const
{
    const int side = CMPGridSide(CellSize(), Zoom);
    return {std::max(MinClientWidth, side), side};
}

QMdiSubWindow *TCMPForm::SubWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

bool TCMPForm::IsMaximized() const
{
    const QMdiSubWindow *sub = SubWindow();
    return sub && sub->isMaximized();
}

bool TCMPForm::IsActiveForm() const
{
    const QMdiSubWindow *sub = SubWindow();
    // A window outside a main window has nobody to share the status bar with.
    return !sub || !sub->mdiArea() || sub->mdiArea()->currentSubWindow() == sub;
}

void TCMPForm::Layout()
{
    // Centred while maximized (a larger grid starts left of or above the area), else at 0,0.
    if (IsMaximized())
        CMPImage->move((width() - CMPImage->width()) / 2, (height() - CMPImage->height()) / 2);
    else
        CMPImage->move(0, 0);
}

void TCMPForm::resizeEvent(QResizeEvent *event)
{
    TDocumentWindow::resizeEvent(event);
    Layout();
}

// ---------------------------------------------------------------------------------------------
// Views and zoom

void TCMPForm::NextFrame()
{
    // A cycle tick may arrive while the progress window is up; the tables are half made then.
    if (FCalculating)
        return;
    CurrentFrame = CMPNextFrame(CurrentFrame, Document.Header.HasTransparency);
    ShowFrame();
}

void TCMPForm::PreviousFrame()
{
    if (FCalculating)
        return;
    CurrentFrame = CMPPreviousFrame(CurrentFrame, Document.Header.HasTransparency);
    ShowFrame();
}

void TCMPForm::ZoomIn()
{
    Zoom = std::min(Zoom + 1, MaxZoom);
    ShowFrame();
}

void TCMPForm::ZoomOut()
{
    Zoom = std::max(Zoom - 1, 1);
    ShowFrame();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TCMPForm::CMPImageMouseMove(int x, int y)
{
    if (!IsActiveForm())
        return;
    const int index = CMPCellAt(x, y, CellSize(), Zoom);
    if (index < 0)
        return;
    HoverIndex = index;
    FIndexText = CMPIndexText(HoverIndex);
    FColorText = CMPColorText(Document.Palette, HoverIndex);
    UpdateMainWindow();
}

void TCMPForm::CMPImageDblClick()
{
    ChangeCellColor();
}

// ---------------------------------------------------------------------------------------------
// Editing

void TCMPForm::ChangeCellColor()
{
    if (!IsActiveForm())
        return;
    TPaletteEntry &entry = Document.Palette[static_cast<size_t>(HoverIndex)];
    TColor color = MakeColor(entry.Red, entry.Green, entry.Blue);
    if (!Platform().ColorDialog().Execute(color, this))
        return;
    // The tables keep their indices: the light tables until the next palette selection, the
    // transparency tables until the next save.
    entry = TPaletteEntry{RedOf(color), GreenOf(color), BlueOf(color)};
    Modified = true;
    ShowFrame();
}

void TCMPForm::SelectPalette()
{
    if (!SelectPaletteForm)
        return;
    SelectPaletteForm->PaletteName = FilePath;
    SelectPaletteForm->Palette = Document.Palette;
    if (SelectPaletteForm->ShowModal() != mrOk)
        return;
    Document.Palette = SelectPaletteForm->Palette;
    Document.CalcLightLevels();
    if (Document.Header.HasTransparency != 0)
        Document.CalcTransTables();
    // Taking the palette of the file itself changes nothing that is not already on disk.
    if (SelectPaletteForm->PaletteName != FilePath)
        Modified = true;
    ShowFrame();
}

void TCMPForm::EditProperties()
{
    if (!EditCMPForm)
        return;
    EditCMPForm->UseTransTables = Document.Header.HasTransparency != 0;
    if (EditCMPForm->ShowModal() != mrOk)
        return;
    // The view stays as it is, also a transparency table whose tables were just switched off.
    ApplyTransSetting();
    if (Document.Header.HasTransparency != 0)
        RecalcTransTables();
    Modified = true;
    UpdateMainWindow();
}

void TCMPForm::ApplyTransSetting()
{
    Document.Header.HasTransparency = Settings.CMPTransTables ? 1 : 0;
}

void TCMPForm::RecalcTransTables()
{
    struct TGuard
    {
        bool &Calculating;
        ~TGuard()
        {
            Calculating = false;
            if (ProgressForm)
                ProgressForm->Finish();
        }
    } guard{FCalculating};
    FCalculating = true;
    if (ProgressForm) {
        ProgressForm->ProgressLabel->setText("Calculating new transparency tables.");
        ProgressForm->Start();
    }
    Document.CalcTransTables([](int, int) {
        if (ProgressForm)
            ProgressForm->KeepPainted();
    });
}

// ---------------------------------------------------------------------------------------------
// Saving and closing

void TCMPForm::SaveFile()
{
    Save();
}

void TCMPForm::SaveFileAs()
{
    SaveAs();
}

bool TCMPForm::Save()
{
    if (FilePath.empty() || !FileExists(FilePath))
        return SaveAs();
    if (CMPNeedsTransRecalc(Modified, Document.Header.HasTransparency))
        RecalcTransTables();
    SaveWithBackup(FilePath, Settings.BackupFile ? ".~cmp" : "",
                   [this](const std::string &path) { Document.SaveToFile(path); });
    Modified = false;
    return true;
}

bool TCMPForm::SaveAs()
{
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = "Save As CMP Palette";
    request.Filter = "CMP Palettes (*.cmp)|*.cmp|All Files (*.*)|*.*";
    request.DefaultExt = "cmp";
    request.FilterIndex = 1;
    request.FileName = FileName;
    request.InitialDir = DialogDirectory(TDialogKind::Save, TFileType::CMP);
    request.Parent = this;
    if (!Platform().FileDialogs().Execute(request) || request.FileName.empty())
        return false;
    const std::string path = request.FileName;
    RememberDirectory(TDialogKind::Save, TFileType::CMP, path);
    if (FileExists(path)) {
        if (!FileReplaceForm)
            return false;
        FileReplaceForm->FileName = path;
        FileReplaceForm->MultipleFiles = false;
        if (FileReplaceForm->ShowModal() != mrYes)
            return false;
    }
    if (CMPNeedsTransRecalc(Modified, Document.Header.HasTransparency))
        RecalcTransTables();
    Document.SaveToFile(path);
    FilePath = path;
    FileName = ExtractFileName(path);
    setWindowTitle(QString::fromStdString(FileName));
    emit AddToReopenListRequested(FilePath);
    Modified = false;
    UpdateMainWindow();
    return true;
}

bool TCMPForm::CloseQuery()
{
    return !Modified || AskSaveChanges([this] { return Save(); });
}
