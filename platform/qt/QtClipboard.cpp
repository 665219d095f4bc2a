// The clipboard on Qt: text as plain text, an image as a QImage of the bitmap's pixels.
#include "platform/Clipbrd.h"

#include "platform/qt/QtControls.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

#include <algorithm>

namespace {

QClipboard* Board()
{
    return QApplication::clipboard();
}

}  // namespace

UnicodeString TClipboard::GetAsText() const
{
    const QMimeData* data = Board()->mimeData();
    return data != nullptr && data->hasText() ? QtControls::FromQ(data->text()) : UnicodeString();
}

void TClipboard::SetAsText(const UnicodeString& Value)
{
    Board()->setText(QtControls::ToQ(Value));
}

bool TClipboard::HasFormat(Word Format) const
{
    const QMimeData* data = Board()->mimeData();
    if (data == nullptr)
        return false;
    switch (Format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return data->hasText();
    case CF_BITMAP:
        return data->hasImage();
    default:
        return false;
    }
}

void TClipboard::Clear()
{
    Board()->clear();
}

void TClipboard::SetImage(const TBitmap& Bitmap)
{
    const int w = Bitmap.GetWidth(), h = Bitmap.GetHeight();
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* from = Bitmap.ScanLine(y);
        std::copy_n(from, w, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    }
    Board()->setImage(image);
}

bool TClipboard::GetImage(TBitmap& Bitmap) const
{
    const QMimeData* data = Board()->mimeData();
    if (data == nullptr || !data->hasImage())
        return false;
    const QImage image = qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return false;
    Bitmap.SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        std::copy_n(from, image.width(), Bitmap.ScanLine(y));
    }
    return true;
}
