#pragma once
// A set of enumeration values (at most 64 of them), as the framework's set types:
// TShiftState, TComponentState, TFontStyles.
#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Items)
    {
        for (E Item : Items) FBits |= Bit(Item);
    }
    static constexpr TSet FromBits(std::uint64_t Bits)
    {
        TSet S;
        S.FBits = Bits;
        return S;
    }

    constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
    constexpr TSet& operator<<(E Item) { FBits |= Bit(Item); return *this; }   // include
    constexpr TSet& operator>>(E Item) { FBits &= ~Bit(Item); return *this; }  // exclude
    constexpr TSet operator+(TSet Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TSet operator-(TSet Other) const { return FromBits(FBits & ~Other.FBits); }
    constexpr TSet operator*(TSet Other) const { return FromBits(FBits & Other.FBits); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint64_t Bits() const { return FBits; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E Item) { return std::uint64_t{1} << static_cast<unsigned>(Item); }
    std::uint64_t FBits = 0;
};
