#pragma once
// What the document window tests share: the real main window on the scripted desktop with
// every document window and dialog in place, and the documents built byte by byte.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

#include "GLM_TestPlatform.h"
#include "GameFiles.h"
#include "TestFiles.h"
#include "core/GLM_FileNames.h"
#include "ui/cmp/GLM_CMPForm.h"
#include "ui/cmp/GLM_EditCMPForm.h"
#include "ui/sft/GLM_EditSFTForm.h"
#include "ui/kit/GLM_ProgressForm.h"
#include "ui/sft/GLM_SFTForm.h"
#include "ui/bm/GLM_BMForm.h"
#include "ui/bm/GLM_EditBMForm.h"
#include "ui/mat/GLM_EditMATForm.h"
#include "ui/mat/GLM_MATForm.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/main/GLM_MainForm.h"
#include "ui/kit/GLM_Settings.h"

namespace formtest {

using namespace testutil;

inline void Settle()
{
    QApplication::processEvents();
}

// The main window with every document window registered and every dialog the windows use.
// Dialogs are played by User; a replace question is answered from ReplaceAnswers (left
// unanswered when they run out) and recorded in Asked, "name (many)" when it offers Yes to All.
template <class TForm> class TDocumentFormTest : public ::testing::Test
{
protected:
    TDocumentFormTest()
    {
        ClearSettings();
        RegisterDocumentWindow<TBMForm>();
        RegisterDocumentWindow<TMATForm>();
        RegisterDocumentWindow<TCMPForm>();
        RegisterDocumentWindow<TSFTForm>();
        Main = std::make_unique<TMainForm>();
        FileReplaceForm = new TFileReplaceForm(Main.get());
        SelectPaletteForm = new TSelectPaletteForm(Main.get());
        SelectColorForm = new TSelectColorForm(Main.get());
        EditBMForm = new TEditBMForm(Main.get());
        EditMATForm = new TEditMATForm(Main.get());
        EditSFTForm = new TEditSFTForm(Main.get());
        EditCMPForm = new TEditCMPForm(Main.get());
        ProgressForm = new TProgressForm(Main.get());
        Main->show();
        Settle();
    }
    ~TDocumentFormTest() override
    {
        Main.reset();
        FileReplaceForm = nullptr;
        SelectPaletteForm = nullptr;
        SelectColorForm = nullptr;
        EditBMForm = nullptr;
        EditMATForm = nullptr;
        EditSFTForm = nullptr;
        EditCMPForm = nullptr;
        ProgressForm = nullptr;
        for (TDocumentKind kind : DocumentKinds)
            RegisterDocumentWindow(kind, {});
        ClearSettings();
    }

    std::string Put(const std::string &name, const std::vector<uint8_t> &bytes)
    {
        WriteFile(Dir.File(name), bytes);
        return Dir.File(name);
    }
    TForm *Open(const std::string &path)
    {
        Main->OpenDocument(path);
        Settle();
        return dynamic_cast<TForm *>(Main->ActiveDocument());
    }
    TForm *New()
    {
        QMdiSubWindow *sub = Main->CreateDocument(TForm::DocumentKind);
        sub->show();
        Settle();
        return dynamic_cast<TForm *>(sub->widget());
    }
    void Run(TCommand command)
    {
        Main->RunCommand(command);
        Settle();
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const TRecordedMessage &m : Desk.Boxes.Shown)
            texts.push_back(m.Text);
        return texts;
    }

    TTestPlatform Desk;
    TempDir Dir;
    std::unique_ptr<TMainForm> Main;
    std::function<void(TModalForm &)> User;
    std::deque<int> ReplaceAnswers;
    std::vector<std::string> Asked;
    TScopedModalDriver Driver{[this](TModalForm &form) {
        if (auto *replace = dynamic_cast<TFileReplaceForm *>(&form)) {
            Asked.push_back(ExtractFileName(replace->FileName) +
                            (replace->MultipleFiles ? " (many)" : ""));
            if (!ReplaceAnswers.empty()) {
                replace->SetModalResult(ReplaceAnswers.front());
                ReplaceAnswers.pop_front();
            }
        } else if (User) {
            User(form);
        }
    }};
};

} // namespace formtest
