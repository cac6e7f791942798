#include "GLM_Startup.h"

#include "ui/colormapfont/GLM_CMPForm.h"
#include "ui/colormapfont/GLM_EditCMPForm.h"
#include "ui/colormapfont/GLM_EditSFTForm.h"
#include "ui/colormapfont/GLM_ProgressForm.h"
#include "ui/colormapfont/GLM_SFTForm.h"
#include "ui/documents/GLM_BMForm.h"
#include "ui/documents/GLM_EditBMForm.h"
#include "ui/documents/GLM_EditMATForm.h"
#include "ui/documents/GLM_MATForm.h"
#include "ui/palettes/GLM_SelectColorForm.h"
#include "ui/palettes/GLM_SelectPaletteForm.h"
#include "ui/shell/GLM_AboutBox.h"
#include "ui/shell/GLM_DocumentFactory.h"
#include "ui/shell/GLM_FileReplaceForm.h"
#include "ui/shell/GLM_NewForm.h"
#include "ui/shell/GLM_OptionsForm.h"

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
