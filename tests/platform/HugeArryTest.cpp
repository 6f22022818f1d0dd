#include "platform/HugeArry.h"

#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <random>
#include <vector>

namespace kv {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAreArray;

template <typename TArray>
auto Values(const TArray& array)
{
    std::vector<decltype(array.Get(0))> values;
    for (int32_t i = 0; i < array.Count(); ++i)
        values.push_back(array.Get(i));
    return values;
}

void AddAll(THugeInteger& array, std::initializer_list<int32_t> values)
{
    for (int32_t v : values)
        array.Add(v);
}

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EKorvelaError& e) {
        return e.what();
    }
    return "no error";
}

TEST(THugeArray, ZeroSizedAllocationsAreRefused)
{
    EXPECT_EQ(MessageOf([] { THugeInteger array(0); }), "Empty Array Allocation");
    EXPECT_EQ(MessageOf([] { THugeArray array(8, 0); }), "Empty Array Allocation");
    EXPECT_EQ(MessageOf([] { THugeArray array(0, 0); }), "Empty Array Allocation");
    EXPECT_THROW(THugeArray(-1, 4), EKorvelaError);
    EXPECT_THROW(THugeArray(4, -8), EKorvelaError);

    THugeInteger array(4);
    EXPECT_EQ(MessageOf([&] { array.SetCapacity(0); }), "Empty Array Allocation");
    EXPECT_THROW(array.SetCapacity(-3), EKorvelaError);
    EXPECT_EQ(array.Capacity(), 4);
}

TEST(THugeArray, GrowsOneFiveNineThenBySixteenThenByAQuarter)
{
    THugeInteger array(1);
    EXPECT_EQ(array.GrowDelta(), 4);
    std::vector<int32_t> capacities{array.Capacity()};
    for (int32_t i = 0; i < 1000; ++i) {
        EXPECT_EQ(array.Add(i * 7), i);
        if (array.Capacity() != capacities.back())
            capacities.push_back(array.Capacity());
    }
    ASSERT_GE(capacities.size(), 10u);
    EXPECT_THAT(std::vector<int32_t>(capacities.begin(), capacities.begin() + 10),
                ElementsAre(1, 5, 9, 25, 41, 57, 73, 91, 113, 141));
    EXPECT_EQ(array.Count(), 1000);
    EXPECT_EQ(array.ByteSize(), array.Capacity() * 4);
    EXPECT_EQ(array.Objects().size(), 1000u);
    for (int32_t i = 0; i < 1000; ++i)
        ASSERT_EQ(array.Get(i), i * 7);
}

TEST(THugeArray, FirstAllocationIsCutToAvailableMemoryAndToThe32BitRange)
{
    constexpr int32_t maxInt = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(GrantedCapacity(10, 8, 1u << 30), 10);
    EXPECT_EQ(GrantedCapacity(10, 8, 40), 5);
    EXPECT_EQ(GrantedCapacity(10, 8, 3), 1);
    EXPECT_EQ(GrantedCapacity(maxInt, 24, uint64_t{1} << 40), maxInt / 24);
}

TEST(THugeArray, ImpossibleCapacityThrowsAndKeepsTheBlock)
{
    THugeArray array(1, 1 << 20);
    array.Add(std::vector<char>(1 << 20, 'k').data());
    EXPECT_THROW(array.SetCapacity(4096), std::bad_alloc); // 4 GiB: beyond the 32-bit byte size
    EXPECT_EQ(array.Capacity(), 1);
    EXPECT_EQ(array.ByteSize(), 1 << 20);
    EXPECT_EQ(array.Count(), 1);
    EXPECT_EQ(static_cast<const char*>(array.ItemPtr(0))[(1 << 20) - 1], 'k');
}

TEST(THugeArray, ClearReturnsToTheInitialCapacity)
{
    THugeDouble array(3);
    int marker = 0;
    for (int i = 0; i < 50; ++i)
        array.AddObject(i * 0.5, &marker);
    array.Clear();
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Capacity(), array.InitialCapacity());
    EXPECT_EQ(array.Capacity(), 3);
    EXPECT_TRUE(array.Objects().empty());
    EXPECT_EQ(array.Add(2.5), 0);
    EXPECT_EQ(array.Get(0), 2.5);
}

