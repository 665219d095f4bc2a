// The clipboard, toolkit-free part: what can be assigned to and from it. The toolkit's
// clipboard is reached in platform/qt/QtClipboard.cpp.
#include "platform/Clipbrd.h"

void TClipboard::Assign(TPersistent* Source)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        if (bitmap->GetEmpty())
            throw EInvalidGraphic("Cannot copy an empty image");
        SetImage(*bitmap);
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        if (!GetImage(*bitmap))
            throw EInvalidGraphic("Unsupported clipboard format");
        return;
    }
    TPersistent::AssignTo(Dest);
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
