#include "platform/GLM_QtPlatform.h"

#include <QDialog>

TQtPlatform::TQtPlatform() = default;

TQtPlatform::~TQtPlatform() = default;

// Both are made on first use, when the application object exists.
TSettingsStore &TQtPlatform::Settings()
{
    if (!FSettings)
        FSettings = std::make_unique<TQtSettingsStore>();
    return *FSettings;
}

TFileAssociations &TQtPlatform::Associations()
{
    if (!FAssociations) {
#ifdef _WIN32
        FAssociations = std::make_unique<TWinAssociations>(FShell);
#else
        FAssociations = std::make_unique<TXdgAssociations>(FShell);
#endif
    }
    return *FAssociations;
}

int TQtModalDialogs::Run(QDialog &dialog)
{
    return dialog.exec();
}
