#include "ui/shell/GLM_DocumentFactory.h"

TDocumentWindow *CreateDocumentWindow(TDocumentKind)
{
    // The BM, CMP, MAT and SFT windows are created here as each of them is built.
    return nullptr;
}
