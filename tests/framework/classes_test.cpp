// Lists and string lists of the framework layer.
#include "framework/Fw_classes.h"
#include "tests/common/TestSupport.h"

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// Counts the destructions, so that a test sees which objects a list freed.
class TCounted : public TObject {
public:
    explicit TCounted(int& destroyed) : FDestroyed(destroyed) {}
    ~TCounted() override { ++FDestroyed; }

private:
    int& FDestroyed;
};

} // namespace

TEST(StringListText, SplitsLinesAtEveryKindOfBreak) {
    const struct {
        std::string text;
        Texts lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}}, // LF CR ends two lines
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"a\r\n\r\n", {"a", ""}},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}}, // the text ends at its first zero byte
        {std::string("\0a", 2), {}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetText(c.text);
        EXPECT_EQ(Lines(list), c.lines) << "text: " << ::testing::PrintToString(c.text);
    }
}

TEST(StringListText, JoinsEveryLineWithCrLf) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("a");
    list.Add("");
    list.Add("b");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringListSorted, DuplicatesFollowTheChosenRule) {
    const struct {
        TDuplicates duplicates;
        Texts expected;
        bool throws;
    } cases[] = {
        {dupIgnore, {"a", "B", "c"}, false},
        {dupAccept, {"a", "b", "B", "c"}, false}, // an equal string goes before the first match
        {dupError, {"a", "B", "c"}, true},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.SetDuplicates(c.duplicates);
        list.Add("c");
        list.Add("B");
        list.Add("a");
        if (c.throws) {
            EXPECT_THROW(list.Add("b"), EStringListError);
        } else
            list.Add("b");
        EXPECT_EQ(Lines(list), c.expected) << "duplicates rule " << c.duplicates;
    }
}

TEST(StringListSorted, FindGivesTheFirstMatchOrTheInsertionPoint) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const char* s : {"d", "b", "b", "b", "f"})
        list.Add(s);
    const struct {
        const char* s;
        bool found;
        int index;
    } cases[] = {{"a", false, 0}, {"b", true, 0},  {"B", true, 0}, {"c", false, 3},
                 {"d", true, 3},  {"e", false, 4}, {"f", true, 4}, {"g", false, 5}};
    for (const auto& c : cases) {
        int index = -1;
        EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
        EXPECT_EQ(index, c.index) << c.s;
    }
}

TEST(StringListSorted, CaseSensitivityDecidesWhatIsADuplicate) {
    TStringList list;
    list.SetSorted(true);
    list.Add("abc");
    EXPECT_EQ(list.Add("ABC"), 0);
    EXPECT_EQ(list.Count(), 1);
    list.SetCaseSensitive(true);
    list.Add("ABC");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf("ABC"), list.IndexOf("ABC"));
    EXPECT_NE(list.IndexOf("abc"), list.IndexOf("ABC"));
}

TEST(StringListSorted, RefusesPositionalChanges) {
    TStringList list;
    list.Add("b");
    list.Add("a");
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (Texts{"a", "b"}));
    EXPECT_THROW(list.Insert(0, "z"), EStringListError);
    EXPECT_THROW(list.Put(0, "z"), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);
    EXPECT_EQ(Lines(list), (Texts{"a", "b"}));
}

TEST(StringListSorted, ADerivedComparisonOrdersTheList) {
    // Longest first: the list uses the derived class's comparison throughout.
    class TByLength : public TStringList {
    public:
        int CompareStrings(const std::string& a, const std::string& b) const override {
            return static_cast<int>(b.size()) - static_cast<int>(a.size());
        }
    } list;
    list.SetSorted(true);
    for (const char* s : {"bb", "a", "cccc", "ddd", "ee"})
        list.Add(s);
    EXPECT_EQ(Lines(list), (Texts{"cccc", "ddd", "bb", "a"})); // "ee" is a duplicate of "bb"
    EXPECT_EQ(list.IndexOf("zz"), 2);
}

TEST(StringList, IndexErrorsNameTheIndex) {
    TStringList list;
    list.Add("a");
    for (int index : {-1, 1, 5}) {
        try {
            (void)list.Strings(index);
            ADD_FAILURE() << "no error for index " << index;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), Format("List index out of bounds (%d).", index));
        }
    }
    EXPECT_THROW(list.Delete(1), EStringListError);
    EXPECT_THROW(list.Insert(2, "x"), EStringListError);
    EXPECT_EQ(list.Count(), 1);
}

