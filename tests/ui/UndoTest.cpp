// Undo and redo wired through the real main window: the Edit menu names the step, the undo
// group follows the active window, Modified follows the stack, the window shows the frame the
// step touched, and the Options limit reaches the windows made afterwards.

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
    const std::string path = Put("three.bm", BMBytes({{2, 2, 1}, {3, 3, 2}, {4, 4, 3}}));
    TBMForm *bm = Open<TBMForm>(path);
    Run(C::Save); // the file as this program writes it
    const std::vector<uint8_t> opened = ReadFile(path);
    QAction *undo = Main->CommandAction(C::Undo);
    QAction *redo = Main->CommandAction(C::Redo);
    EXPECT_EQ(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(redo->shortcut(), QKeySequence(QKeySequence::Redo));

    Run(C::NextFrame);
    Run(C::DeleteFrame);
    EXPECT_EQ(undo->text(), "&Undo Delete Frame");
    EXPECT_TRUE(undo->isEnabled() && !redo->isEnabled() && bm->Modified);
    Run(C::PreviousFrame);
    Run(C::Undo); // back at the opened file, showing the frame that came back
    EXPECT_EQ(redo->text(), "&Redo Delete Frame");
    EXPECT_TRUE(!undo->isEnabled() && redo->isEnabled() && !bm->Modified);
    EXPECT_EQ(Panel(1), "Frame: 2 of 3");
    Run(C::Redo);
    EXPECT_TRUE(bm->Modified);
    EXPECT_EQ(Panel(1), "Frame: 2 of 2");
    Run(C::Save);
    EXPECT_FALSE(bm->Modified);
    Run(C::Undo);
    EXPECT_TRUE(bm->Modified);
    Run(C::Save);
    EXPECT_EQ(ReadFile(path), opened);
    Run(C::Redo);
    EXPECT_TRUE(bm->Modified);

    // The group, the texts and the states follow the active window.
    TDocumentWindow *other = New(K::CMP);
    EXPECT_EQ(Main->UndoGroup()->activeStack(), other->UndoStack());
    EXPECT_EQ(undo->text(), "&Undo");
    EXPECT_FALSE(undo->isEnabled());
    Activate(bm);
    EXPECT_EQ(Main->UndoGroup()->activeStack(), bm->UndoStack());
    EXPECT_TRUE(undo->isEnabled());

    for (const auto &[typed, limit] : {std::pair{"7", 7}, {"0", 100}}) {
        Play<TOptionsForm>([typed](TOptionsForm &form) {
            form.UndoLimitBox->setText(typed);
            form.OKButtonClick();
        });
        Run(C::Options);
        EXPECT_EQ(Settings.UndoLimit, limit);
        EXPECT_EQ(New(K::MAT)->UndoStack()->undoLimit(), limit);
    }
}

} // namespace
