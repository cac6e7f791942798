// Daily use against the real Qt objects: the workspace and a maximized window scroll and pan,
// held keys, window sizes, failed opens and imports, the strip-less font, shortcuts and the
// Window menu.

#include <filesystem>

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionTitleBar>
#include <QTest>

#include "UiFixture.h"

using namespace uitest;
namespace fs = std::filesystem;

namespace {

class DailyUseTest : public TEditorTest
{
protected:
    DailyUseTest() { ActivateMain(); }
    // Shortcuts reach the active window only; a dialog shown before may have taken that.
    void ActivateMain()
    {
        Main->activateWindow();
        QApplication::setActiveWindow(Main.get());
        Settle();
    }
    TBMForm *OpenBM(const std::string &name, int width, int height, int frames = 1)
    {
        return Open<TBMForm>(Put(name, BMBytes(std::vector<TFrame>(frames, {width, height, 1}))));
    }
    static void Wheel(QWidget *at, QPoint angle, Qt::KeyboardModifiers modifiers)
    {
        QWheelEvent wheel(QPointF(10, 10), at->mapToGlobal(QPointF(10, 10)), {}, angle,
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(at, &wheel);
    }
    static QPoint Scrolled(const QAbstractScrollArea *area)
    {
        return {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
    }
};

// The far corner of the scrolled widget lies inside the area's viewport once both scroll
// bars are at their ends.
void ExpectScrollsToFarCorner(QAbstractScrollArea *area, QWidget *inside, const char *what)
{
    SCOPED_TRACE(what);
    for (QScrollBar *bar : {area->horizontalScrollBar(), area->verticalScrollBar()}) {
        EXPECT_TRUE(bar->isVisible());
        bar->setValue(bar->maximum());
    }
    Settle();
    const QPoint corner = inside->mapTo(area->viewport(), QPoint(inside->width(), inside->height()));
    EXPECT_TRUE(area->viewport()->rect().adjusted(0, 0, 1, 1).contains(corner)) << corner.x()
                                                                                << corner.y();
}

} // namespace

// A window larger than the workspace scrolls the workspace; maximized, its own view scrolls.
// The wheel, Shift+wheel and the middle button pan whichever can scroll; Ctrl+wheel zooms.
TEST_F(DailyUseTest, LargePicturesScrollAndPan)
{
    TBMForm *bm = OpenBM("big.bm", 100, 80);
    for (int i = 1; i < MaxZoom; ++i)
        Run(C::ZoomIn);
    QMdiArea *workspace = Main->MdiArea();
    ExpectScrollsToFarCorner(workspace, bm->parentWidget(), "workspace");
    bm->parentWidget()->showMaximized();
    Settle();
    QScrollArea *view = bm->ImageView();
    ExpectScrollsToFarCorner(view, bm->Image(), "maximized");

    const struct
    {
        QPoint Angle;
        Qt::KeyboardModifiers Modifiers;
        bool Horizontal;
    } wheels[]{{{0, -120}, Qt::NoModifier, false}, {{0, -120}, Qt::ShiftModifier, true}};
    for (const auto &w : wheels) {
        view->horizontalScrollBar()->setValue(0);
        view->verticalScrollBar()->setValue(0);
        Wheel(view->viewport(), w.Angle, w.Modifiers);
        const QPoint moved = Scrolled(view);
        EXPECT_EQ(moved.x() > 0, w.Horizontal);
        EXPECT_EQ(moved.y() > 0, !w.Horizontal);
    }
    const QPoint before = Scrolled(view);
    QTest::mousePress(view->viewport(), Qt::MiddleButton, {}, QPoint(100, 100));
    QTest::mouseMove(view->viewport(), QPoint(70, 60));
    QTest::mouseRelease(view->viewport(), Qt::MiddleButton, {}, QPoint(70, 60));
    EXPECT_EQ(Scrolled(view) - before, QPoint(30, 40)); // the picture follows the hand
    Wheel(view->viewport(), {0, -120}, Qt::ControlModifier);
    EXPECT_EQ(bm->Zoom(), MaxZoom - 1);
}

// A key held down sends releases with every repeat; it steps once all the same.
TEST_F(DailyUseTest, AHeldKeyStepsOnce)
{
    TBMForm *bm = OpenBM("walk.bm", 8, 8, 5);
    const auto send = [bm](QEvent::Type type, bool repeat) {
        QKeyEvent key(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(bm, &key);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 20; ++i)
        send(QEvent::KeyRelease, true), send(QEvent::KeyPress, true);
    send(QEvent::KeyRelease, false);
    EXPECT_EQ(bm->CurrentFrame(), 2);
}

// A tiny picture still gives a window that shows its whole caption and is 64 high, the area
// beside the picture in the workspace's colour.
TEST_F(DailyUseTest, SmallPicturesKeepTheirCaption)
{
    TBMForm *bm = OpenBM("texture8_small.bm", 4, 2);
    Run(C::ZoomIn);
    Run(C::ZoomIn);
    EXPECT_EQ(bm->height(), MinClientHeight);
    auto *sub = qobject_cast<QMdiSubWindow *>(bm->parentWidget());
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    option.titleBarFlags = sub->windowFlags();
    option.subControls = QStyle::SC_All;
    option.rect = QRect(0, 0, sub->width(), 20);
    const QRect label =
        sub->style()->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarLabel, sub);
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    EXPECT_GE(label.width(), QFontMetrics(bold).horizontalAdvance(sub->windowTitle()));
    EXPECT_EQ(sub->windowTitle(), "texture8_small.bm [3:1]");
    EXPECT_EQ(bm->grab().toImage().pixel(bm->width() - 2, bm->height() - 2),
              Main->MdiArea()->background().color().rgb());
}

// A failed open makes no window and leaves the active one; every failing picture of an Add
// Frames is reported by name and the others are still added.
TEST_F(DailyUseTest, FailuresNameTheirFile)
{
    TBMForm *first = OpenBM("a.bm", 8, 8);
    OpenBM("b.bm", 8, 8);
    Activate(first);
    Main->OpenDocument(Put("broken.bm", {'B', 'M', ' ', 0x1E}));
    Settle();
    EXPECT_EQ(Main->DocumentWindows().size(), 2u);
    EXPECT_EQ(Main->ActiveDocument(), first);
    EXPECT_EQ(Messages(), Texts{"broken.bm: Read beyond end of file"});

    Desk.Dialogs.Accept({Put("tex1.bmp", {'B', 'M', 1}), Picture("fine.bmp", 8, 8, 0xFF0000),
                         Put("tex2.bmp", {'x'})});
    Desk.Boxes.Shown.clear();
    Run(C::AddFrames);
    const Texts said = Messages();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0].rfind("tex1.bmp: ", 0), 0u) << said[0];
    EXPECT_EQ(said[1].rfind("tex2.bmp: ", 0), 0u) << said[1];
    EXPECT_EQ(first->Document.NumImages(), 2);
}

