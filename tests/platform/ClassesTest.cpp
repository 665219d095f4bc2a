#include "platform/Classes.h"
#include <gtest/gtest.h>

namespace {

struct Tracked : TComponent {
    Tracked(TComponent* owner, int* deaths) : TComponent(owner), Deaths(deaths) {}
    ~Tracked() override { ++*Deaths; }
    int* Deaths;
};

struct TOther : TPersistent {};

} // namespace

TEST(Components, OwnerDestroysEachOwnedComponentOnce)
{
    int deaths = 0;
    auto* owner = new TComponent(nullptr);
    auto* a = new Tracked(owner, &deaths);
    new Tracked(owner, &deaths);
    new Tracked(a, &deaths); // owned by a, destroyed with it
    EXPECT_EQ(owner->GetComponentCount(), 2);
    delete owner;
    EXPECT_EQ(deaths, 3);
}

TEST(Components, ComponentFreedFirstLeavesTheList)
{
    int deaths = 0;
    TComponent owner(nullptr);
    auto* a = new Tracked(&owner, &deaths);
    auto* b = new Tracked(&owner, &deaths);
    a->SetName("First");
    b->SetName("Second");
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(owner.FindComponent("SECOND"), b);
    EXPECT_EQ(owner.FindComponent("First"), nullptr);
    EXPECT_THROW(owner.GetComponent(1), EListError);
}

TEST(Persistent, AssignAcrossUnrelatedClassesNamesBoth)
{
    TOther source;
    TPersistent target;
    try {
        target.Assign(&source);
        FAIL() << "no assignment error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TOther to a TPersistent");
    }
}

TEST(Types, SetHoldsBitsByOrdinal)
{
    enum E { a, b, c, d };
    Set<E, a, d> s{a, c};
    EXPECT_EQ(s.ToInt(), 0b101u);
    s << d >> a;
    EXPECT_TRUE(s.Contains(d));
    EXPECT_FALSE(s.Contains(a));
    EXPECT_EQ((Set<E, a, d>::FromInt(0xFF)).ToInt(), 0xFu);
}

TEST(Strings, EditsAndBatchedChangeNotification)
{
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(changes, 2);
    list.BeginUpdate();
    list.Put(0, "x");
    list.Insert(1, "y");
    list.Delete(2);
    EXPECT_EQ(changes, 2);
    list.EndUpdate();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(list.GetText(), "x\r\ny\r\n");
    EXPECT_THROW(list.Get(2), EListError);
    EXPECT_THROW(list.Insert(3, "z"), EListError);
}

TEST(Strings, SetTextSplitsEveryLineBreakAndAssignCopies)
{
    TStringList a, b;
    a.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(a.Count(), 4);
    EXPECT_EQ(a[3], "four");
    b.Assign(&a);
    EXPECT_EQ(b.GetText(), a.GetText());
    EXPECT_EQ(b.IndexOf("three"), 2);
}
