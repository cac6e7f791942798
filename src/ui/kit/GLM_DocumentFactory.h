#pragma once
// The one place that creates document windows. Each window kind registers its factory from
// app/main.cpp, so the shell never includes the document folders.

#include <functional>

#include "ui/kit/GLM_DocumentWindow.h"

using TDocumentFactory = std::function<TDocumentWindow *()>;

// Installs the factory of `kind`; an empty one removes it. Returns the one it replaces.
TDocumentFactory RegisterDocumentWindow(TDocumentKind kind, TDocumentFactory factory);

template <class TForm> void RegisterDocumentWindow()
{
    RegisterDocumentWindow(TForm::DocumentKind, [] { return new TForm; });
}

// A new, empty document window of `kind` with no parent; nullptr while no window of the kind
// is registered.
TDocumentWindow *CreateDocumentWindow(TDocumentKind kind);
