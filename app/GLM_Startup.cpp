#include "GLM_Startup.h"

#include "ui/bm/GLM_BMForm.h"
#include "ui/bm/GLM_EditBMForm.h"
#include "ui/cmp/GLM_CMPForm.h"
#include "ui/cmp/GLM_EditCMPForm.h"
#include "ui/dialogs/GLM_SelectColorForm.h"
#include "ui/gob/GLM_GOBForm.h"
#include "ui/dialogs/GLM_SelectPaletteForm.h"
#include "ui/kit/GLM_DocumentFactory.h"
#include "ui/kit/GLM_FileReplaceForm.h"
#include "ui/kit/GLM_ProgressForm.h"
#include "ui/mat/GLM_EditMATForm.h"
#include "ui/mat/GLM_MATForm.h"
#include "ui/sft/GLM_EditSFTForm.h"
#include "ui/sft/GLM_SFTForm.h"

void CreateDialogs(TWindowContext &context, TDocumentFactory &factory, QWidget *owner)
{
    auto *editMAT = new TEditMATForm(context, owner);
    context.SelectPaletteForm = new TSelectPaletteForm(context, owner);
    context.SelectColorForm = new TSelectColorForm(context, owner);
    auto *editBM = new TEditBMForm(context, owner);
    auto *editSFT = new TEditSFTForm(context, owner);
    auto *editCMP = new TEditCMPForm(context, owner);
    context.ProgressForm = new TProgressForm(owner);
    context.FileReplaceForm = new TFileReplaceForm(context, owner);

    factory.Register<TBMForm>(context, *editBM);
    factory.Register<TCMPForm>(context, *editCMP);
    factory.Register<TMATForm>(context, *editMAT);
    factory.Register<TSFTForm>(context, *editSFT);
    factory.Register<TGOBForm>(context);
}
