#pragma once
// The CMP window: a colormap shown as a 16 x 16 grid of colour cells, one per palette index.
// Its "frames" are views of the grid: the palette (0), the 64 light tables (1 to 64) and,
// when the file has them, the 256 transparency tables (65 to 320), each table shown by
// colouring cell i with the palette colour the table gives for i. The user recolours cells,
// replaces the palette (which recomputes the tables), switches the transparency tables on or
// off, and saves. The rules that need no widget live in core/GLM_CMPView.

#include <string>

#include <QWidget>

#include "formats/LEC_CMP.h"
#include "ui/kit/GLM_DocumentWindow.h"

class QMdiSubWindow;
class TEditCMPForm;

// The image control: paints the grid of its window's current view at the zoom and reports
// the mouse.
class TCMPImage : public QWidget
{
    Q_OBJECT
public:
    explicit TCMPImage(QWidget *parent = nullptr);

signals:
    void MouseMoved(int x, int y);
    void DoubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

class TCMPForm : public TDocumentWindowOf<TCMPForm>
{
    Q_OBJECT
public:
    static constexpr TDocumentDescription Description{
        .Kind = TDocumentKind::CMP,
        .Extension = ".cmp",
        .BackupExtension = ".~cmp",
        .SaveTitle = "Save As CMP Palette",
        .SaveFilter = "CMP Palettes (*.cmp)|*.cmp|All Files (*.*)|*.*",
        .DefaultExt = "cmp",
        .FileType = TFileType::CMP};

    TCMPForm(TWindowContext &context, TEditCMPForm &properties, QWidget *parent = nullptr);

    TCMP Document;
    int Zoom = 1;         // 1 to MaxZoom
    int CurrentFrame = 0; // the view, 0 to 320
    int HoverIndex = 0;   // the cell last under the mouse
    TColor FillColor = 0; // CMPFillColor when the window was made; decides the line colour
    bool MarkFullBright = false; // View > Mark Full-Bright: a square in each full-bright cell

    TCMPImage *CMPImage;

    // ---- The contract.
    TDocumentFacts Facts() const override;
    TStatusTexts StatusTexts() const override;

    // ---- Operations (main window, toolbar and popup menu).
    void PreviousFrame();
    void NextFrame();
    void ZoomIn();
    void ZoomOut();
    void ChangeCellColor();
    void ToggleMarkFullBright();
    void SelectPalette();
    void EditProperties();

    // ---- Handlers of the image control, in its pixels.
    void CMPImageMouseMove(int x, int y);
    void CMPImageDblClick();

    // Draws the current view, fits the window to it and empties the mouse-over texts.
    void ShowFrame() override;
    // HasTransparency := 1 or 0 as the CMPTransTables setting says.
    void ApplyTransSetting();
    // CalcTransTables behind the progress window.
    void RecalcTransTables();
    // The cell size the grid was last drawn with (the setting then, at least 1).
    int CellSize() const;
    // A new cell size shows at once.
    void SettingsChanged() override { ShowFrame(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {}; }

protected:
    void NewDocument() override;
    void ReadDocument(const TDocumentSource &source) override;
    void WriteDocument(const std::string &path) const override;
    std::vector<uint8_t> DocumentBytes() const override;
    // The transparency tables of a changed colormap are recomputed before it is written.
    void BeforeWrite() override;
    void resizeEvent(QResizeEvent *event) override;
    // The view shown when a step was made, shown again after its undo or redo.
    TStepView CurrentStepView() const override;
    void ShowStepView(const TStepView &view) override;

private:
    QMdiSubWindow *SubWindow() const;
    bool IsMaximized() const;
    void Layout();

    TEditCMPForm &FProperties;

    std::string FIndexText; // status panels 3 and 4 while the mouse is over a cell
    std::string FColorText;
    bool FCalculating = false;
    int FCellSize = 1;
};
