// Daily use against the real Qt objects: scrolling and panning, held keys, failures by
// name, shortcuts and the Window menu.

#include <QMdiArea>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "UiFixture.h"

using namespace uitest;

namespace {

class DailyUseTest : public TEditorTest
{
protected:
    DailyUseTest() { ActivateMain(); }
    void ActivateMain() // shortcuts reach the active window only
    {
        QApplication::setActiveWindow(Main.get());
        Settle();
    }
    TBMForm *OpenBM(const std::string &name, int width, int height, int frames = 1)
    {
        return Open<TBMForm>(Put(name, BMBytes(std::vector<TFrame>(frames, {width, height, 1}))));
    }
};

QPoint Scrolled(const QAbstractScrollArea *area)
{
    return {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
}

} // namespace

// In a maximized window the wheel, Shift+wheel and the middle button pan the picture;
// Ctrl+wheel zooms. A held key, whose repeats each send a release, steps once.
TEST_F(DailyUseTest, LargePicturesScrollAndPanAndHeldKeysStepOnce)
{
    TBMForm *bm = OpenBM("big.bm", 100, 80, 3);
    for (int i = 1; i < MaxZoom; ++i)
        Run(C::ZoomIn);
    bm->parentWidget()->showMaximized();
    Settle();
    QWidget *view = bm->ImageView()->viewport();
    for (const auto &[modifiers, moved] :
         {std::pair{Qt::NoModifier, QPoint(0, 1)}, {Qt::ShiftModifier, QPoint(1, 0)}}) {
        bm->ImageView()->horizontalScrollBar()->setValue(0);
        bm->ImageView()->verticalScrollBar()->setValue(0);
        QWheelEvent wheel({10, 10}, view->mapToGlobal(QPointF(10, 10)), {}, {0, -120}, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        const QPoint now = Scrolled(bm->ImageView());
        EXPECT_EQ(QPoint(now.x() > 0, now.y() > 0), moved);
    }
    const QPoint before = Scrolled(bm->ImageView());
    QTest::mousePress(view, Qt::MiddleButton, {}, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(70, 60));
    QTest::mouseRelease(view, Qt::MiddleButton, {}, QPoint(70, 60));
    EXPECT_EQ(Scrolled(bm->ImageView()) - before, QPoint(30, 40)); // follows the hand
    QWheelEvent zoom({10, 10}, {}, {}, {0, -120}, Qt::NoButton, Qt::ControlModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &zoom);
    EXPECT_EQ(bm->Zoom(), MaxZoom - 1);

    const auto key = [bm](QEvent::Type type, bool repeat) {
        QKeyEvent event(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(bm, &event);
    };
    key(QEvent::KeyPress, false);
    for (int i = 0; i < 20; ++i)
        key(QEvent::KeyRelease, true), key(QEvent::KeyPress, true);
    key(QEvent::KeyRelease, false);
    EXPECT_EQ(bm->CurrentFrame(), 2);
}

// A failed open makes no window and leaves the active one; each failing picture of an Add
// Frames is named, and the others are still added.
TEST_F(DailyUseTest, FailuresNameTheirFile)
{
    TBMForm *first = OpenBM("a.bm", 8, 8);
    OpenBM("b.bm", 8, 8);
    Activate(first);
    Main->OpenDocument(Put("broken.bm", {'B', 'M', ' ', 0x1E}));
    Settle();
    EXPECT_EQ(Main->DocumentWindows().size(), 2u);
    EXPECT_EQ(Main->ActiveDocument(), first);
    Desk.Dialogs.Accept({Put("tex1.bmp", {'B', 'M', 1}), Picture("fine.bmp", 8, 8, 0xFF0000),
                         Put("tex2.bmp", {'x'})});
    Run(C::AddFrames);
    Texts said = Messages();
    for (std::string &text : said)
        text = text.substr(0, text.find(": "));
    EXPECT_EQ(said, (Texts{"broken.bm", "tex1.bmp", "tex2.bmp"}));
    EXPECT_EQ(first->Document.NumImages(), 2);
}

// Each command's keys, pressed as a user would, run that command; the Window menu lists the
// windows, the active one checked, and brings the chosen one forward.
TEST_F(DailyUseTest, ShortcutsAndTheWindowMenu)
{
    TBMForm *a = OpenBM("a.bm", 8, 8, 3);
    OpenBM("b.bm", 8, 8, 3);
    Run(C::ZoomIn);
    Texts ran, pressed;
    for (size_t i = 0; i < MainCommandCount; ++i)
        QObject::connect(Main->CommandAction(C(i)), &QAction::triggered,
                         [&ran, i] { ran.push_back(Name(C(i))); });
    Desk.Dialogs.Cancel();
    for (C command : {C::New, C::Open, C::Save, C::PreviousFrame, C::NextFrame, C::ZoomIn,
                      C::ZoomOut, C::NextWindow, C::PreviousWindow, C::Contents, C::Close})
        if (!CommandShortcuts(command).isEmpty()) {
            pressed.push_back(Name(command));
            ActivateMain();
            QTest::keySequence(Main.get(), CommandShortcuts(command).first());
            Settle();
        }
    EXPECT_EQ(ran, pressed);
    OpenBM("c.bm", 8, 8);
    Main->UpdateWindowMenu();
    std::string items;
    for (QAction *item : Main->WindowMenu()->actions())
        items += item->text().toStdString() + (item->isChecked() ? "* " : " ");
    EXPECT_EQ(items, "&Cascade &Tile &Next &Previous  &1 a.bm [1:1] &2 c.bm [1:1]* ");
    Main->WindowMenu()->actions().at(5)->trigger();
    Settle();
    EXPECT_EQ(Main->ActiveDocument(), a);
}
