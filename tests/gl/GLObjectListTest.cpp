#include "gl/GLObjectList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace {

// Counts its destructions, so the tests see which items the list frees.
class TCountedObject : public TGLObject {
public:
    explicit TCountedObject(int* freed) : Freed_(freed) {}
    ~TCountedObject() override { ++*Freed_; }

private:
    int* Freed_;
};

// A list of a concrete kind: AddNew and Assign create its own class.
class TCountedList : public TGLObjectList {
public:
    explicit TCountedList(int* freed) : Freed_(freed) {}

protected:
    std::unique_ptr<TGLObject> NewItem() const override { return std::make_unique<TCountedObject>(Freed_); }

private:
    int* Freed_;
};

TEST(GLObjectList, OwnsAndFreesItsItems)
{
    int freed = 0;
    {
        TCountedList list(&freed);
        TGLObject* first = list.AddNew();
        list.AddNew();
        list.AddNew();
        EXPECT_EQ(first->Owner(), &list);
        EXPECT_NE(dynamic_cast<TCountedObject*>(first), nullptr);
        list.Delete(1);
        EXPECT_EQ(freed, 1);
        std::unique_ptr<TGLObject> taken = list.Extract(first);
        EXPECT_EQ(taken.get(), first);
        EXPECT_EQ(taken->Owner(), nullptr);
        EXPECT_EQ(list.Extract(first), nullptr);
        EXPECT_EQ(list.Count(), 1);
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 3); // the list's last item and the extracted one
}

TEST(GLObjectList, ReportsAddsRemovalsAndChanges)
{
    TGLObjectList list;
    std::vector<std::string> events;
    list.OnChange = [&](TGLObjectList*) { events.push_back("change"); };
    list.OnNotify = [&](TGLObject*, TListNotification action) {
        events.push_back(action == lnAdded ? "added" : action == lnDeleted ? "deleted" : "extracted");
    };
    TGLObjectList other;
    EXPECT_EQ(list.Add(std::make_unique<TGLObject>(), &other), 0);
    EXPECT_EQ(list.Items(0)->Owner(), &other);
    TGLObject* second = list.AddNew();
    list.Extract(second);
    list.Clear();
    EXPECT_EQ(events,
              (std::vector<std::string>{"added", "change", "added", "change", "extracted", "deleted", "change"}));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IndexOf(second), -1);
}

TEST(GLObjectList, AssignCopiesItemsAndEvents)
{
    int freed = 0;
    TCountedList source(&freed);
    int changes = 0;
    source.OnChange = [&](TGLObjectList*) { ++changes; };
    source.AddNew()->SetName("a");
    source.AddNew()->SetName("b");
    TCountedList copy(&freed);
    copy.AddNew();
    copy.Assign(source);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Items(0)->Name(), "a");
    EXPECT_EQ(copy.Items(1)->Name(), "b");
    EXPECT_NE(copy.Items(0), source.Items(0));
    EXPECT_NE(dynamic_cast<TCountedObject*>(copy.Items(1)), nullptr);
    EXPECT_EQ(freed, 1);
    const int before = changes;
    copy.Items(0)->SetName("c");
    EXPECT_EQ(changes, before + 1); // the copied event
    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 2);
}

} // namespace
} // namespace kv
