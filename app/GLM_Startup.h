#pragma once
// What the editor and the screenshot tool start the same way: the document window kinds and
// the long-lived dialogs in their fixed order.

class QWidget;

// Registers every document window kind; the shell never includes their folders.
void RegisterDocumentWindows();
// Creates the dialogs, owned by `owner` (the main window) and hidden until shown.
void CreateDialogs(QWidget *owner);
// Forgets the dialogs once their owner is gone.
void ReleaseDialogs();
