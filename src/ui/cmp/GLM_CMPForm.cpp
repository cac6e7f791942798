#include "ui/cmp/GLM_CMPForm.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>

#include "core/GLM_CMPView.h"
#include "core/GLM_FileNames.h"
#include "core/GLM_LightView.h"
#include "core/documents/GLM_EditSteps.h"
#include "core/documents/GLM_ImageDocument.h"
#include "platform/GLM_Platform.h"
#include "ui/cmp/GLM_EditCMPForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_ProgressForm.h"

namespace {

constexpr int NewClientSide = 200;

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
    if (!form->MarkFullBright)
        return;
    // A white square with a black rim in the middle of the cell shows on any colour.
    const int cell = EffectiveCMPCellSize(form->CellSize()) * std::max(form->Zoom, 1);
    const int mark = std::max(cell / 3, 3);
    const std::array<bool, 256> bright = FullBrightIndices(form->Document);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    for (int i = 0; i < 256; ++i)
        if (bright[static_cast<size_t>(i)])
            painter.drawRect((i % 16) * cell + (cell - mark) / 2,
                             (i / 16) * cell + (cell - mark) / 2, mark - 1, mark - 1);
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

TCMPForm::TCMPForm(TWindowContext &context, TEditCMPForm &properties, QWidget *parent)
    : TDocumentWindowOf(context, parent), FProperties(properties)
{
    CMPImage = new TCMPImage(this);
    connect(CMPImage, &TCMPImage::MouseMoved, this, &TCMPForm::CMPImageMouseMove);
    connect(CMPImage, &TCMPImage::DoubleClicked, this, &TCMPForm::CMPImageDblClick);
    resize(NewClientSide, NewClientSide);
}

void TCMPForm::NewDocument()
{
    CurrentFrame = 0;
    Zoom = 1;
    FillColor = static_cast<TColor>(Settings().CMPFillColor) & 0xFFFFFF;
    Document.FillPalette(RedOf(FillColor), GreenOf(FillColor), BlueOf(FillColor));
    ApplyTransSetting();
}

void TCMPForm::ReadDocument(const TDocumentSource &source)
{
    TCMP loaded;
    source.LoadInto(loaded);
    Document = std::move(loaded);
}

void TCMPForm::WriteDocument(const std::string &path) const
{
    Document.SaveToFile(path);
}

std::vector<uint8_t> TCMPForm::DocumentBytes() const
{
    return Document.SaveToBytes();
}

void TCMPForm::BeforeWrite()
{
    if (CMPNeedsTransRecalc(Modified, Document.Header.HasTransparency))
        RecalcTransTables();
}

TDocumentFacts TCMPForm::Facts() const
{
    TDocumentFacts facts;
    facts.Zoom = Zoom;
    facts.MarkFullBright = MarkFullBright;
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
    FCellSize = EffectiveCMPCellSize(Settings().CMPCellSize);
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
    if (!IsActive())
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

void TCMPForm::ToggleMarkFullBright()
{
    MarkFullBright = !MarkFullBright;
    CMPImage->update();
    UpdateMainWindow();
}

void TCMPForm::ChangeCellColor()
{
    if (!IsActive())
        return;
    TPaletteEntry &entry = Document.Palette[static_cast<size_t>(HoverIndex)];
    TColor color = MakeColor(entry.Red, entry.Green, entry.Blue);
    if (!Context().Platform.ColorDialog().Execute(color, this))
        return;
    // The tables keep their indices: the light tables until the next palette selection, the
    // transparency tables until the next save.
    std::unique_ptr<TEditStep> step =
        MakeStep(Document, CommandText(TCommand::ChangeCellColor), TFrameEdit::None);
    entry = TPaletteEntry{RedOf(color), GreenOf(color), BlueOf(color)};
    PushStep(std::move(step), CurrentStepView());
    ShowFrame();
}

void TCMPForm::SelectPalette()
{
    TSelectPaletteForm *picker = Context().SelectPaletteForm;
    if (!picker)
        return;
    picker->PaletteName = FilePath;
    picker->Palette = Document.Palette;
    if (picker->ShowModal() != mrOk)
        return;
    // Computed aside, then swapped in: the step keeps the old palette and tables.
    std::unique_ptr<TEditStep> step =
        MakeStep(Document, CommandText(TCommand::SelectPalette), TFrameEdit::Replaced);
    TCMP changed = Document;
    changed.Palette = picker->Palette;
    changed.CalcLightLevels();
    if (changed.Header.HasTransparency != 0)
        changed.CalcTransTables();
    Document = std::move(changed);
    // Taking the palette of the file itself counts as no change to what is on disk, though
    // the tables were recomputed: a step all the same, leaving Modified as it was.
    // Another source is a step even when it brings the same colours.
    const bool ownFile = picker->PaletteName == FilePath;
    const bool wasModified = Modified;
    PushStep(std::move(step), CurrentStepView(), !ownFile);
    if (ownFile && !wasModified)
        Modified = false;
    ShowFrame();
}

void TCMPForm::EditProperties()
{
    FProperties.UseTransTables = Document.Header.HasTransparency != 0;
    if (FProperties.ShowModal() != mrOk)
        return;
    // The view stays as it is, also a transparency table whose tables were just switched off.
    std::unique_ptr<TEditStep> step =
        MakeStep(Document, CommandText(TCommand::EditProperties), TFrameEdit::Replaced);
    ApplyTransSetting();
    if (Document.Header.HasTransparency != 0)
        RecalcTransTables();
    PushStep(std::move(step), CurrentStepView(), true);
    UpdateMainWindow();
}

TStepView TCMPForm::CurrentStepView() const
{
    return {CurrentFrame, 0};
}

void TCMPForm::ShowStepView(const TStepView &view)
{
    // Views past the palette and light tables exist only while the file has transparency.
    CurrentFrame = std::clamp(view.Frame, 0, Document.Header.HasTransparency != 0 ? 320 : 64);
    ShowFrame();
}

void TCMPForm::ApplyTransSetting()
{
    Document.Header.HasTransparency = Settings().CMPTransTables ? 1 : 0;
}

void TCMPForm::RecalcTransTables()
{
    TProgressForm *progress = Context().ProgressForm;
    struct TGuard
    {
        bool &Calculating;
        TProgressForm *Progress;
        ~TGuard()
        {
            Calculating = false;
            if (Progress)
                Progress->Finish();
        }
    } guard{FCalculating, progress};
    FCalculating = true;
    if (progress) {
        progress->ProgressLabel->setText("Calculating new transparency tables.");
        progress->Start();
    }
    Document.CalcTransTables([progress](int, int) {
        if (progress)
            progress->KeepPainted();
    });
}
