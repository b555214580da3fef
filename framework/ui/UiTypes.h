#pragma once
// Geometry and layout types shared by the controls.
struct TTypeInfo;

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

// A rectangle whose Right and Bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TPoint Point(int X, int Y) { return TPoint{X, Y}; }
inline TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) { return TRect{Left, Top, Left + Width, Top + Height}; }

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
const TTypeInfo* GetTypeInfo(TAlign*);

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
const TTypeInfo* GetTypeInfo(TAlignment*);

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
const TTypeInfo* GetTypeInfo(TBevelCut*);