TEST(StringList, MoveExchangeAndObjectsTravelTogether) {
    TStringList list;
    int destroyed = 0;
    TCounted a(destroyed), b(destroyed), c(destroyed);
    list.AddObject("a", &a);
    list.AddObject("b", &b);
    list.AddObject("c", &c);
    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (Texts{"b", "c", "a"}));
    EXPECT_EQ(list.Objects(2), &a);
    list.Exchange(0, 1);
    EXPECT_EQ(Lines(list), (Texts{"c", "b", "a"}));
    EXPECT_EQ(list.Objects(0), &c);
    EXPECT_EQ(list.IndexOfObject(&b), 1);
    EXPECT_EQ(list.IndexOfObject(nullptr), -1);
    list.Clear();
    EXPECT_EQ(destroyed, 0); // a string list never owns its objects
}

TEST(StringList, CapacityGrowsAndNeverDropsBelowTheCount) {
    TStringList list;
    list.SetCapacity(100);
    EXPECT_GE(list.Capacity(), 100);
    list.Add("a");
    list.Add("b");
    EXPECT_THROW(list.SetCapacity(1), EStringListError);
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListDelimited, CommaTextRoundTrips) {
    const struct {
        Texts items;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{"a", "b"}, "a,b"},
        {{"-5", "7"}, "-5,7"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"say \"hi\"", ""}, "\"say \"\"hi\"\"\","},
        {{"x,y"}, "\"x,y\""},
    };
    for (const auto& c : cases) {
        TStringList list;
        for (const auto& s : c.items)
            list.Add(s);
        EXPECT_EQ(list.CommaText(), c.text);
        TStringList parsed;
        parsed.SetCommaText(c.text);
        EXPECT_EQ(Lines(parsed), c.items) << c.text;
    }
}

TEST(StringListDelimited, ParsingSkipsBlanksUnlessStrict) {
    TStringList list;
    list.SetCommaText("  a , b c,,d,");
    EXPECT_EQ(Lines(list), (Texts{"a", "b", "c", "", "d", ""}));
    list.SetStrictDelimiter(true);
    list.SetDelimiter(';');
    list.SetDelimitedText(" a ;b c");
    EXPECT_EQ(Lines(list), (Texts{" a ", "b c"}));
}

TEST(List, MoveAndExchangeReorderPointers) {
    int values[5] = {0, 1, 2, 3, 4};
    const struct {
        int from, to;
        std::vector<int> expected;
    } cases[] = {
        {0, 4, {1, 2, 3, 4, 0}},
        {4, 0, {4, 0, 1, 2, 3}},
        {1, 3, {0, 2, 3, 1, 4}},
        {2, 2, {0, 1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        TList list;
        for (int& v : values)
            list.Add(&v);
        list.Move(c.from, c.to);
        std::vector<int> got;
        for (int i = 0; i < list.Count(); ++i)
            got.push_back(*static_cast<int*>(list.Items(i)));
        EXPECT_EQ(got, c.expected) << c.from << "->" << c.to;
    }
    TList list;
    list.Add(&values[0]);
    EXPECT_THROW(list.Move(0, 1), EListError);
    EXPECT_THROW(list.Exchange(0, -1), EListError);
    EXPECT_THROW(list.Items(1), EListError);
}

TEST(List, SortIsStable) {
    struct TPair {
        int key, order;
    };
    std::vector<TPair> pairs;
    for (int i = 0; i < 200; ++i)
        pairs.push_back({(i * 7) % 5, i});
    TList list;
    for (auto& p : pairs)
        list.Add(&p);
    list.Sort([](void* a, void* b) { return static_cast<TPair*>(a)->key - static_cast<TPair*>(b)->key; });
    for (int i = 1; i < list.Count(); ++i) {
        const auto* prev = static_cast<TPair*>(list.Items(i - 1));
        const auto* cur = static_cast<TPair*>(list.Items(i));
        ASSERT_TRUE(prev->key < cur->key || (prev->key == cur->key && prev->order < cur->order)) << i;
    }
}

TEST(ObjectList, FreesWhatItDeletesWhileItOwns) {
    int destroyed = 0;
    {
        TObjectList list;
        auto* kept = new TCounted(destroyed);
        list.Add(new TCounted(destroyed));
        list.Add(kept);
        list.Add(new TCounted(destroyed));
        list.Delete(0);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(list.Extract(kept), kept);
        EXPECT_EQ(destroyed, 1);
        delete kept;
        EXPECT_EQ(destroyed, 2);
        list.Put(0, new TCounted(destroyed)); // replacing frees the old object
        EXPECT_EQ(destroyed, 3);
        list.SetOwnsObjects(false);
        TCounted* survivor = static_cast<TCounted*>(list.Items(0));
        list.Clear();
        EXPECT_EQ(destroyed, 3);
        delete survivor;
        list.SetOwnsObjects(true);
        list.Add(new TCounted(destroyed));
        list.Add(new TCounted(destroyed));
        EXPECT_EQ(destroyed, 4);
    }
    EXPECT_EQ(destroyed, 6); // the destructor frees the owned objects
}

TEST(StrToInt, AcceptsIntegersAndRejectsTheRest) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"-5", true, -5},
        {"+7", true, 7},
        {" 42 ", true, 42},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"$FF", true, 255},
        {"0x10", true, 16},
        {"", false, 0},
        {"-", false, 0},
        {"1.5", false, 0},
        {"12a", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        int value = -999;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(value, -999) << c.text;
        }
    }
    try {
        StrToInt("x1");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid integer value.");
    }
}

