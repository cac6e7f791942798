// The editor: the main window first, then the long-lived dialogs in their fixed order, then
// the message loop. The main window opens the first command-line argument when it is first
// activated; this entry point does nothing else with the command line.

#include <QApplication>

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
#include "ui/shell/GLM_MainForm.h"
#include "ui/shell/GLM_NewForm.h"
#include "ui/shell/GLM_OptionsForm.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    // Each document window kind registers here; the shell never includes their folders.
    RegisterDocumentWindow<TBMForm>();
    RegisterDocumentWindow<TCMPForm>();
    RegisterDocumentWindow<TMATForm>();
    RegisterDocumentWindow<TSFTForm>();

    TMainForm mainForm;
    mainForm.CommandLine = QApplication::arguments().mid(1);
    // Owned by the main window; hidden until shown.
    AboutForm = new TAboutForm(&mainForm);
    NewForm = new TNewForm(&mainForm);
    EditMATForm = new TEditMATForm(&mainForm);
    OptionsForm = new TOptionsForm(&mainForm);
    SelectPaletteForm = new TSelectPaletteForm(&mainForm);
    SelectColorForm = new TSelectColorForm(&mainForm);
    EditBMForm = new TEditBMForm(&mainForm);
    EditSFTForm = new TEditSFTForm(&mainForm);
    EditCMPForm = new TEditCMPForm(&mainForm);
    ProgressForm = new TProgressForm(&mainForm);
    FileReplaceForm = new TFileReplaceForm(&mainForm);

    mainForm.show();
    const int result = QApplication::exec();
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
    return result;
}
