// Plain geometry and set types of the runtime library.
#pragma once

#include <cstdint>
#include <initializer_list>

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle; Right and Bottom are the first column and row outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool Contains(const TPoint& p) const
    {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// A size in pixels.
struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr TSize() = default;
    constexpr TSize(int w, int h) : cx(w), cy(h) {}
    constexpr int Width() const { return cx; }
    constexpr int Height() const { return cy; }
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

constexpr TPoint Point(int x, int y) { return TPoint(x, y); }

// Liang-Barsky: the interval [T0, T1] of the parameter of the segment (X0, Y0)-(X1, Y1) that lies
// in the box [L, R] x [T, B]; false when no part does.
inline bool ClipSegment(double X0, double Y0, double X1, double Y1, double L, double T, double R, double B,
                        double& T0, double& T1)
{
    T0 = 0;
    T1 = 1;
    const double dx = X1 - X0, dy = Y1 - Y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {X0 - L, R - X0, Y0 - T, B - Y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            const double t = q[i] / p[i];
            if (p[i] < 0) {
                if (t > T0) T0 = t;
            } else if (t < T1) {
                T1 = t;
            }
        }
    }
    return T0 <= T1;
}
constexpr TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }

// A set of enumeration values between MinEl and MaxEl (at most 32), bit n for value n.
template <typename T, int MinEl, int MaxEl>
class Set {
    static_assert(MaxEl - MinEl < 32, "Set holds at most 32 values");

public:
    constexpr Set() = default;
    constexpr Set(std::initializer_list<T> values)
    {
        for (T v : values) *this << v;
    }
    static constexpr Set FromInt(std::uint32_t bits)
    {
        Set s;
        s.FBits = bits & Mask();
        return s;
    }
    constexpr std::uint32_t ToInt() const { return FBits; }
    constexpr bool Contains(T v) const { return (FBits & Bit(v)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr Set& operator<<(T v)
    {
        FBits |= Bit(v);
        return *this;
    }
    constexpr Set& operator>>(T v)
    {
        FBits &= ~Bit(v);
        return *this;
    }
    constexpr Set operator+(const Set& o) const { return FromInt(FBits | o.FBits); }
    constexpr Set operator*(const Set& o) const { return FromInt(FBits & o.FBits); }
    constexpr Set operator-(const Set& o) const { return FromInt(FBits & ~o.FBits); }
    constexpr Set& operator+=(const Set& o) { return *this = *this + o; }
    constexpr Set& operator*=(const Set& o) { return *this = *this * o; }
    constexpr Set& operator-=(const Set& o) { return *this = *this - o; }
    friend constexpr bool operator==(const Set&, const Set&) = default;

private:
    static constexpr std::uint32_t Bit(T v)
    {
        const int n = static_cast<int>(v) - MinEl;
        return (n >= 0 && n <= MaxEl - MinEl) ? (std::uint32_t(1) << n) : 0;
    }
    static constexpr std::uint32_t Mask()
    {
        return MaxEl - MinEl == 31 ? 0xFFFFFFFFu : ((std::uint32_t(1) << (MaxEl - MinEl + 1)) - 1);
    }
    std::uint32_t FBits = 0;
};
