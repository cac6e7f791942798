// The editor: the main window first, then the long-lived dialogs in their fixed order, then
// the message loop. The main window opens the first command-line argument when it is first
// activated; this entry point does nothing else with the command line.

#include <QApplication>

#include "ui/colormapfont/GLM_EditSFTForm.h"
#include "ui/colormapfont/GLM_SFTForm.h"
#include "ui/documents/GLM_BMForm.h"
#include "ui/documents/GLM_EditBMForm.h"
#include "ui/shell/GLM_AboutBox.h"
#include "ui/shell/GLM_DocumentFactory.h"
#include "ui/shell/GLM_FileReplaceForm.h"
#include "ui/shell/GLM_MainForm.h"
#include "ui/shell/GLM_NewForm.h"
#include "ui/shell/GLM_OptionsForm.h"
#include "ui/palettes/GLM_SelectColorForm.h"
#include "ui/palettes/GLM_SelectPaletteForm.h"

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    // Each document window kind registers here as it is built; a kind without a window says
    // so when opened.
    RegisterDocumentWindow<TBMForm>();
    RegisterDocumentWindow<TSFTForm>();

    TMainForm mainForm;
    mainForm.CommandLine = QApplication::arguments().mid(1);
    // Owned by the main window; hidden until shown. The properties dialogs, the palette and
    // colour pickers and the progress window take their places between these as they come.
    AboutForm = new TAboutForm(&mainForm);
    NewForm = new TNewForm(&mainForm);
    OptionsForm = new TOptionsForm(&mainForm);
    SelectPaletteForm = new TSelectPaletteForm(&mainForm);
    SelectColorForm = new TSelectColorForm(&mainForm);
    EditBMForm = new TEditBMForm(&mainForm);
    EditSFTForm = new TEditSFTForm(&mainForm);
    FileReplaceForm = new TFileReplaceForm(&mainForm);

    mainForm.show();
    const int result = QApplication::exec();
    AboutForm = nullptr;
    NewForm = nullptr;
    OptionsForm = nullptr;
    SelectPaletteForm = nullptr;
    SelectColorForm = nullptr;
    EditBMForm = nullptr;
    EditSFTForm = nullptr;
    FileReplaceForm = nullptr;
    return result;
}
