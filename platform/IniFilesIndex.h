// The name index of TIniFile: names compared without regard to case, found in expected constant
// time whatever the names, since the hash is keyed with a secret drawn once per process.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace IniFilesIndex {

// Lower case of Windows-1252 bytes: ASCII and the accented Latin letters.
inline constexpr std::array<unsigned char, 256> LowerTable = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        int l = b;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
            l = b + 0x20;
        else if (b == 0x8A || b == 0x8C || b == 0x8E)
            l = b + 0x10;
        else if (b == 0x9F)
            l = 0xFF;
        t[static_cast<size_t>(b)] = static_cast<unsigned char>(l);
    }
    return t;
}();

// Byte I of the name in lower case. Windows-1252 names fold byte by byte. UTF-8 names fold the
// same letters in their UTF-8 form (ASCII, U+00C0 to U+00DE but U+00D7, and Š, Œ, Ž, Ÿ), each
// two bytes long in either case, so that different UTF-8 names never fold alike.
template <bool Utf8>
inline unsigned char FoldedAt(std::string_view Name, size_t I)
{
    const auto b = static_cast<unsigned char>(Name[I]);
    if (!Utf8 || b < 0x80)
        return LowerTable[b];
    if (b == 0xC5 && I + 1 < Name.size() && static_cast<unsigned char>(Name[I + 1]) == 0xB8)
        return 0xC3;   // Ÿ U+0178 to ÿ U+00FF
    const auto lead = I > 0 ? static_cast<unsigned char>(Name[I - 1]) : 0;
    if (lead == 0xC3 && b <= 0x9E && b != 0x97)
        return static_cast<unsigned char>(b + 0x20);
    if (lead == 0xC5 && (b == 0xA0 || b == 0x92 || b == 0xBD))
        return static_cast<unsigned char>(b + 1);
    if (lead == 0xC5 && b == 0xB8)
        return 0xBF;
    return b;
}

template <bool Utf8>
inline bool SameNameAs(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (FoldedAt<Utf8>(A, i) != FoldedAt<Utf8>(B, i))
            return false;
    return true;
}

// Whether two names of a file in Windows-1252 (Utf8 false) or UTF-8 are the same without
// regard to case.
inline bool SameName(std::string_view A, std::string_view B, bool Utf8)
{
    return Utf8 ? SameNameAs<true>(A, B) : SameNameAs<false>(A, B);
}

// SipHash-1-3 of the lower-cased name under the process's key.
std::uint64_t HashName(std::string_view Name, bool Utf8);

// Positions by name, for the names of a file in Windows-1252 or (Utf8) UTF-8. The names stay
// where they are and are reached through At(position); the first position entered under a name
// wins. Open addressing with linear probing, at most two
// thirds full, in slots of 8 bytes.
class TNameIndex {
public:
    explicit TNameIndex(bool Utf8) : FUtf8(Utf8) {}

    template <class NameAt>
    int Find(std::string_view Name, std::uint64_t Hash, NameAt&& At) const
    {
        if (FSlots.empty())
            return -1;
        const std::uint32_t high = High(Hash);
        for (size_t i = Home(high);; i = i + 1 == FSlots.size() ? 0 : i + 1) {
            ++FProbes;
            const TSlot& s = FSlots[i];
            if (s.Pos == 0)
                return -1;
            if (s.High == high && SameName(At(s.Pos - 1), Name, FUtf8))
                return static_cast<int>(s.Pos - 1);
        }
    }

    template <class NameAt>
    void Insert(std::string_view Name, std::uint64_t Hash, std::uint32_t Pos, NameAt&& At)
    {
        if (Find(Name, Hash, At) >= 0)
            return;
        if ((FCount + 1) * 3 > FSlots.size() * 2)
            Reserve(FCount * 2 + 8);
        Place(High(Hash), Pos + 1);
        ++FCount;
    }

    void Clear(bool Utf8)
    {
        FSlots = {};
        FCount = 0;
        FUtf8 = Utf8;
    }

    // Room for Count names without growing.
    void Reserve(size_t Count)
    {
        const size_t size = Count + Count / 2 + 2;
        if (size <= FSlots.size())
            return;
        std::vector<TSlot> old = std::move(FSlots);
        FSlots.assign(size, TSlot{});
        for (const TSlot& s : old)
            if (s.Pos != 0)
                Place(s.High, s.Pos);
    }

    size_t Count() const { return FCount; }
    // Slots visited by look-ups so far.
    size_t Probes() const { return FProbes; }

private:
    // The upper half of the hash picks the home slot and is kept to skip most comparisons
    // (and to grow without the names).
    struct TSlot {
        std::uint32_t High = 0;
        std::uint32_t Pos = 0;   // position + 1; 0 for an empty slot
    };

    static std::uint32_t High(std::uint64_t Hash) { return static_cast<std::uint32_t>(Hash >> 32); }
    size_t Home(std::uint32_t High) const
    {
        return static_cast<size_t>((static_cast<std::uint64_t>(High) * FSlots.size()) >> 32);
    }

    void Place(std::uint32_t High, std::uint32_t Pos)
    {
        size_t i = Home(High);
        while (FSlots[i].Pos != 0)
            i = i + 1 == FSlots.size() ? 0 : i + 1;
        FSlots[i] = {High, Pos};
    }

    std::vector<TSlot> FSlots;
    size_t FCount = 0;
    bool FUtf8;
    mutable size_t FProbes = 0;
};

} // namespace IniFilesIndex
