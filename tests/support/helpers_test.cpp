// Auto pointers, list helpers, point and rectangle values, and the settings
// section names.
#include "support/Vek_autopointer.h"
#include "support/Vek_inifile.h"
#include "support/Vek_list.h"
#include "support/Vek_rect.h"
#include "tests/common/TestSupport.h"

#include <vector>

namespace {

class TCounted : public TObject {
public:
    explicit TCounted(int& destroyed, int value = 0) : Value(value), FDestroyed(destroyed) {}
    ~TCounted() override { ++FDestroyed; }
    int Value;

private:
    int& FDestroyed;
};

std::vector<int> Values(const TList& list) {
    std::vector<int> values;
    for (int i = 0; i < list.Count(); ++i)
        values.push_back(static_cast<TCounted*>(list.Items(i))->Value);
    return values;
}

// Fills an owning list with objects 0 .. count-1.
void Fill(TObjectList& list, int& destroyed, int count) {
    for (int i = 0; i < count; ++i)
        list.Add(new TCounted(destroyed, i));
}

std::string Text(const RECT& r) {
    return TRectHelper(r).ToText();
}

} // namespace

TEST(AutoPointer, FreesUnlessReleased) {
    int destroyed = 0;
    {
        TAutoPointer<TCounted> owner(new TCounted(destroyed, 7));
        EXPECT_EQ(owner->Value, 7);
    }
    EXPECT_EQ(destroyed, 1);
    TCounted* kept;
    {
        TAutoPointer<TCounted> owner(new TCounted(destroyed));
        kept = owner.Release();
        EXPECT_EQ(owner.Get(), nullptr);
    }
    EXPECT_EQ(destroyed, 1);
    delete kept;
    {
        TAutoPointer<TCounted> empty;
        EXPECT_FALSE(empty);
    }
    // An exception between creation and hand-over frees the object.
    try {
        TAutoPointer<TCounted> owner(new TCounted(destroyed));
        throw Exception("step failed");
    } catch (const Exception&) {
    }
    EXPECT_EQ(destroyed, 3);
    {
        TAutoArray<char> buffer(new char[4]{'a', 'b', 'c', 0});
        EXPECT_EQ(buffer[1], 'b');
    }
    static_assert(!std::is_copy_constructible_v<TAutoPointer<TCounted>>);
    static_assert(!std::is_copy_assignable_v<TAutoArray<unsigned short>>);
}

TEST(ListHelper, ReorderExtractAndReplace) {
    int destroyed = 0;
    const struct {
        int count;
        std::vector<int> reversed;
    } reverseCases[] = {{0, {}}, {1, {0}}, {4, {3, 2, 1, 0}}, {5, {4, 3, 2, 1, 0}}};
    for (const auto& c : reverseCases) {
        TObjectList list;
        Fill(list, destroyed, c.count);
        TListHelper(list).Reverse();
        EXPECT_EQ(Values(list), c.reversed) << c.count;
    }

    TObjectList list;
    Fill(list, destroyed, 4);
    const int before = destroyed;
    TObjectListHelper helper(list);
    TAutoPointer<TObject> first(helper.ExtractFirstObject());
    TAutoPointer<TObject> last(helper.ExtractLastObject());
    TAutoPointer<TObject> middle(helper.ExtractObject(1));
    EXPECT_EQ(destroyed, before); // extracted objects stay alive
    EXPECT_EQ(Values(list), std::vector<int>{1});
    EXPECT_EQ(static_cast<TCounted*>(middle.Get())->Value, 2);
    TAutoPointer<TObject> replaced(helper.ReplaceObject(0, new TCounted(destroyed, 9)));
    EXPECT_EQ(destroyed, before);
    EXPECT_EQ(Values(list), std::vector<int>{9});
    EXPECT_TRUE(list.OwnsObjects()); // ownership is back on after each operation
    EXPECT_THROW(helper.ExtractObject(5), EListError);
    EXPECT_TRUE(list.OwnsObjects());
}

TEST(ListHelper, AddSwapAndCapacity) {
    int destroyed = 0;
    TObjectList a, b;
    Fill(a, destroyed, 2);
    Fill(b, destroyed, 3);
    TObjectListHelper(a).SwapObjects(b);
    EXPECT_EQ(Values(a), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Values(b), (std::vector<int>{0, 1}));
    EXPECT_EQ(destroyed, 0);

    TList plain;
    TListHelper(plain).AddList(a);
    TListHelper(plain).AddList(b);
    EXPECT_EQ(Values(plain), (std::vector<int>{0, 1, 2, 0, 1}));
    TListHelper(plain).EnsureCapacity(100);
    EXPECT_GE(plain.Capacity(), 100);
    TListHelper(plain).EnsureCapacity(10);
    EXPECT_GE(plain.Capacity(), 100);
}