TEST(THugeArray, InsertAndDeleteHonourTheirIndexRanges)
{
    struct Case {
        const char* name;
        bool insert;
        int32_t index;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {"insert at front", true, 0, {99, 10, 20, 30}},
        {"insert in middle", true, 1, {10, 99, 20, 30}},
        {"insert at Count appends", true, 3, {10, 20, 30, 99}},
        {"insert past Count ignored", true, 4, {10, 20, 30}},
        {"insert below 0 ignored", true, -1, {10, 20, 30}},
        {"delete first", false, 0, {20, 30}},
        {"delete last", false, 2, {10, 20}},
        {"delete at Count ignored", false, 3, {10, 20, 30}},
        {"delete below 0 ignored", false, -1, {10, 20, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        THugeInteger array(3); // full: every insert has to grow
        AddAll(array, {10, 20, 30});
        if (c.insert)
            array.Insert(99, c.index);
        else
            array.Delete(c.index);
        EXPECT_THAT(Values(array), ElementsAreArray(c.expected));
        EXPECT_EQ(array.Objects().size(), 3u); // Insert and Delete leave Objects alone
    }
}

TEST(THugeArray, ItemsTakenFromTheArrayItselfSurviveGrowth)
{
    THugeInteger array(3);
    AddAll(array, {1, 2, 3});
    array.THugeArray::Insert(array.ItemPtr(1), 0);
    EXPECT_THAT(Values(array), ElementsAre(2, 1, 2, 3));
    while (array.Count() < array.Capacity())
        array.Add(0);
    array.Add(array.ItemPtr(3));
    EXPECT_EQ(array.Get(array.Count() - 1), 3);
    const int32_t count = array.Count();
    array.AddFrom(array); // adds the items present when it started, no more
    ASSERT_EQ(array.Count(), 2 * count);
    EXPECT_EQ(array.Get(count), 2);
    EXPECT_EQ(array.Get(2 * count - 1), 3);
}

TEST(THugeArray, SortOrdersBothWaysAndObjectsFollowTheirItems)
{
    struct Case {
        std::vector<double> input;
        bool ascending;
    };
    const Case cases[] = {
        {{3, 1, 2}, true},
        {{3, 1, 2}, false},
        {{5}, true},
        {{2, 2, 1, 2, 1}, true},
        {{-1e300, 7, 7, 0.5, -3, 1e300, 0}, false},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.input) + (c.ascending ? " ascending" : " descending"));
        std::vector<double> tags = c.input; // each item's object points at a copy of its value
        THugeDouble array(2);
        for (size_t i = 0; i < c.input.size(); ++i)
            array.AddObject(c.input[i], &tags[i]);
        array.SetSortAscending(c.ascending);
        array.Sort();
        std::vector<double> expected = c.input;
        if (c.ascending)
            std::sort(expected.begin(), expected.end());
        else
            std::sort(expected.begin(), expected.end(), std::greater<>());
        EXPECT_THAT(Values(array), ElementsAreArray(expected));
        for (int32_t i = 0; i < array.Count(); ++i)
            EXPECT_EQ(*static_cast<double*>(array.Objects()[static_cast<size_t>(i)]), array.Get(i));
    }
}

TEST(THugeArray, ScalarSortsCompareByValueAcrossTheWholeRange)
{
    constexpr int32_t low = std::numeric_limits<int32_t>::min();
    constexpr int32_t high = std::numeric_limits<int32_t>::max();
    THugeInteger integers(1);
    AddAll(integers, {high, 0, low, -1, 1, low, high});
    integers.Sort();
    EXPECT_THAT(Values(integers), ElementsAre(low, low, -1, 0, 1, high, high));

    THugeByte bytes(1);
    for (int b : {200, 3, 255, 0, 128})
        bytes.Add(static_cast<uint8_t>(b));
    bytes.SetSortAscending(false);
    bytes.Sort();
    EXPECT_THAT(Values(bytes), ElementsAre(255, 200, 128, 3, 0));
}

TEST(THugeArray, LargeSortsMatchTheStandardLibrary)
{
    std::mt19937 random(1234);
    for (int32_t range : {5, 1000000}) { // many duplicates, then mostly distinct values
        SCOPED_TRACE(range);
        std::uniform_int_distribution<int32_t> value(0, range);
        THugeInteger array(16);
        std::vector<int32_t> expected;
        for (int i = 0; i < 20000; ++i) {
            expected.push_back(value(random));
            array.Add(expected.back());
        }
        array.Sort();
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Values(array), expected);
    }
}

TEST(THugeArray, InconsistentComparisonsStayInsideTheArray)
{
    const std::vector<int32_t> input{5, 3, 9, 1, 7, 2, 8};
    std::mt19937 random(7);
    const THugeCompare comparisons[] = {
        [](const void*, const void*) { return -1; },
        [](const void*, const void*) { return 1; },
        [&](const void*, const void*) { return static_cast<int>(random() % 3) - 1; },
    };
    for (const THugeCompare& compare : comparisons) {
        THugeInteger array(1);
        for (int32_t v : input)
            array.Add(v);
        array.THugeArray::Sort(compare);
        EXPECT_THAT(Values(array), UnorderedElementsAreArray(input));
    }
}

TEST(THugeArray, ExchangeSwapsOnlyItemsWhenObjectsIsShorter)
{
    int a = 0;
    int b = 0;
    THugeInteger array(4);
    array.AddObject(4, &a);
    array.AddObject(3, &b);
    array.Insert(2, 2); // items without objects
    array.Insert(1, 3);
    array.Sort();
    EXPECT_THAT(Values(array), ElementsAre(1, 2, 3, 4));
    EXPECT_EQ(array.Objects().size(), 2u);

    array.Exchange(0, 1);
    EXPECT_THAT(array.Objects(), ElementsAre(static_cast<void*>(&b), static_cast<void*>(&a)));
    array.Exchange(1, 4); // past Count: nothing to swap
    EXPECT_THAT(Values(array), ElementsAre(2, 1, 3, 4));
}

