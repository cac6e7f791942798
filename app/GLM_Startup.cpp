#include "GLM_Startup.h"

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
#include "ui/main/GLM_AboutBox.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/main/GLM_NewForm.h"
#include "ui/main/GLM_OptionsForm.h"

void RegisterDocumentWindows()
{
    RegisterDocumentWindow<TBMForm>();
    RegisterDocumentWindow<TCMPForm>();
    RegisterDocumentWindow<TMATForm>();
    RegisterDocumentWindow<TSFTForm>();
}

void CreateDialogs(QWidget *owner)
{
    AboutForm = new TAboutForm(owner);
    NewForm = new TNewForm(owner);
    EditMATForm = new TEditMATForm(owner);
    OptionsForm = new TOptionsForm(owner);
    SelectPaletteForm = new TSelectPaletteForm(owner);
    SelectColorForm = new TSelectColorForm(owner);
    EditBMForm = new TEditBMForm(owner);
    EditSFTForm = new TEditSFTForm(owner);
    EditCMPForm = new TEditCMPForm(owner);
    ProgressForm = new TProgressForm(owner);
    FileReplaceForm = new TFileReplaceForm(owner);
}

void ReleaseDialogs()
{
    AboutForm = nullptr;
    NewForm = nullptr;
    EditMATForm = nullptr;
    OptionsForm = nullptr;
    SelectPaletteForm = nullptr;
    SelectColorForm = nullptr;
    EditBMForm = nullptr;
    EditSFTForm = nullptr;
    EditCMPForm = nullptr;
    ProgressForm = nullptr;
    FileReplaceForm = nullptr;
}
