#include "formats/LEC_SFT.h"

#include <stdexcept>
#include <utility>

namespace {

TSFTHeader ReadSFTHeader(TFileReader &r)
{
    r.Require(TSFTHeader::Size);
    TSFTHeader h;
    r.Read(h.Magic, sizeof h.Magic);
    h.Version = r.ReadInt32();
    h.CharGap = r.ReadInt32();
    h.SpaceLength = r.ReadInt32();
    h.Unknown16 = r.ReadInt32();
    h.NumRanges = r.ReadInt32();
    for (int32_t &v : h.Reserved)
        v = r.ReadInt32();
    return h;
}

void WriteSFTHeader(TFileWriter &w, const TSFTHeader &h)
{
    w.Write(h.Magic, sizeof h.Magic);
    w.WriteInt32(h.Version);
    w.WriteInt32(h.CharGap);
    w.WriteInt32(h.SpaceLength);
    w.WriteInt32(h.Unknown16);
    w.WriteInt32(h.NumRanges);
    for (int32_t v : h.Reserved)
        w.WriteInt32(v);
}

} // namespace

// ---------------------------------------------------------------------------------------------

void TSFTCharList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("Character definition index is out of bounds: " +
                                std::to_string(index));
}

TSFTCharDef &TSFTCharList::Items(int index)
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)];
}

const TSFTCharDef &TSFTCharList::Items(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)];
}

int TSFTCharList::Add(const TSFTCharDef &def)
{
    FItems.push_back(def);
    return Count() - 1;
}

void TSFTCharList::Insert(int index, const TSFTCharDef &def)
{
    if (index != Count())
        CheckIndex(index);
    FItems.insert(FItems.begin() + index, def);
}

void TSFTCharList::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

// ---------------------------------------------------------------------------------------------

bool TSFT::SameRun(int k) const
{
    // Codes as unsigned 16-bit values, the difference signed: 65535 followed by 0 is a break.
    return static_cast<int32_t>(Chars[k + 1].Code) - static_cast<int32_t>(Chars[k].Code) == 1;
}

int TSFT::CountRanges() const
{
    if (Chars.Count() == 0)
        return 0;
    int ranges = 1;
    for (int k = 0; k + 1 < Chars.Count(); ++k)
        if (!SameRun(k))
            ++ranges;
    return ranges;
}

int TSFT::RangeEnd(int i) const
{
    const int last = Chars.Count() - 1;
    if (i >= last)
        return last;
    int k = i;
    while (k < last && SameRun(k)) // a negative i fails in the list's index check
        ++k;
    return k;
}

void TSFT::LoadFromFile(const std::string &path)
{
    TFileReader r(path);
    Load(r);
}

void TSFT::LoadFromBytes(std::vector<uint8_t> bytes)
{
    TFileReader r(std::move(bytes));
    Load(r);
}

void TSFT::Load(TFileReader &r)
{
    // Everything goes into locals first: a rejected file appends nothing and changes nothing.
    const TSFTHeader header = ReadSFTHeader(r);
    std::vector<TSFTCharDef> defs;
    for (int32_t range = 0; range < header.NumRanges; ++range) {
        const uint16_t first = r.ReadUInt16();
        const uint16_t last = r.ReadUInt16();
        // A range with Last < First holds no definitions; reading goes on with the next one.
        const int32_t n = int32_t{last} - int32_t{first} + 1;
        if (n <= 0)
            continue;
        // Bounded by the file before anything grows. No exact reserve per range: that would
        // reallocate on every range, quadratic in a file of many one-character ranges.
        r.Require(uint64_t{8} * static_cast<uint64_t>(n));
        for (int32_t j = 0; j < n; ++j) {
            TSFTCharDef def;
            def.Code = static_cast<uint16_t>(first + j);
            def.Offset = r.ReadInt32();
            def.Width = r.ReadInt32();
            defs.push_back(def);
        }
    }
    const TBMHeader bmHeader = ReadBMHeader(r);
    const int32_t width = r.ReadInt32();
    const int32_t height = r.ReadInt32();
    // The pixels are read whatever NumImages says; the size is bounded by the file first.
    const uint64_t n = PictureBytes(width, height, bmHeader.BytesPerPixel());
    r.Require(n);
    const uint8_t *p = r.Take(static_cast<size_t>(n));

    Header = header;
    for (const TSFTCharDef &def : defs)
        Chars.Add(def);
    BMHeader = bmHeader;
    Width = width;
    Height = height;
    Pixels.assign(p, p + n);
}

void TSFT::SaveToFile(const std::string &path)
{
    Header.NumRanges = CountRanges();
    TFileWriter w;
    Write(w);
    w.SaveTo(path);
}

std::vector<uint8_t> TSFT::SaveToBytes() const
{
    TFileWriter w;
    Write(w);
    return w.Bytes();
}

void TSFT::Write(TFileWriter &w) const
{
    TSFTHeader header = Header;
    header.NumRanges = CountRanges();

    // A font whose bitmap was removed has no pixels: store it as 0 x 0 so it reads back.
    int32_t width = Width, height = Height;
    uint64_t n = PictureBytes(width, height, BMHeader.BytesPerPixel());
    if (Pixels.empty() && n > 0) {
        width = height = 0;
        n = 0;
    }
    if (Pixels.size() < n)
        throw EInOutError(EInOutError::Other,
                          "The font bitmap holds " + std::to_string(Pixels.size()) +
                              " pixel bytes but " + std::to_string(width) + " x " +
                              std::to_string(height) + " needs " + std::to_string(n));

    WriteSFTHeader(w, header);
    for (int i = 0; i < Chars.Count();) {
        const int e = RangeEnd(i);
        w.WriteUInt16(Chars[i].Code);
        w.WriteUInt16(Chars[e].Code);
        for (int k = i; k <= e; ++k) {
            w.WriteInt32(Chars[k].Offset);
            w.WriteInt32(Chars[k].Width);
        }
        i = e + 1;
    }
    WriteBMHeader(w, BMHeader);
    w.WriteInt32(width);
    w.WriteInt32(height);
    w.WriteInPlace(Pixels.data(), static_cast<size_t>(n));
}
