#include "framework/ui/TBitmap.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TCanvas.h"

using namespace ui_detail;

const TClassInfo* TBitmap::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TBitmap, TPersistent>("TBitmap")
                                       .Property("Data", &TBitmap::Data, &TBitmap::SetData)
                                       .Build();
    return &Info;
}

TBitmap::TBitmap() : FImage(new QImage), FCanvas(new TCanvas)
{
    FCanvas->SetImage(FImage);
    FCanvas->OnChange = TNotifyEvent(this, &TBitmap::CanvasChanged);
}

TBitmap::~TBitmap()
{
    FCanvas->OnChange = nullptr;
    delete FCanvas;
    delete FImage;
}

void TBitmap::Assign(TPersistent* Source)
{
    if (!Source) {
        SetImage(QImage());
        return;
    }
    if (auto* B = dynamic_cast<TBitmap*>(Source)) {
        if (B != this) SetImage(B->Image().copy());
        return;
    }
    TPersistent::Assign(Source);
}

int TBitmap::Width() const
{
    return FImage->width();
}

int TBitmap::Height() const
{
    return FImage->height();
}

void TBitmap::SetWidth(int Value)
{
    SetSize(Value, Height());
}

void TBitmap::SetHeight(int Value)
{
    SetSize(Width(), Value);
}

void TBitmap::SetSize(int NewWidth, int NewHeight)
{
    NewWidth = std::max(0, NewWidth);
    NewHeight = std::max(0, NewHeight);
    if (NewWidth == Width() && NewHeight == Height()) return;
    QImage Resized;
    if (NewWidth > 0 && NewHeight > 0) {
        Resized = QImage(NewWidth, NewHeight, QImage::Format_RGB32);
        Resized.fill(Qt::white);
        if (!FImage->isNull()) {
            QPainter P(&Resized);
            P.drawImage(QPoint(0, 0), *FImage);
        }
    }
    SetImage(Resized);
}

bool TBitmap::Empty() const
{
    return FImage->isNull();
}

void TBitmap::SetImage(const QImage& Image)
{
    *FImage = Image.isNull() ? QImage() : Image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

std::vector<std::uint8_t> TBitmap::Data() const
{
    if (FImage->isNull()) return {};
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    FImage->save(&Buffer, "BMP");
    const auto Size = static_cast<std::uint32_t>(Bytes.size());
    std::vector<std::uint8_t> Result{static_cast<std::uint8_t>(Size), static_cast<std::uint8_t>(Size >> 8),
                                     static_cast<std::uint8_t>(Size >> 16), static_cast<std::uint8_t>(Size >> 24)};
    Result.insert(Result.end(), Bytes.begin(), Bytes.end());
    return Result;
}

void TBitmap::SetData(const std::vector<std::uint8_t>& Value)
{
    if (Value.empty()) {
        SetImage(QImage());
        return;
    }
    auto Bytes = QByteArray(reinterpret_cast<const char*>(Value.data()), static_cast<qsizetype>(Value.size()));
    if (Value.size() > 4) {
        const std::uint32_t Size = Value[0] | Value[1] << 8 | Value[2] << 16 | std::uint32_t(Value[3]) << 24;
        if (Size == Value.size() - 4) Bytes = Bytes.mid(4);
    }
    QImage Image;
    if (!Image.loadFromData(Bytes))
        throw EConvertError(TranslateText("TBitmap", "Bitmap data is not a BMP or PNG image"));
    SetImage(Image);
}

void TBitmap::LoadFromFile(const AnsiString& FileName)
{
    QImage Image;
    if (!Image.load(ToQString(FileName)))
        throw EConvertError(FormatText(TranslateText("TBitmap", "Cannot load the image file %1"), {FileName}));
    SetImage(Image);
}

void TBitmap::SaveToFile(const AnsiString& FileName) const
{
    if (!FImage->save(ToQString(FileName)))
        throw EConvertError(FormatText(TranslateText("TBitmap", "Cannot save the image file %1"), {FileName}));
}

TColor TBitmap::TransparentColor() const
{
    if (FImage->isNull()) return clNone;
    return FromQColor(FImage->pixelColor(0, FImage->height() - 1));
}

void TBitmap::Changed()
{
    if (OnChange) OnChange(this);
}

void TBitmap::CanvasChanged(TObject*)
{
    Changed();
}
