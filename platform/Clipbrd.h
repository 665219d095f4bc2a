// The clipboard: plain text and images, shared with the other programs of the desktop.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"

// Clipboard formats of the original platform.
constexpr Word CF_TEXT = 1;
constexpr Word CF_BITMAP = 2;
constexpr Word CF_UNICODETEXT = 13;

class TClipboard : public TPersistent {
public:
    TClipboard() = default;

    // Text in and out (UTF-8); empty when the clipboard holds no text. Setting it replaces
    // whatever the clipboard held.
    UnicodeString GetAsText() const;
    void SetAsText(const UnicodeString& Value);
    // CF_TEXT and CF_UNICODETEXT: text is there; CF_BITMAP: an image is there.
    bool HasFormat(Word Format) const;
    void Clear();

    // Clipboard()->Assign(Bitmap) puts the bitmap's image on the clipboard, replacing what it
    // held (an empty bitmap raises EInvalidGraphic "Cannot copy an empty image" and changes
    // nothing). Bitmap->Assign(Clipboard()) reads the image back; without one it raises
    // EInvalidGraphic "Unsupported clipboard format" and the bitmap stays as it was.
    void Assign(TPersistent* Source) override;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    // platform/qt/QtClipboard.cpp
    void SetImage(const TBitmap& Bitmap);
    bool GetImage(TBitmap& Bitmap) const;
};

// The program's clipboard.
TClipboard* Clipboard();
