#pragma once
// The program's own toolbar pictures, drawn at run time so nothing depends on an icon theme.
// Qt derives the greyed form of a disabled button from them.

#include <QIcon>

#include "core/GLM_CommandTable.h"

// Null for the commands that have no toolbar button.
QIcon CommandIcon(TCommand command);
QIcon ProgramIcon();
