// The clipboard: text and images round trip through the toolkit's clipboard, and what it holds.
#include "platform/Clipbrd.h"

#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<bool> Formats()
{
    return {Clipboard()->HasFormat(CF_TEXT), Clipboard()->HasFormat(CF_UNICODETEXT),
            Clipboard()->HasFormat(CF_BITMAP)};
}

TEST(Clipboard, TextRoundTripsAsUtf8AndReplacesAnImage)
{
    TBitmap picture(2, 2);
    Clipboard()->Assign(&picture);
    for (const char* text : {"Naproxène µ", "Ibuprofen\r\n2\tmM", "∆pH = 0,5 — 日本"}) {
        Clipboard()->SetAsText(text);
        EXPECT_EQ(Clipboard()->GetAsText(), text);
        EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(text));
        EXPECT_EQ(Formats(), (std::vector<bool>{true, true, false}));
    }
    // Text from another program reads the same way.
    QApplication::clipboard()->setText(QStringLiteral("µ from elsewhere"));
    EXPECT_EQ(Clipboard()->GetAsText(), "µ from elsewhere");
    Clipboard()->Clear();
    EXPECT_EQ(Clipboard()->GetAsText(), "");
    EXPECT_EQ(Formats(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(Clipboard()->HasFormat(0xC000));
}

TEST(Clipboard, AnImageRoundTripsPixelForPixel)
{
    TBitmap picture(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.ScanLine(y)[x] = 0xFF000000u | std::uint32_t(x * 37) << 16 | std::uint32_t(y * 51) << 8 |
                                     std::uint32_t((x * y * 13) & 0xFF);
    picture.ScanLine(0)[0] = 0xFF000000u;
    picture.ScanLine(4)[6] = 0xFFFFFFFFu;
    Clipboard()->SetAsText("replaced");
    Clipboard()->Assign(&picture);
    EXPECT_EQ(Formats(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Clipboard()->GetAsText(), "");

    TBitmap back(1, 1);
    back.Assign(Clipboard());
    ASSERT_EQ(back.GetWidth(), 7);
    ASSERT_EQ(back.GetHeight(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(back.ScanLine(y)[x], picture.ScanLine(y)[x]) << x << "," << y;
    EXPECT_EQ(QApplication::clipboard()->image().pixel(3, 2), picture.ScanLine(2)[3]);
}

TEST(Clipboard, WhatCannotBeCopiedChangesNothing)
{
    TBitmap kept(3, 2);
    kept.ScanLine(1)[2] = 0xFF123456u;
    TBitmap empty;
    TStringList list;
    const struct {
        const char* Name;
        std::function<void()> Call;
        const char* Message;
    } table[] = {
        {"an empty bitmap", [&] { Clipboard()->Assign(&empty); }, "Cannot copy an empty image"},
        {"no image to read", [&] { kept.Assign(Clipboard()); }, "Unsupported clipboard format"},
        {"a list onto the clipboard", [&] { Clipboard()->Assign(&list); },
         "Cannot assign a TStringList to a TClipboard"},
        {"the clipboard into a list", [&] { list.Assign(Clipboard()); },
         "Cannot assign a TClipboard to a TStringList"},
    };
    for (const auto& row : table) {
        Clipboard()->SetAsText("kept");
        try {
            row.Call();
            ADD_FAILURE() << row.Name << ": no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), row.Message) << row.Name;
        }
        EXPECT_EQ(Clipboard()->GetAsText(), "kept") << row.Name;
        EXPECT_EQ(kept.GetWidth(), 3) << row.Name;
        EXPECT_EQ(kept.ScanLine(1)[2], 0xFF123456u) << row.Name;
    }
}

}  // namespace
