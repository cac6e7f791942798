#pragma once
// Which document window a file gets, and the one place that creates document windows.

#include <optional>
#include <string>

#include "shell/GLM_DocumentWindow.h"

// The extension as the opener tests it: from the last "." after the last "/", "\" or ":"
// to the end, ASCII letters lower-cased; empty when there is no such ".".
std::string DocumentExtension(const std::string &path);
// ".bm", ".cmp", ".mat", ".sft"; nothing for any other extension.
std::optional<TDocumentKind> KindForExtension(const std::string &extension);
// "BM", "CMP", "MAT", "SFT".
const char *KindName(TDocumentKind kind);

// A new, empty document window of `kind` with no parent; nullptr while this build has no
// window for the kind.
TDocumentWindow *CreateDocumentWindow(TDocumentKind kind);
