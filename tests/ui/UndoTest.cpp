// Undo and redo through the real main window, its Edit menu, undo group and Options.

#include <QAction>
#include <QLineEdit>
#include <QUndoGroup>
#include <QUndoStack>

#include "UiFixture.h"
#include "ui/bm/GLM_BMForm.h"
#include "ui/main/GLM_OptionsForm.h"

using namespace uitest;

namespace {

using UndoTest = TEditorTest;

TEST_F(UndoTest, EditMenuStackAndModifiedFollowTheActiveWindow)
{
    TBMForm *bm = Open<TBMForm>(Put("three.bm", BMBytes({{2, 2, 1}, {3, 3, 2}, {4, 4, 3}})));
    QAction *undo = Main->CommandAction(C::Undo), *redo = Main->CommandAction(C::Redo);
    Run(C::NextFrame);
    Run(C::DeleteFrame);
    EXPECT_EQ(undo->text(), "&Undo Delete Frame");
    EXPECT_TRUE(undo->isEnabled() && !redo->isEnabled() && bm->Modified);
    Run(C::PreviousFrame);
    Run(C::Undo); // the opened file again, showing the frame that came back
    EXPECT_EQ(redo->text(), "&Redo Delete Frame");
    EXPECT_TRUE(!undo->isEnabled() && redo->isEnabled() && !bm->Modified);
    EXPECT_EQ(Panel(1), "Frame: 2 of 3");
    Run(C::Redo);
    EXPECT_TRUE(bm->Modified);
    EXPECT_EQ(Panel(1), "Frame: 2 of 2");
    Run(C::Save);
    Run(C::Undo);
    EXPECT_TRUE(bm->Modified);
    Run(C::Redo); // back to the save
    EXPECT_FALSE(bm->Modified);

    TDocumentWindow *other = New(K::CMP);
    EXPECT_EQ(Main->UndoGroup()->activeStack(), other->UndoStack());
    EXPECT_TRUE(undo->text() == "&Undo" && !undo->isEnabled());
    Activate(bm);
    EXPECT_TRUE(Main->UndoGroup()->activeStack() == bm->UndoStack() && undo->isEnabled());

    Play<TOptionsForm>([](TOptionsForm &form) {
        form.UndoLimitBox->setText("7");
        form.OKButtonClick();
    });
    Run(C::Options);
    EXPECT_EQ(New(K::MAT)->UndoStack()->undoLimit(), 7);
}

} // namespace