TEST(ListHelper, ClearChoosesWhetherObjectsAreFreed) {
    int destroyed = 0;
    TObjectList list;
    std::vector<TCounted*> kept;
    for (int i = 0; i < 3; ++i) {
        kept.push_back(new TCounted(destroyed, i));
        list.Add(kept.back());
    }
    TObjectListHelper(list).Clear(false);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(destroyed, 0);
    EXPECT_TRUE(list.OwnsObjects());
    for (TCounted* object : kept)
        delete object;
    Fill(list, destroyed, 2); // still owned
    TObjectListHelper(list).Clear(true);
    EXPECT_EQ(destroyed, 5);

    TObjectList notOwning(false);
    Fill(notOwning, destroyed, 1);
    TObjectListHelper(notOwning).Clear(true);
    EXPECT_EQ(destroyed, 6);
    EXPECT_FALSE(notOwning.OwnsObjects());
}

TEST(StringsHelper, ExtractReplaceSearchAndReverse) {
    TStringList list;
    list.SetCommaText("a,B,c,d,e");
    TStringsHelper helper(list);
    EXPECT_EQ(helper.ExtractFirst(), "a");
    EXPECT_EQ(helper.ExtractLast(), "e");
    EXPECT_EQ(helper.Extract(1), "c");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"B", "d"}));
    EXPECT_EQ(helper.Replace(1, "x"), "d");
    int destroyed = 0;
    TCounted object(destroyed);
    EXPECT_EQ(helper.ReplaceObject(0, &object), nullptr);
    EXPECT_EQ(helper.ReplaceObject(0, nullptr), &object);
    EXPECT_EQ(helper.IndexOf("b"), 0); // the list's own comparison: case-insensitive here
    EXPECT_EQ(helper.IndexOf("y"), -1);
    list.SetCommaText("1,2,3");
    helper.Reverse();
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"3", "2", "1"}));
    list.PutObject(1, &object);
    EXPECT_EQ(helper.IndexOfObject(&object), 1);
    EXPECT_EQ(helper.IndexOfObject(nullptr), 0);

    TStringList other;
    other.Add("z");
    helper.SwapContents(other);
    EXPECT_EQ(Lines(list), std::vector<std::string>{"z"});
    EXPECT_EQ(Lines(other), (std::vector<std::string>{"3", "2", "1"}));
}

TEST(StringListHelper, AddIfNewTellsDuplicates) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupIgnore);
    TStringListHelper helper(list);
    EXPECT_TRUE(helper.AddIfNew("b"));
    EXPECT_FALSE(helper.AddIfNew("b"));
    EXPECT_FALSE(helper.AddIfNew("B"));
    EXPECT_TRUE(helper.AddIfNew("a"));
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(helper.IndexOf("B"), 1);
    EXPECT_EQ(helper.IndexOf("c"), -1);
}

TEST(PointHelper, PacksAndPrints) {
    const struct {
        LONG x, y;
        std::uint32_t packed;
        LONG unpackedX, unpackedY;
        std::string text;
    } cases[] = {
        {0, 0, 0x00000000u, 0, 0, "0,0"},
        {-5, 7, 0x0007FFFBu, -5, 7, "-5,7"},
        {1, -1, 0xFFFF0001u, 1, -1, "1,-1"},
        {70000, 2, 0x00021170u, 4464, 2, "70000,2"}, // cut to 16 bits
        {32768, 0, 0x00008000u, -32768, 0, "32768,0"},
    };
    for (const auto& c : cases) {
        TPointHelper point(c.x, c.y);
        EXPECT_EQ(point.ToPoints(), c.packed) << c.text;
        EXPECT_EQ(point.ToSmallPoint(), c.packed) << c.text;
        EXPECT_EQ(point.ToText(), c.text);
        TPointHelper unpacked;
        unpacked.FromPoints(c.packed);
        EXPECT_EQ(unpacked.GetPoint().x, c.unpackedX) << c.text;
        EXPECT_EQ(unpacked.GetPoint().y, c.unpackedY) << c.text;
        TPointHelper parsed;
        parsed.FromText(c.text);
        EXPECT_EQ(parsed.GetPoint().x, c.x);
        EXPECT_EQ(parsed.GetPoint().y, c.y);
    }
    TPointHelper point(1, 2);
    point.Offset(10, 20);
    EXPECT_EQ(point.ToText(), "11,22");
}

TEST(PointHelper, BadTextKeepsThePoint) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"5", "List index out of bounds (1)."},
        {"", "List index out of bounds (0)."},
        {"a,2", "'a' is not a valid integer value."},
        {"1,2.5", "'2.5' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        TPointHelper point(3, 4);
        try {
            point.FromText(c.text);
            ADD_FAILURE() << c.text;
        } catch (const ERectError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(point.ToText(), "3,4");
    }
}