TEST(THuge2DVector, MoveItemPutsTheItemAtTheTargetIndex)
{
    const THuge2DVectorItem a{1, 1}, b{2, 2}, c{3, 3};
    struct Case {
        int32_t from;
        int32_t to;
        std::vector<THuge2DVectorItem> expected;
    };
    const Case cases[] = {
        {0, 2, {b, c, a}}, {2, 0, {c, a, b}},  {1, 1, {a, b, c}},
        {0, 3, {a, b, c}}, {-1, 0, {a, b, c}}, {3, 0, {a, b, c}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(std::to_string(t.from) + " -> " + std::to_string(t.to));
        THuge2DVector array(3);
        for (const auto& v : {a, b, c})
            array.Add(v);
        array.MoveItem(t.from, t.to);
        EXPECT_THAT(Values(array), ElementsAreArray(t.expected));
    }
}

TEST(THugeArray, AssignCopiesItemsAndObjectsAddFromAppendsItems)
{
    int marker = 0;
    THuge3DVector source(1);
    for (int i = 0; i < 30; ++i)
        source.AddObject(THuge3DVectorItem{i * 1.0, -i * 1.0, 0.25}, i % 2 ? &marker : nullptr);

    THuge3DVector copy(2);
    copy.Add(THuge3DVectorItem{9, 9, 9});
    copy.Assign(source);
    EXPECT_EQ(Values(copy), Values(source));
    EXPECT_EQ(copy.Objects(), source.Objects());
    EXPECT_GE(copy.Capacity(), 30);

    copy.AddFrom(source);
    EXPECT_EQ(copy.Count(), 60);
    EXPECT_EQ(copy.Get(59), source.Get(29));
    EXPECT_EQ(copy.Objects().size(), 60u);
    EXPECT_EQ(copy.Objects()[59], nullptr); // AddFrom adds items, not objects

    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 60);

    THugePoint points(4);
    points.Add(THugePointItem{1, 2});
    EXPECT_THROW(points.Assign(copy), EKorvelaError);
    EXPECT_THROW(points.AddFrom(copy), EKorvelaError);
    EXPECT_THAT(Values(points), ElementsAre(THugePointItem{1, 2}));
}

TEST(THugeArray, RecordArraysCopyItemsInAndOut)
{
    THugePoint points(1);
    points.Add(THugePointItem{1, -1});
    points.Insert(THugePointItem{std::numeric_limits<int32_t>::min(), 7}, 0);
    points.Put(1, THugePointItem{5, 6});
    THugePointItem out;
    points.Get(0, out);
    EXPECT_EQ(out, (THugePointItem{std::numeric_limits<int32_t>::min(), 7}));
    EXPECT_EQ(points.Get(1), (THugePointItem{5, 6}));

    THuge3DVector vectors(1);
    vectors.Add(THuge3DVectorItem{1.5, 2.5, 3.5});
    vectors.Put(0, THuge3DVectorItem{-1, 0, 1e-300});
    EXPECT_EQ(vectors.Get(0), (THuge3DVectorItem{-1, 0, 1e-300}));
    EXPECT_EQ(vectors.ByteSize(), vectors.Capacity() * 24);
}

TEST(THugeArray, ShrinkingBelowCountDropsTheItemsAbove)
{
    THugeInteger array(1);
    AddAll(array, {1, 2, 3, 4, 5});
    array.SetCapacity(2);
    EXPECT_EQ(array.Count(), 2);
    EXPECT_EQ(array.Capacity(), 2);
    EXPECT_EQ(array.Add(6), 2);
    EXPECT_THAT(Values(array), ElementsAre(1, 2, 6));
}

// A caller's own record type lives in the array as it is and is seen through Items() after
// every growth (the span is taken afresh, the block may have moved).
TEST(THugeArray, TypedItemsViewTheCallersOwnRecords)
{
    struct TFace {
        int32_t a, b, c;
    };
    THugeRecordArray<TFace> faces(1);
    for (int32_t i = 0; i < 100; ++i)
        faces.Add(TFace{i, i + 1, i + 2});
    ASSERT_EQ(faces.Items().size(), 100u);
    EXPECT_EQ(faces.Items()[99].c, 101);
    faces.Items()[0].b = -7;
    EXPECT_EQ(faces.Get(0).b, -7);

    THugeDouble values(4);
    for (double v : {3.0, 1.0, 2.0})
        values.Add(v);
    values.Sort();
    EXPECT_THAT(std::vector<double>(values.Items().begin(), values.Items().end()), ElementsAre(1.0, 2.0, 3.0));
}

} // namespace
} // namespace kv
