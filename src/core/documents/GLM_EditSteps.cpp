#include "core/documents/GLM_EditSteps.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/documents/GLM_MATDocument.h"

TEditStep::TEditStep(const std::string &name)
{
    setText(QString::fromStdString(name));
}

void TEditStep::undo()
{
    Toggle(true);
    if (Shown)
        Shown(Before);
}

void TEditStep::redo()
{
    if (!FPushed) {
        FPushed = true;
        return;
    }
    Toggle(false);
    if (Shown)
        Shown(After);
}

namespace {

// ---- Each kind's small fields, copied whole into a step, and its frame slots.

struct TBMParts
{
    TBMHeader Header;
    TPalette Palette;
    friend bool operator==(const TBMParts &, const TBMParts &) = default;
};

struct TMATParts
{
    TMATHeader Header;
    std::array<TMATColorRecord, TMAT::MaxRecords> ColorRecords;
    std::array<TMATTextureRecord, TMAT::MaxRecords> TextureRecords;
    std::array<TMATTextureHeader, TMAT::MaxRecords> TextureHeaders;
    friend bool operator==(const TMATParts &, const TMATParts &) = default;
};

struct TSFTParts
{
    TSFTHeader Header;
    TSFTCharList Chars;
    TBMHeader BMHeader;
    int32_t Width = 0;
    int32_t Height = 0;
    friend bool operator==(const TSFTParts &, const TSFTParts &) = default;
};

struct TCMPParts
{
    TCMPHeader Header;
    TPalette Palette;
    // The tint is kept bit for bit, so the header compares as bytes.
    friend bool operator==(const TCMPParts &a, const TCMPParts &b)
    {
        return std::memcmp(&a.Header, &b.Header, sizeof a.Header) == 0 && a.Palette == b.Palette;
    }
};

struct TCMPTables
{
    std::array<TColorTable, 64> LightLevels;
    std::array<TColorTable, 256> TransTables;
};

template <class TDoc> struct TKind;

template <> struct TKind<TBM>
{
    using Parts = TBMParts;
    using Slot = TBMImage;
    static constexpr int Slots = TBM::MaxImages;
    static Parts Copy(const TBM &d) { return {d.Header, d.Palette}; }
    static void Swap(TBM &d, Parts &p) noexcept
    {
        std::swap(d.Header, p.Header);
        std::swap(d.Palette, p.Palette);
    }
    static int Count(const TBM &d) { return std::clamp(d.NumImages(), 0, Slots); }
    static Slot &At(TBM &d, int i) { return d.Images[static_cast<size_t>(i)]; }
    static size_t Bytes(const Slot &s) { return s.Pixels.capacity(); }
};

template <> struct TKind<TMAT>
{
    using Parts = TMATParts;
    using Slot = std::vector<uint8_t>;
    static constexpr int Slots = TMAT::MaxRecords;
    static Parts Copy(const TMAT &d)
    {
        return {d.Header, d.ColorRecords, d.TextureRecords, d.TextureHeaders};
    }
    static void Swap(TMAT &d, Parts &p) noexcept
    {
        std::swap(d.Header, p.Header);
        std::swap(d.ColorRecords, p.ColorRecords);
        std::swap(d.TextureRecords, p.TextureRecords);
        std::swap(d.TextureHeaders, p.TextureHeaders);
    }
    static int Count(const TMAT &d) { return MATFrameCount(d); }
    static Slot &At(TMAT &d, int i) { return d.Pixels[static_cast<size_t>(i)]; }
    static size_t Bytes(const Slot &s) { return s.capacity(); }
};

template <> struct TKind<TSFT>
{
    using Parts = TSFTParts;
    using Slot = std::vector<uint8_t>;
    static constexpr int Slots = 1; // the strip
    static Parts Copy(const TSFT &d) { return {d.Header, d.Chars, d.BMHeader, d.Width, d.Height}; }
    static void Swap(TSFT &d, Parts &p) noexcept
    {
        std::swap(d.Header, p.Header);
        std::swap(d.Chars, p.Chars);
        std::swap(d.BMHeader, p.BMHeader);
        std::swap(d.Width, p.Width);
        std::swap(d.Height, p.Height);
    }
    static int Count(const TSFT &d) { return d.Pixels.empty() ? 0 : 1; }
    static Slot &At(TSFT &d, int) { return d.Pixels; }
    static size_t Bytes(const Slot &s) { return s.capacity(); }
};

// A CMP's one "frame" is its tables.
template <> struct TKind<TCMP>
{
    using Parts = TCMPParts;
    using Slot = TCMPTables;
    static constexpr int Slots = 1;
    static Parts Copy(const TCMP &d) { return {d.Header, d.Palette}; }
    static void Swap(TCMP &d, Parts &p) noexcept
    {
        std::swap(d.Header, p.Header);
        std::swap(d.Palette, p.Palette);
    }
    static int Count(const TCMP &) { return 1; }
    static size_t Bytes(const Slot &) { return sizeof(Slot); }
};

template <class TDoc> typename TKind<TDoc>::Slot CopySlot(TDoc &d, int i)
{
    return TKind<TDoc>::At(d, i);
}
template <> TCMPTables CopySlot(TCMP &d, int)
{
    return {d.LightLevels, d.TransTables};
}

template <class TDoc> void ExchangeSlot(TDoc &d, int i, typename TKind<TDoc>::Slot &held) noexcept
{
    std::swap(TKind<TDoc>::At(d, i), held);
}
template <> void ExchangeSlot(TCMP &d, int, TCMPTables &held) noexcept
{
    std::swap(d.LightLevels, held.LightLevels);
    std::swap(d.TransTables, held.TransTables);
}

template <class TDoc> bool SameSlot(TDoc &d, int i, const typename TKind<TDoc>::Slot &held)
{
    return TKind<TDoc>::At(d, i) == held;
}
template <> bool SameSlot(TCMP &d, int, const TCMPTables &held)
{
    return d.LightLevels == held.LightLevels && d.TransTables == held.TransTables;
}

template <class TDoc> class TDocumentStep final : public TEditStep
{
    using K = TKind<TDoc>;

public:
    TDocumentStep(TDoc &doc, const std::string &name, TFrameEdit edit, int a, int b)
        : TEditStep(name), FDoc(doc), FEdit(edit), FA(a - 1), FB(b - 1), FParts(K::Copy(doc)),
          FCount(K::Count(doc))
    {
        const auto valid = [](int i, int count) { return i >= 0 && i < count; };
        // An edit of a frame that is not there changes no frame.
        if ((edit == TFrameEdit::Removed && !valid(FA, FCount)) ||
            (edit == TFrameEdit::Swapped && (!valid(FA, FCount) || !valid(FB, FCount))) ||
            (edit == TFrameEdit::Replaced && !valid(FA, K::Slots)))
            FEdit = TFrameEdit::None;
        if (FEdit == TFrameEdit::Removed || FEdit == TFrameEdit::Replaced)
            FHeld.push_back(CopySlot(doc, FA));
        else if (FEdit == TFrameEdit::Added)
            FHeld.resize(static_cast<size_t>(K::Slots - FCount));
    }

    bool Finish() override
    {
        switch (FEdit) {
        case TFrameEdit::Added:
            FHeld.resize(static_cast<size_t>(std::max(K::Count(FDoc) - FCount, 0)));
            return !FHeld.empty() || !(FParts == K::Copy(FDoc));
        case TFrameEdit::Removed:
        case TFrameEdit::Swapped:
            return true;
        case TFrameEdit::Replaced:
            if (!SameSlot(FDoc, FA, FHeld.front()))
                return true;
            break;
        case TFrameEdit::None:
            break;
        }
        return !(FParts == K::Copy(FDoc));
    }

    size_t HeldBytes() const override
    {
        size_t bytes = sizeof(FParts) + FHeld.capacity() * sizeof(typename K::Slot);
        if constexpr (std::is_same_v<TDoc, TSFT>)
            bytes += static_cast<size_t>(FParts.Chars.Count()) * sizeof(TSFTCharDef);
        for (const auto &slot : FHeld)
            bytes += K::Bytes(slot);
        return bytes;
    }

protected:
    void Toggle(bool undo) noexcept override
    {
        K::Swap(FDoc, FParts);
        switch (FEdit) {
        case TFrameEdit::Added:
            // The added frames lie at the end: out into the step and back.
            for (size_t j = 0; j < FHeld.size(); ++j)
                ExchangeSlot(FDoc, FCount + static_cast<int>(j), FHeld[j]);
            break;
        case TFrameEdit::Removed:
            if constexpr (K::Slots > 1) {
                // Every slot past the last frame is empty: undo moves an empty one up to the
                // removed frame's place and swaps the frame in; redo does the reverse.
                if (undo) {
                    for (int k = K::Slots - 1; k > FA; --k)
                        std::swap(K::At(FDoc, k), K::At(FDoc, k - 1));
                    ExchangeSlot(FDoc, FA, FHeld.front());
                } else {
                    ExchangeSlot(FDoc, FA, FHeld.front());
                    for (int k = FA; k < K::Slots - 1; ++k)
                        std::swap(K::At(FDoc, k), K::At(FDoc, k + 1));
                }
            }
            break;
        case TFrameEdit::Swapped:
            if constexpr (K::Slots > 1)
                std::swap(K::At(FDoc, FA), K::At(FDoc, FB));
            break;
        case TFrameEdit::Replaced:
            ExchangeSlot(FDoc, FA, FHeld.front());
            break;
        case TFrameEdit::None:
            break;
        }
    }

private:
    TDoc &FDoc;
    TFrameEdit FEdit;
    int FA, FB; // 0-based
    typename K::Parts FParts;
    int FCount; // frames before the edit
    std::vector<typename K::Slot> FHeld;
};

template <class TDoc>
std::unique_ptr<TEditStep> Make(TDoc &doc, const std::string &name, TFrameEdit edit, int a, int b)
{
    return std::make_unique<TDocumentStep<TDoc>>(doc, name, edit, a, b);
}

} // namespace

std::unique_ptr<TEditStep> MakeStep(TBM &doc, const std::string &name, TFrameEdit edit, int a,
                                    int b)
{
    return Make(doc, name, edit, a, b);
}

std::unique_ptr<TEditStep> MakeStep(TMAT &doc, const std::string &name, TFrameEdit edit, int a,
                                    int b)
{
    return Make(doc, name, edit, a, b);
}

std::unique_ptr<TEditStep> MakeStep(TSFT &doc, const std::string &name, TFrameEdit edit, int,
                                    int b)
{
    // The strip is the font's one frame.
    return Make(doc, name, edit, 1, b);
}

std::unique_ptr<TEditStep> MakeStep(TCMP &doc, const std::string &name, TFrameEdit edit, int,
                                    int b)
{
    // Only the tables can be replaced in a CMP.
    return Make(doc, name, edit == TFrameEdit::Replaced ? edit : TFrameEdit::None, 1, b);
}
