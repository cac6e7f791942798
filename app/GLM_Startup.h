#pragma once
// What the editor and the screenshot tool start the same way: the long-lived dialogs the
// document windows share or are handed, in their fixed order, and each kind's factory.

class QWidget;
class TDocumentFactory;
class TWindowContext;

// Creates the dialogs, owned by `owner` (the main window) and hidden until shown, puts the
// shared ones into `context` and registers each document kind with its properties dialog.
void CreateDialogs(TWindowContext &context, TDocumentFactory &factory, QWidget *owner);
