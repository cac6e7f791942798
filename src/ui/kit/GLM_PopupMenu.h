#pragma once
// The popup menu of a document window, built from the command table.

#include <functional>

#include "core/GLM_CommandTable.h"

class QMenu;
class QWidget;

// A menu with the kind's popup items in order, each action named after its command
// ("ZoomIn1") and calling `run` with it.
QMenu *BuildPopupMenu(TDocumentKind kind, QWidget *parent,
                      const std::function<void(TCommand)> &run);
// Enables each item of a menu built above as `states` gives its command.
void ApplyCommandStates(QMenu *menu, const TCommandStates &states);
