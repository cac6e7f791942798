#pragma once
// Which document window a file gets, and the one place that creates document windows.

#include <string>

#include "ui/shell/GLM_DocumentWindow.h"

// A new, empty document window of `kind` with no parent; nullptr while this build has no
// window for the kind.
TDocumentWindow *CreateDocumentWindow(TDocumentKind kind);
