#include "platform/IniFilesIndex.h"

#include <cstdint>
#include <random>
#include <string_view>

namespace IniFilesIndex {

namespace {

struct TSipKey {
    std::uint64_t K0, K1;
};

// Drawn once per process, so that nobody can prepare names that collide.
const TSipKey& SipKey()
{
    static const TSipKey key = [] {
        std::random_device device;
        auto word = [&] { return (static_cast<std::uint64_t>(device()) << 32) ^ device(); };
        return TSipKey{word(), word()};
    }();
    return key;
}

constexpr std::uint64_t Rotl(std::uint64_t X, int B) { return (X << B) | (X >> (64 - B)); }

struct TSipState {
    std::uint64_t V0, V1, V2, V3;
    void Round()
    {
        V0 += V1; V1 = Rotl(V1, 13); V1 ^= V0; V0 = Rotl(V0, 32);
        V2 += V3; V3 = Rotl(V3, 16); V3 ^= V2;
        V0 += V3; V3 = Rotl(V3, 21); V3 ^= V0;
        V2 += V1; V1 = Rotl(V1, 17); V1 ^= V2; V2 = Rotl(V2, 32);
    }
    void Compress(std::uint64_t M)
    {
        V3 ^= M;
        Round();
        V0 ^= M;
    }
};

template <bool Utf8>
std::uint64_t HashNameAs(std::string_view Name)
{
    const TSipKey& k = SipKey();
    TSipState s{k.K0 ^ 0x736f6d6570736575ull, k.K1 ^ 0x646f72616e646f6dull, k.K0 ^ 0x6c7967656e657261ull,
                k.K1 ^ 0x7465646279746573ull};
    std::uint64_t m = 0;
    size_t i = 0;
    for (; i < Name.size(); ++i) {
        m |= static_cast<std::uint64_t>(FoldedAt<Utf8>(Name, i)) << (8 * (i % 8));
        if (i % 8 == 7) {
            s.Compress(m);
            m = 0;
        }
    }
    s.Compress(m | (static_cast<std::uint64_t>(Name.size()) << 56));
    s.V2 ^= 0xff;
    s.Round();
    s.Round();
    s.Round();
    return s.V0 ^ s.V1 ^ s.V2 ^ s.V3;
}

} // namespace

std::uint64_t HashName(std::string_view Name, bool Utf8)
{
    return Utf8 ? HashNameAs<true>(Name) : HashNameAs<false>(Name);
}

} // namespace IniFilesIndex
