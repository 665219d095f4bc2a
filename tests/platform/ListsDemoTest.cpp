// A small window with the standard controls, rendered to lists_demo.png in the build folder
// for a look at how they sit together.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// A windowless control: a little curve over an axis, drawn on its parent's surface.
class TCurveView : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint() override
    {
        const int w = GetWidth();
        const int h = GetHeight();
        Canvas->Brush->SetColor(clWindow);
        Canvas->Pen->SetColor(clBtnShadow);
        Canvas->Rectangle(0, 0, w, h);
        Canvas->Pen->SetColor(clGray);
        Canvas->MoveTo(8, h - 10);
        Canvas->LineTo(w - 8, h - 10);
        Canvas->MoveTo(8, 8);
        Canvas->LineTo(8, h - 10);
        Canvas->Pen->SetColor(clRed);
        Canvas->Pen->SetWidth(2);
        for (int x = 9; x < w - 8; ++x) {
            const double t = double(x - 9) / double(w - 17);
            const int y = h - 11 - int((h - 22) * (1 - std::exp(-4 * t)));
            if (x == 9)
                Canvas->MoveTo(x, y);
            else
                Canvas->LineTo(x, y);
        }
        Canvas->Pen->SetWidth(1);
    }
};

}  // namespace

TEST(ListsDemo, RendersATidyWindow)
{
    TForm form(nullptr);
    form.SetCaption("Controls");
    form.SetColor(clBtnFace);
    form.SetClientWidth(430);
    form.SetClientHeight(250);

    auto* name = new TEdit(&form);
    name->SetParent(&form);
    name->SetBounds(8, 8, 209, 21);
    name->SetText("beta-cyclodextrin run");

    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(8, 37, 209, 13 * 3 + 4);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(13);
    list->SetMultiSelect(true);
    list->SetExtendedSelect(true);
    for (const char* row : {"<unnamed>", "Ibuprofen 20 mM", "Hidden variant"})
        list->Items->Add(row);
    list->OnDrawItem = [list](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
        if (Index == 2)
            list->Canvas->Font->SetColor(clSilver);
        list->Canvas->FillRect(Rect);
        list->Canvas->TextOut(Rect.Left + 2, Rect.Top, list->Items->Get(Index));
    };

    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(8, 90, 209, 21);
    for (const char* item : {"Time difference", "Mobility difference", "Selectivity"})
        combo->Items->Add(item);
    combo->SetItemIndex(0);

    auto* apply = new TButton(&form);
    apply->SetParent(&form);
    apply->SetBounds(8, 200, 84, 41);
    apply->SetCaption("A&pply");
    apply->Font->SetColor(clRed);
    apply->SetDefault(true);
    auto* add = new TButton(&form);
    add->SetParent(&form);
    add->SetBounds(100, 200, 84, 41);
    add->SetCaption("&Add");

    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(225, 8, 197, 233);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clWindow);
    auto* label = new TLabel(&form);
    label->SetParent(panel);
    label->SetBounds(8, 6, 180, 13);
    label->SetCaption("Migration time / min");
    auto* curve = new TCurveView(&form);
    curve->SetParent(panel);
    curve->SetBounds(8, 24, 181, 201);

    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(&form)));
    // The person's clicks: the second row selected and current.
    const TRect r = list->ItemRect(1);
    QTest::mouseClick(WidgetOf(list), Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 10, r.Top + 6));
    ASSERT_EQ(list->SelCount(), 1);
    ASSERT_TRUE(list->Focused());

    const QString path = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../lists_demo.png"));
    form.SaveToPng(path.toStdString());
    TBitmap png;
    png.LoadFromFile(path.toStdString());
    EXPECT_EQ(png.GetWidth(), 430);
    EXPECT_EQ(png.GetHeight(), 250);
    // The selected row is filled with the highlight colour across the list.
    EXPECT_EQ(png.Canvas->GetPixel(8 + 150, 37 + r.Top + 6), ColorToRGB(clHighlight));
}
