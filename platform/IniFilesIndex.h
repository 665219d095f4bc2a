// The name index of TIniFile: names compared without regard to case, found in expected constant
// time whatever the names, since the hash is keyed with a secret drawn once per process.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace IniFilesIndex {

// Lower case of Windows-1252 bytes (ASCII and the accented Latin letters); line-break and NUL
// bytes count as blanks, as they do in the names callers pass.
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
        else if (b == '\r' || b == '\n' || b == '\0')
            l = ' ';
        t[static_cast<size_t>(b)] = static_cast<unsigned char>(l);
    }
    return t;
}();

inline bool SameName(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (LowerTable[static_cast<unsigned char>(A[i])] != LowerTable[static_cast<unsigned char>(B[i])])
            return false;
    return true;
}

// SipHash-1-3 of the lower-cased name under the process's key.
std::uint64_t HashName(std::string_view Name);

// Positions by name. The names stay where they are and are reached through At(position); the
// first position entered under a name wins. Open addressing with linear probing, at most two
// thirds full, in slots of 8 bytes.
class TNameIndex {
public:
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
            if (s.High == high && SameName(At(s.Pos - 1), Name))
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

    void Clear()
    {
        FSlots = {};
        FCount = 0;
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
    mutable size_t FProbes = 0;
};

} // namespace IniFilesIndex
