#include "ui/kit/GLM_DocumentFactory.h"

#include <utility>

namespace {

std::array<TDocumentFactory, DocumentKinds.size()> &Factories()
{
    static std::array<TDocumentFactory, DocumentKinds.size()> factories;
    return factories;
}

} // namespace

TDocumentFactory RegisterDocumentWindow(TDocumentKind kind, TDocumentFactory factory)
{
    return std::exchange(Factories()[static_cast<size_t>(kind)], std::move(factory));
}

TDocumentWindow *CreateDocumentWindow(TDocumentKind kind)
{
    const TDocumentFactory &factory = Factories()[static_cast<size_t>(kind)];
    return factory ? factory() : nullptr;
}