TEST(RectHelper, TextRoundTripAndBadText) {
    TRectHelper rect(1, -2, 30, 40);
    EXPECT_EQ(rect.ToText(), "1,-2,30,40");
    TRectHelper parsed;
    parsed.FromText(" 1, -2 ,30,40");
    EXPECT_EQ(parsed.ToText(), "1,-2,30,40");
    try {
        parsed.FromText("5,6,7");
        ADD_FAILURE();
    } catch (const ERectError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (3).");
    }
    EXPECT_EQ(parsed.ToText(), "1,-2,30,40");
}

TEST(RectHelper, Operations) {
    const RECT base{10, 10, 20, 20};
    TRectHelper r(base);
    r.Inflate(2, 3);
    EXPECT_EQ(Text(r.GetRect()), "8,7,22,23");
    r.SetRect(base);
    r.Offset(-10, 5);
    EXPECT_EQ(Text(r.GetRect()), "0,15,10,25");
    r.SetRect(base);
    r.Union(RECT{15, 15, 30, 25});
    EXPECT_EQ(Text(r.GetRect()), "10,10,30,25");
    r.SetRect(base);
    r.Intersect(RECT{15, 0, 30, 12});
    EXPECT_EQ(Text(r.GetRect()), "15,10,20,12");
    r.SetRect(base);
    r.Intersect(RECT{50, 50, 60, 60}); // no overlap: empty, and no error
    EXPECT_TRUE(r.IsEmpty());
    r.SetRect(base);
    r.Subtract(RECT{15, 0, 30, 30}); // cuts off the right half
    EXPECT_EQ(Text(r.GetRect()), "10,10,15,20");
    r.SetRect(base);
    r.SetEmpty();
    EXPECT_EQ(Text(r.GetRect()), "0,0,0,0");
    EXPECT_TRUE(r.IsEmpty());
}

TEST(RectHelper, SubtractingEverythingFailsAndKeepsTheRectangle) {
    TRectHelper r(10, 10, 20, 20);
    try {
        r.Subtract(RECT{0, 0, 30, 30});
        ADD_FAILURE();
    } catch (const ERectError& e) {
        EXPECT_EQ(e.Message(), "The program could not edit a rectangle.");
    }
    EXPECT_EQ(r.ToText(), "10,10,20,20");
}

TEST(RectHelper, ContainsAndIntersects) {
    const TRectHelper r(10, 10, 20, 20);
    const struct {
        LONG x, y;
        bool inside;
    } points[] = {{10, 10, true}, {19, 19, true}, {20, 15, false}, {15, 20, false}, {9, 15, false}};
    for (const auto& p : points)
        EXPECT_EQ(r.Contains(POINT{p.x, p.y}), p.inside) << p.x << "," << p.y;
    EXPECT_TRUE(r.Intersects(RECT{19, 19, 25, 25}));
    EXPECT_FALSE(r.Intersects(RECT{20, 20, 25, 25}));
    EXPECT_EQ(r.ToText(), "10,10,20,20"); // computed on a copy
    EXPECT_FALSE(r.IsEmpty());
    EXPECT_TRUE(TRectHelper(5, 5, 5, 9).IsEmpty());
}

TEST(IniSection, JoinsThePartsWithCommas) {
    const struct {
        std::vector<std::string> pushed;
        int pops;
        const char* expected;
    } cases[] = {
        {{}, 0, ""},
        {{"System"}, 0, "System"},
        {{"MainForm", "ViewHandler"}, 0, "MainForm,ViewHandler"},
        {{"MainForm", "ViewHandler"}, 1, "MainForm"},
        {{"A", "B", "C"}, 1, "A,B"},
        {{"A", "B", "C"}, 3, ""},
        {{"MainForm", "ViewHandler", "ListView", "Column", "0"}, 0, "MainForm,ViewHandler,ListView,Column,0"},
        {{"a b", "", "c\"d"}, 0, "a b,,c\"d"}, // parts are used as they are
    };
    for (const auto& c : cases) {
        TIniSection section;
        for (const std::string& part : c.pushed)
            section.Push(part);
        for (int i = 0; i < c.pops; ++i)
            section.Pop();
        EXPECT_EQ(section.GetSectionName(), c.expected)
            << testing::PrintToString(c.pushed) << " pops " << c.pops;
    }
}

TEST(IniSection, PopOnAnEmptyStackIsAnIndexError) {
    TIniSection section;
    EXPECT_THROW(section.Pop(), EStringListError);
    section.Push("A");
    section.Pop();
    EXPECT_THROW(section.Pop(), EStringListError);
    EXPECT_EQ(section.GetSectionName(), "");
}
