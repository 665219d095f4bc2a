// The clipboard: text and images round trip through the toolkit's clipboard.
#include "platform/Clipbrd.h"

#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<bool> Formats()
{
    const TClipboard* c = Clipboard();
    return {c->HasFormat(CF_TEXT), c->HasFormat(CF_UNICODETEXT), c->HasFormat(CF_BITMAP)};
}

TEST(Clipboard, TextAndImagesRoundTripAndReplaceEachOther)
{
    for (const char* text : {"Naproxène µ", "Ibuprofen\r\n2\tmM", "∆pH — 日本"}) {
        Clipboard()->SetAsText(text);
        EXPECT_EQ(Clipboard()->GetAsText(), text);
        EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(text));
        EXPECT_EQ(Formats(), (std::vector<bool>{true, true, false}));
    }
    TBitmap picture(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.ScanLine(y)[x] = 0xFF000000u | std::uint32_t(x * 37 << 16 | y * 51 << 8 | x * y * 13);
    picture.ScanLine(4)[6] = 0xFFFFFFFFu;
    Clipboard()->Assign(&picture);
    EXPECT_EQ(Formats(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Clipboard()->GetAsText(), "");
    TBitmap back(1, 1);
    back.Assign(Clipboard());
    ASSERT_TRUE(back.GetWidth() == 7 && back.GetHeight() == 5);
    for (int y = 0; y < 5; ++y)
        EXPECT_TRUE(std::equal(picture.ScanLine(y), picture.ScanLine(y) + 7, back.ScanLine(y))) << y;
    EXPECT_EQ(QApplication::clipboard()->image().pixel(3, 2), picture.ScanLine(2)[3]);
    Clipboard()->Clear();
    EXPECT_EQ(Formats(), (std::vector<bool>{false, false, false}));
}

TEST(Clipboard, WhatCannotBeCopiedChangesNothing)
{
    TBitmap kept(3, 2), empty;
    kept.ScanLine(1)[2] = 0xFF123456u;
    TStringList list;
    const std::pair<std::function<void()>, const char*> table[] = {
        {[&] { Clipboard()->Assign(&empty); }, "Cannot copy an empty image"},
        {[&] { kept.Assign(Clipboard()); }, "Unsupported clipboard format"},
        {[&] { Clipboard()->Assign(&list); }, "Cannot assign a TStringList to a TClipboard"},
        {[&] { list.Assign(Clipboard()); }, "Cannot assign a TClipboard to a TStringList"},
    };
    for (const auto& [call, message] : table) {
        Clipboard()->SetAsText("kept");
        try {
            call();
            ADD_FAILURE() << message << ": no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(Clipboard()->GetAsText(), "kept") << message;
        EXPECT_TRUE(kept.GetWidth() == 3 && kept.ScanLine(1)[2] == 0xFF123456u) << message;
    }
}

}  // namespace