// Saving a font without its picture asks first: No keeps it unsaved and modified, Yes writes.
TEST_F(DailyUseTest, AStriplessFontAsksBeforeSaving)
{
    TDocumentWindow *font = New(K::SFT);
    font->Modified = true;
    const std::string path = Dir.File("empty.sft");
    for (const TMessageResult answer : {TMessageResult::No, TMessageResult::Yes}) {
        Desk.Boxes.Answers = {answer};
        Desk.Dialogs.Accept({path});
        Run(C::Save);
        const bool yes = answer == TMessageResult::Yes;
        EXPECT_EQ(fs::exists(path), yes);
        EXPECT_EQ(font->Modified, !yes);
    }
    const Texts said = Messages(); // then the warning that the font has no characters
    EXPECT_EQ(Texts(said.begin(), said.begin() + 2), Texts(2, NoPictureQuestion));
}

// Each command's keys, pressed as a user would, run that command; the Window menu lists the
// windows, the active one checked, and brings the chosen one forward.
TEST_F(DailyUseTest, ShortcutsAndTheWindowMenu)
{
    TBMForm *a = OpenBM("a.bm", 8, 8, 3);
    TBMForm *b = OpenBM("b.bm", 8, 8, 3);
    Run(C::ZoomIn);
    Texts ran, pressed;
    for (size_t i = 0; i < MainCommandCount; ++i)
        QObject::connect(Main->CommandAction(C(i)), &QAction::triggered, [&ran, i] {
            ran.push_back(Name(C(i)));
        });
    Desk.Dialogs.Cancel();
    // Close last: it takes the window the others act on.
    for (C command : {C::New, C::Open, C::Save, C::PreviousFrame, C::NextFrame, C::ZoomIn,
                      C::ZoomOut, C::NextWindow, C::PreviousWindow, C::Contents, C::Close}) {
        const QList<QKeySequence> keys = CommandShortcuts(command);
        if (keys.isEmpty())
            continue;
        pressed.push_back(Name(command));
        ActivateMain();
        QTest::keySequence(Main.get(), keys.first());
        Settle();
    }
    EXPECT_EQ(ran, pressed);
    EXPECT_EQ(Main->DocumentWindows(), std::vector<TDocumentWindow *>{a});

    OpenBM("c.bm", 8, 8);
    Main->UpdateWindowMenu();
    Texts items;
    for (QAction *item : Main->WindowMenu()->actions())
        items.push_back(item->isSeparator() ? "-"
                                            : item->text().toStdString() + (item->isChecked() ? " *" : ""));
    EXPECT_EQ(items, (Texts{"&Cascade", "&Tile", "&Next", "&Previous", "-", "&1 a.bm [1:1]",
                            "&2 c.bm [1:1] *"}));
    Main->WindowMenu()->actions().at(5)->trigger();
    Settle();
    EXPECT_EQ(Main->ActiveDocument(), a);
    (void)b;
}
