#pragma once
// What every window and dialog is handed by whoever creates it: the settings, the desktop's
// services, the dialogs the windows share, and the palettes already reported as unreadable.
// app/main.cpp makes one around the Qt platform; tests make one around the scripted desktop.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ui/kit/GLM_Settings.h"

class TPlatform;
class TFileReplaceForm;
class TProgressForm;
class TSelectColorForm;
class TSelectPaletteForm;

class TWindowContext
{
public:
    explicit TWindowContext(TPlatform &platform) : Platform(platform) {}
    TWindowContext(const TWindowContext &) = delete;
    TWindowContext &operator=(const TWindowContext &) = delete;

    TPlatform &Platform;
    TSettings Settings;

    // The shared dialogs, created once after the main window and owned by it.
    TSelectPaletteForm *SelectPaletteForm = nullptr;
    TSelectColorForm *SelectColorForm = nullptr;
    TFileReplaceForm *FileReplaceForm = nullptr;
    TProgressForm *ProgressForm = nullptr;

    // The members of the open container windows whose names end in `extension` (".cmp"), as
    // CONTAINER::NAME paths: View > Colormap... offers them before the file dialog. Unset
    // until the container windows tell them.
    std::function<std::vector<std::string>(const std::string &extension)> OpenContainerMembers;

    // True the first time `palette` is reported: a palette that cannot be read is said once,
    // not by every window that tries it.
    bool FirstReport(const std::string &palette) { return FReported.insert(palette).second; }

private:
    std::set<std::string> FReported;
};
