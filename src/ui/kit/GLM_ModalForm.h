#pragma once
// Base of the long-lived dialogs: created once, shown modally again and again, handed their
// values in fields before showing. FormShow and FormHide run each time the dialog becomes
// visible or hidden, whoever shows it. ShowModal goes through the platform's modal dialogs,
// which the tests' scripted desktop plays without a nested event loop.

#include <QDialog>

#include "ui/kit/GLM_WindowContext.h"

class QHBoxLayout;
class QPushButton;

// The results a dialog can end with (the codes callers compare against).
enum TModalResult : int {
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
    explicit TModalForm(TWindowContext &context, QWidget *parent = nullptr);

    // Shows the dialog modally and returns its result (a TModalResult code).
    int ShowModal();
    // Ends a modal showing with `result`.
    void SetModalResult(int result) { done(result); }

    // The close box and Escape give the Cancel result.
    void reject() override;

protected:
    // The row every OK/Cancel dialog ends with: "&OK" (the default button) and "C&ancel",
    // right-aligned. The caller connects their clicks.
    QHBoxLayout *OKCancelRow(QPushButton *&ok, QPushButton *&cancel);

    TWindowContext &Context() const { return FContext; }
    TSettings &Settings() const { return FContext.Settings; }

    virtual void FormShow() {}
    virtual void FormHide() {}

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TWindowContext &FContext;
};
