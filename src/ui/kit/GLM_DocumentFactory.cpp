#include "ui/kit/GLM_DocumentFactory.h"

#include <utility>

void TDocumentFactory::Register(TDocumentKind kind, TMaker maker)
{
    FMakers[static_cast<size_t>(kind)] = std::move(maker);
}

TDocumentWindow *TDocumentFactory::Create(TDocumentKind kind) const
{
    const TMaker &maker = FMakers[static_cast<size_t>(kind)];
    return maker ? maker() : nullptr;
}
