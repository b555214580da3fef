#pragma once
// A bitmap image with a canvas to draw on. Assign copies the picture; changes (drawing,
// resizing, loading) fire OnChange. In a form file a bitmap streams as its Data: a 4-byte
// little-endian length followed by a BMP file ("Glyph.Data = { ... }"); PNG data and data
// without the length prefix are read too.
#include <cstdint>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/TPersistent.h"
#include "framework/ui/Colors.h"

class QImage;
class TCanvas;

class TBitmap : public TPersistent {
    DECLARE_CLASSINFO()
public:
    TBitmap();
    ~TBitmap() override;

    void Assign(TPersistent* Source) override;

    int Width() const;
    int Height() const;
    void SetWidth(int Value);
    void SetHeight(int Value);
    // New pixels are white; pixels inside both the old and the new size are kept.
    void SetSize(int Width, int Height);
    bool Empty() const;
    TCanvas* Canvas() const { return FCanvas; }

    std::vector<std::uint8_t> Data() const;
    void SetData(const std::vector<std::uint8_t>& Value);  // EInvalidGraphic-like EConvertError on bad data
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName) const;  // format from the extension (.bmp, .png)

    // The colour of the bottom-left pixel, which glyphs treat as transparent.
    TColor TransparentColor() const;

    const QImage& Image() const { return *FImage; }
    void SetImage(const QImage& Image);

    TNotifyEvent OnChange;

private:
    void Changed();
    void CanvasChanged(TObject* Sender);

    QImage* FImage;    // owned
    TCanvas* FCanvas;  // owned
};
