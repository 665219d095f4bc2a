// The test access to the widgets behind controls: WidgetOf, and widgets found by the Name of
// their control.
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

#include <QLineEdit>
#include <QWidget>
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
