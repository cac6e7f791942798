#pragma once
// The one place that creates document windows. Each kind's maker is registered from app/
// with what its windows are handed (the context, the kind's properties dialog), so the main
// window never includes the document folders.

#include <array>
#include <functional>

#include "ui/kit/GLM_DocumentWindow.h"

class TDocumentFactory
{
public:
    using TMaker = std::function<TDocumentWindow *()>;

    // Installs the maker of `kind`; an empty one removes it.
    void Register(TDocumentKind kind, TMaker maker);
    // Windows of TForm made as new TForm(arguments...); the arguments must outlive the factory.
    template <class TForm, class... TArguments> void Register(TArguments &...arguments)
    {
        Register(TForm::Description.Kind, [&...bound = arguments] { return new TForm(bound...); });
    }

    // A new, empty document window of `kind` with no parent; nullptr while no window of the
    // kind is registered.
    TDocumentWindow *Create(TDocumentKind kind) const;

private:
    std::array<TMaker, DocumentKindCount> FMakers;
};
