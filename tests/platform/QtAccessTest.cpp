// The test access to the widgets behind controls: WidgetOf, and widgets found by the Name of
// their control.
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

#include <QLineEdit>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

TEST(QtAccess, WidgetOfIsTheControlsWidget)
{
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    ASSERT_NE(WidgetOf(&form), nullptr);
    EXPECT_TRUE(WidgetOf(&form)->isWindow());
    EXPECT_NE(qobject_cast<QLineEdit*>(WidgetOf(edit)), nullptr);
    EXPECT_EQ(WidgetOf(edit)->parentWidget(), WidgetOf(&form));
    EXPECT_EQ(WidgetOf(nullptr), nullptr);
}

TEST(QtAccess, ObjectNameFollowsTheName)
{
    TForm form(nullptr);
    form.SetName("FrmMain");
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    EXPECT_EQ(WidgetOf(edit)->objectName(), QString());
    edit->SetName("EditName");
    EXPECT_EQ(WidgetOf(&form)->objectName(), QStringLiteral("FrmMain"));
    EXPECT_EQ(WidgetOf(&form)->findChild<QWidget*>(QStringLiteral("EditName")), WidgetOf(edit));
    edit->SetName("EditOther");
    EXPECT_EQ(WidgetOf(&form)->findChild<QWidget*>(QStringLiteral("EditName")), nullptr);
    EXPECT_EQ(WidgetOf(&form)->findChild<QWidget*>(QStringLiteral("EditOther")), WidgetOf(edit));
}

}  // namespace

// A form with a popup parent is a transient window of the parent's window from its showing on,
// also when set after it was shown and after the parent was shown again; a destroyed parent or
// none leaves it a window of its own.
TEST(QtAccess, PopupParentMakesATransientWindow)
{
    auto transientOf = [](const TForm& f) {
        const QWindow* w = WidgetOf(&f)->windowHandle();
        return w != nullptr ? w->transientParent() : nullptr;
    };
    TForm main(nullptr);
    TForm tool(&main);
    tool.SetPopupParent(&main);
    EXPECT_EQ(tool.GetPopupParent(), &main);
    tool.Show();
    ASSERT_NE(WidgetOf(&main)->windowHandle(), nullptr);
    EXPECT_EQ(transientOf(tool), WidgetOf(&main)->windowHandle());
    tool.Hide();
    tool.Show();
    EXPECT_EQ(transientOf(tool), WidgetOf(&main)->windowHandle());

    tool.SetPopupParent(nullptr);
    EXPECT_EQ(transientOf(tool), nullptr);
    tool.SetPopupParent(&tool);  // itself: none
    EXPECT_EQ(tool.GetPopupParent(), nullptr);

    TForm later(nullptr);
    later.Show();
    {
        TForm parent(nullptr);
        later.SetPopupParent(&parent);  // shown: at once
        EXPECT_EQ(transientOf(later), WidgetOf(&parent)->windowHandle());
    }
    EXPECT_EQ(later.GetPopupParent(), nullptr);
    EXPECT_EQ(transientOf(later), nullptr);
    later.Hide();
    later.Show();  // nothing left of the destroyed parent
    EXPECT_EQ(transientOf(later), nullptr);
}