TEST(Exceptions, AbortIsAnExceptionWithAMessage) {
    try {
        Abort();
    } catch (const Exception& e) {
        EXPECT_NE(dynamic_cast<const EAbort*>(&e), nullptr);
        EXPECT_FALSE(e.Message().empty());
    }
}

TEST(List, AnyMixOfOperationsKeepsTheOrderOfAReferenceVector) {
    // Taking items off the front is cheap; the order must not notice.
    std::vector<int> storage(5000);
    std::vector<void*> reference;
    TList list;
    std::mt19937 random(42);
    for (int step = 0; step < 20000; ++step) {
        const int count = static_cast<int>(reference.size());
        void* item = &storage[static_cast<size_t>(step % 5000)];
        switch (random() % 8) {
        case 0:
        case 1:
            list.Add(item);
            reference.push_back(item);
            break;
        case 2: {
            const int index = random() % 3 == 0 ? 0 : static_cast<int>(random() % (count + 1));
            list.Insert(index, item);
            reference.insert(reference.begin() + index, item);
            break;
        }
        case 3:
        case 4:
            if (count > 0) {
                ASSERT_EQ(list.ExtractAt(0), reference.front());
                reference.erase(reference.begin());
            }
            break;
        case 5:
            if (count > 0) {
                const int index = static_cast<int>(random() % count);
                list.Delete(index);
                reference.erase(reference.begin() + index);
            }
            break;
        case 6:
            if (count > 1) {
                const int from = static_cast<int>(random() % count);
                const int to = static_cast<int>(random() % count);
                list.Move(from, to);
                void* moved = reference[static_cast<size_t>(from)];
                reference.erase(reference.begin() + from);
                reference.insert(reference.begin() + to, moved);
            }
            break;
        case 7:
            if (count > 0) {
                const int index = static_cast<int>(random() % count);
                ASSERT_EQ(list.IndexOf(reference[static_cast<size_t>(index)]),
                          static_cast<int>(std::find(reference.begin(), reference.end(),
                                                     reference[static_cast<size_t>(index)]) -
                                           reference.begin()));
            }
            break;
        }
        ASSERT_EQ(list.Count(), static_cast<int>(reference.size())) << "step " << step;
        if (step % 500 == 0 || reference.size() < 3) {
            for (int i = 0; i < list.Count(); ++i)
                ASSERT_EQ(list.Items(i), reference[static_cast<size_t>(i)]) << "step " << step << " index " << i;
            ASSERT_TRUE(list.Count() == 0 || list.List()[0] == reference.front());
        }
    }
}
