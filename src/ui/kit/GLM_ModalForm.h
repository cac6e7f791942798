#pragma once
// Base of the long-lived dialogs: created once, shown modally again and again, handed their
// values in fields before showing. FormShow and FormHide run each time the dialog becomes
// visible or hidden, whoever shows it.
//
// Tests never block: while a modal driver is installed, ShowModal opens the dialog without a
// nested event loop and lets the driver play the user (set controls, call the handlers);
// a dialog the driver leaves open is cancelled.
//
//     TScopedModalDriver driver([](TModalForm &form) {
//         auto &dlg = dynamic_cast<TNewForm &>(form);
//         dlg.FileGroup->SetItemIndex(2);
//         dlg.OKButtonClick();
//     });

#include <functional>

#include <QDialog>

class QHBoxLayout;
class QPushButton;

// The results a dialog can end with (the codes callers compare against).
enum TModalResult : int
{
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrYes = 6,
    mrNo = 7,
    mrYesToAll = 10,
};

class TModalForm : public QDialog
{
    Q_OBJECT

public:
    using TDriver = std::function<void(TModalForm &)>;

    explicit TModalForm(QWidget *parent = nullptr);

    // Shows the dialog modally and returns its result (a TModalResult code).
    int ShowModal();
    // Ends a modal showing with `result`.
    void SetModalResult(int result) { done(result); }

    // Installs the driver used by ShowModal instead of a real modal loop; returns the one it
    // replaces. An empty driver restores real modal showing.
    static TDriver InstallModalDriver(TDriver driver);

    // The close box and Escape give the Cancel result.
    void reject() override;

protected:
    // The row every OK/Cancel dialog ends with: "&OK" (the default button) and "C&ancel",
    // right-aligned. The caller connects their clicks.
    QHBoxLayout *OKCancelRow(QPushButton *&ok, QPushButton *&cancel);

    virtual void FormShow() {}
    virtual void FormHide() {}

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
};

// Installs a modal driver for the lifetime of the object.
class TScopedModalDriver
{
public:
    explicit TScopedModalDriver(TModalForm::TDriver driver)
        : FPrevious(TModalForm::InstallModalDriver(std::move(driver)))
    {
    }
    ~TScopedModalDriver() { TModalForm::InstallModalDriver(std::move(FPrevious)); }
    TScopedModalDriver(const TScopedModalDriver &) = delete;
    TScopedModalDriver &operator=(const TScopedModalDriver &) = delete;

private:
    TModalForm::TDriver FPrevious;
};
