#pragma once
// The program's own pictures: each toolbar button's and the windows' icon, drawn as SVG in
// data/icons and built into the program. Qt derives the greyed form of a disabled button
// from them.

#include <QIcon>

#include "core/GLM_CommandTable.h"

// Null for the commands that have no toolbar button.
QIcon CommandIcon(TCommand command);
QIcon ProgramIcon();
