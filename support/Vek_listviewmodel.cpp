#include "support/Vek_listviewmodel.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

constexpr int kFocused = LVIS_FOCUSED;
constexpr int kSelected = LVIS_SELECTED;
// The state bits exchanged with the control: focused, selected, cut, drop-highlighted.
constexpr int kStateMask = 0xF;

[[noreturn]] void IndexError(int index) {
    throw EListError(Format("List index out of bounds (%d).", index));
}

TListViewModelEntry* EntryAt(void* const* list, int index) {
    return static_cast<TListViewModelEntry*>(static_cast<TObject*>(list[index]));
}

int ViewCount(HWND listView) {
    return static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
}

int ViewState(HWND listView, int index) {
    return static_cast<int>(SendMessageA(listView, LVM_GETITEMSTATE, static_cast<WPARAM>(index), kStateMask));
}

// The state bits that the control itself answers for. An owner-data control
// keeps only focus and selection and asks its parent for the bits of its
// callback mask; the other bits it reports mean nothing (Wine even leaves
// them undefined), and writing them changes nothing in it.
int HeldStateMask(HWND listView) {
    if (!(GetWindowLongPtrA(listView, GWL_STYLE) & LVS_OWNERDATA))
        return kStateMask;
    const int callback = static_cast<int>(SendMessageA(listView, LVM_GETCALLBACKMASK, 0, 0));
    return kFocused | kSelected | (callback & kStateMask);
}

// Every row's state bits that the mask names, as the control holds them.
std::vector<unsigned char> HeldStates(HWND listView, int count, int mask) {
    std::vector<unsigned char> held(static_cast<size_t>(count));
    if (mask == (kFocused | kSelected)) {
        // Ask for the selected rows one after the other, and for the focused
        // row, rather than for each row's state: one message per selected row
        // instead of one per row, and none when no row or every row is selected.
        const int selected = static_cast<int>(SendMessageA(listView, LVM_GETSELECTEDCOUNT, 0, 0));
        if (selected >= count)
            std::fill(held.begin(), held.end(), static_cast<unsigned char>(kSelected));
        int row = selected > 0 && selected < count ? -1 : count;
        while (row < count) {
            const int next = static_cast<int>(SendMessageA(
                listView, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0)));
            if (next <= row || next >= count)
                break;
            held[static_cast<size_t>(next)] |= kSelected;
            row = next;
        }
        const int focus = static_cast<int>(
            SendMessageA(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
        if (focus >= 0 && focus < count)
            held[static_cast<size_t>(focus)] |= kFocused;
        return held;
    }
    for (int i = 0; i < count; ++i)
        held[static_cast<size_t>(i)] = static_cast<unsigned char>(ViewState(listView, i) & mask);
    return held;
}

// Index -1 sets the bits of every row in one message.
void SetViewState(HWND listView, int index, int state, int mask) {
    LVITEMA item = {};
    item.stateMask = static_cast<UINT>(mask);
    item.state = static_cast<UINT>(state);
    SendMessageA(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// Suspends the control's drawing for its lifetime, and has it drawn afresh at the end.
class TViewUpdate {
public:
    explicit TViewUpdate(HWND listView) : FListView(listView) {
        SendMessageA(FListView, WM_SETREDRAW, FALSE, 0);
    }
    TViewUpdate(const TViewUpdate&) = delete;
    TViewUpdate& operator=(const TViewUpdate&) = delete;
    ~TViewUpdate() {
        SendMessageA(FListView, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FListView, nullptr, FALSE);
    }

private:
    HWND FListView;
};

// Where the row at "index" goes when the rows at a and b change places.
int ExchangedIndex(int index, int a, int b) {
    return index == a ? b : index == b ? a : index;
}

// Where the row at "index" goes when rows move from "from" to
// "to" with the rows between shifting by one.
int MovedIndex(int index, int from, int to) {
    if (index < std::min(from, to) || index > std::max(from, to))
        return index;
    if (index == from)
        return to;
    return from > to ? index + 1 : index - 1;
}

// A row in a sort by byte keys, with the eight key bytes that the current
// pass compares.
struct TKeyedRow {
    std::uint64_t Word = 0; // eight key bytes from the pass's depth, big-endian, zero-padded
    std::uint32_t Rest = 0; // the key's bytes from that depth: 0 to 8, or 9 for more than 8
    std::int32_t Row = 0;
};

// Sorts rows by their keys (the key of row r is arena[offsets[r], offsets[r + 1])),
// ascending in memcmp order (a key before every longer key that starts with
// it), ties in row order. Comparing eight bytes at a time as one integer, and
// only the runs that agree so far by their next eight bytes, costs far less
// than comparing whole keys that share long prefixes, as names do.
void SortKeyedRows(TKeyedRow* first, TKeyedRow* last, const std::string& arena,
                   const std::vector<size_t>& offsets, size_t depth) {
    for (TKeyedRow* row = first; row != last; ++row) {
        const size_t begin = offsets[static_cast<size_t>(row->Row)] + depth;
        const size_t size = offsets[static_cast<size_t>(row->Row) + 1] - begin;
        std::uint64_t word = 0;
        for (size_t j = 0; j < 8; ++j)
            word = (word << 8) | (j < size ? static_cast<unsigned char>(arena[begin + j]) : 0u);
        row->Word = word;
        row->Rest = static_cast<std::uint32_t>(std::min<size_t>(size, 9));
    }
    std::sort(first, last, [](const TKeyedRow& a, const TKeyedRow& b) {
        if (a.Word != b.Word)
            return a.Word < b.Word;
        if (a.Rest != b.Rest)
            return a.Rest < b.Rest;
        return a.Row < b.Row;
    });
    for (TKeyedRow* run = first; run != last;) {
        TKeyedRow* end = run + 1;
        while (end != last && end->Word == run->Word && end->Rest == run->Rest)
            ++end;
        if (run->Rest > 8 && end - run > 1)
            SortKeyedRows(run, end, arena, offsets, depth + 8);
        run = end;
    }
}

} // namespace

// ---------------------------------------------------------------- TListViewModelItem

void* TListViewModelItem::GetData() const {
    return FData->Model->Entry(FIndex)->Data;
}

void TListViewModelItem::SetData(void* data) {
    FData->Model->SetEntryData(FIndex, data);
}

int TListViewModelItem::GetState() const {
    return FData->Model->Entry(FIndex)->State;
}

void TListViewModelItem::SetState(int state) {
    FData->Model->SetEntryState(FIndex, state);
}

bool TListViewModelItem::GetSelected() const {
    return (GetState() & kSelected) != 0;
}

void TListViewModelItem::SetSelected(bool selected) {
    const int state = GetState();
    SetState(selected ? state | kSelected : state & ~kSelected);
}

// ---------------------------------------------------------------- TListViewModel

TListViewModel::TListViewModel(HWND listView)
    : FListView(listView), FData(std::make_unique<TListViewModelData>(this)),
      FItem(std::make_unique<TListViewModelItem>(FData.get())) {}

TListViewModel::~TListViewModel() = default;

TListViewModelEntry* TListViewModel::Entry(int index) const {
    if (index >= FDeleted.First())
        TakeOutDeleted();
    return static_cast<TListViewModelEntry*>(FData->Entries.Items(index));
}

// ---------------------------------------------------------------- deleted rows

void TListViewModel::TDeletedRows::Mark(int row, int rows) {
    if (FCount == 0)
        FMarks.assign(static_cast<size_t>(rows), 0);
    FMarks[static_cast<size_t>(row)] = 1;
    ++FCount;
    FFirst = std::min(FFirst, row);
    if (!FTree.empty())
        for (size_t i = static_cast<size_t>(row) + 1; i < FTree.size(); i += i & (~i + 1))
            ++FTree[i];
}

int TListViewModel::TDeletedRows::Before(int row) const {
    if (FCount == 0 || row <= FFirst)
        return 0;
    if (FTree.empty()) {
        // Built at the first question, in one pass: deleting rows by index
        // from the last up never asks.
        FTree.assign(FMarks.size() + 1, 0);
        for (size_t i = 1; i < FTree.size(); ++i) {
            FTree[i] += FMarks[i - 1];
            const size_t parent = i + (i & (~i + 1));
            if (parent < FTree.size())
                FTree[parent] += FTree[i];
        }
    }
    int count = 0;
    for (size_t i = static_cast<size_t>(row); i > 0; i -= i & (~i + 1))
        count += FTree[i];
    return count;
}

void TListViewModel::TDeletedRows::Clear() {
    // Both keep their memory for the next batch.
    FMarks.clear();
    FTree.clear();
    FCount = 0;
    FFirst = INT_MAX;
}

void TListViewModel::BeginBatch() {
    ++FBatchDepth;
}

void TListViewModel::EndBatch() {
    if (FBatchDepth > 0 && --FBatchDepth == 0)
        TakeOutDeleted();
}

bool TListViewModel::Defers() const {
    return FBatchDepth > 0 && !OnBeforeDelete && !OnAfterDelete;
}

void TListViewModel::MarkDeleted(int row) {
    const TListViewModelEntry* entry = EntryAt(FData->Entries.List(), row);
    if (entry->State & kSelected)
        --FData->SelectedCount;
    ForgetData(entry->Data);
    FDeleted.Mark(row, FData->Entries.Count());
}

void TListViewModel::TakeOutDeleted() const {
    if (FDeleted.Count() == 0)
        return;
    TListViewModelData& d = *FData;
    void** list = d.Entries.List();
    const int rows = d.Entries.Count();
    const int first = FDeleted.First();
    // Deleting rows one at a time passes the focus of a deleted row on to the
    // next row that stays, or to the last one that stays when none follows;
    // a selected index on a deleted row is lost. The others move up.
    const int focus = d.FocusIndex;
    const int selected = d.SelectedIndex;
    const bool focusDeleted = FDeleted.Marked(focus);
    int newFocus = focus < first ? focus : -1;
    int newSelected = selected < first ? selected : -1;
    int kept = first;
    for (int row = first; row < rows; ++row) {
        if (FDeleted.Marked(row)) {
            delete EntryAt(list, row);
            continue;
        }
        if (row == focus || (focusDeleted && row > focus && newFocus < 0))
            newFocus = kept;
        if (row == selected)
            newSelected = kept;
        list[kept++] = list[row];
    }
    if (focusDeleted && newFocus < 0)
        newFocus = kept - 1;
    // The slots after the rows left hold nothing to free.
    for (int row = kept; row < rows; ++row)
        list[row] = nullptr;
    d.Entries.SetCount(kept);
    FDeleted.Clear();
    RowsMovedFrom(first);
    d.FocusIndex = newFocus;
    if (newFocus >= 0)
        EntryAt(d.Entries.List(), newFocus)->State |= kFocused;
    d.SelectedIndex = newSelected;
    if (newSelected >= 0)
        EntryAt(d.Entries.List(), newSelected)->State |= kSelected;
}

// ---------------------------------------------------------------- data rows

size_t TListViewModel::TDataRows::Home(const void* data) const {
    // Fibonacci hashing: pointers differ mostly in their middle bits.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(data));
    return static_cast<size_t>((bits * 0x9E3779B97F4A7C15ull) >> (64 - FBits));
}

TListViewModel::TDataRows::TRows* TListViewModel::TDataRows::Find(const void* data) {
    if (FUsed == 0)
        return nullptr;
    const size_t mask = FSlots.size() - 1;
    for (size_t i = Home(data);; i = (i + 1) & mask) {
        if (FSlots[i].Data == data)
            return &FSlots[i];
        if (!FSlots[i].Data)
            return nullptr;
    }
}

TListViewModel::TDataRows::TRows& TListViewModel::TDataRows::Add(const void* data) {
    if (TRows* found = Find(data))
        return *found;
    if ((FUsed + 1) * 2 > FSlots.size()) {
        std::vector<TRows> old(size_t{1} << (FBits + 1 < 4 ? 4 : FBits + 1));
        old.swap(FSlots);
        FBits = 0;
        while ((size_t{1} << FBits) < FSlots.size())
            ++FBits;
        const size_t mask = FSlots.size() - 1;
        for (const TRows& rows : old) {
            if (!rows.Data)
                continue;
            size_t i = Home(rows.Data);
            while (FSlots[i].Data)
                i = (i + 1) & mask;
            FSlots[i] = rows;
        }
    }
    const size_t mask = FSlots.size() - 1;
    size_t i = Home(data);
    while (FSlots[i].Data)
        i = (i + 1) & mask;
    FSlots[i] = TRows{data, 0, -1};
    ++FUsed;
    return FSlots[i];
}

void TListViewModel::TDataRows::Erase(TRows* rows) {
    // Linear probing without tombstones: the slots after the freed one move
    // back into it where their search would otherwise stop too early.
    const size_t mask = FSlots.size() - 1;
    size_t hole = static_cast<size_t>(rows - FSlots.data());
    FSlots[hole] = TRows();
    --FUsed;
    for (size_t j = (hole + 1) & mask; FSlots[j].Data; j = (j + 1) & mask) {
        const size_t home = Home(FSlots[j].Data);
        if (((j - home) & mask) >= ((j - hole) & mask)) {
            FSlots[hole] = FSlots[j];
            FSlots[j] = TRows();
            hole = j;
        }
    }
}

void TListViewModel::RowsMovedFrom(int place) const {
    FHintedPlaces = std::min(FHintedPlaces, place);
}

TListViewModelItem* TListViewModel::Items(int index) {
    FItem->FIndex = index;
    return FItem.get();
}

void TListViewModel::SetCount(int count) {
    TakeOutDeleted();
    if (count < 0)
        throw EListError(Format("List count out of bounds (%d).", count));
    FData->Entries.SetCapacity(std::max(count, FData->Entries.Capacity()));
    while (Count() < count)
        Add();
    while (Count() > count)
        Delete(Count() - 1);
}

void TListViewModel::SetMultiSelect(bool value) {
    TakeOutDeleted();
    if (FData->MultiSelect == value)
        return;
    FData->MultiSelect = value;
    DeselectAll();
    // Multi-selection mode keeps no selected index; one left from single
    // mode would name a row that is no longer selected.
    FData->SelectedIndex = -1;
}

void TListViewModel::SetEntryData(int index, void* data) {
    TakeOutDeleted();
    TListViewModelEntry* entry = Entry(index);
    if (entry->Data == data)
        return;
    if (data) {
        TDataRows::TRows& rows = FDataRows.Add(data);
        ++rows.Count;
        rows.Hint = index;
    }
    ForgetData(entry->Data);
    entry->Data = data;
}

void TListViewModel::ForgetData(void* data) {
    if (!data)
        return;
    TDataRows::TRows* found = FDataRows.Find(data);
    if (!found)
        return;
    if (--found->Count <= 0) {
        FDataRows.Erase(found);
    } else if (found->Count == 1) {
        // The row that still holds it was never hinted: it may stand anywhere.
        RowsMovedFrom(0);
    }
}

void TListViewModel::SetEntryState(int index, int state) {
    TakeOutDeleted();
    TListViewModelEntry* entry = Entry(index);
    const int old = entry->State;
    if (state == old)
        return;
    TListViewModelData& d = *FData;
    entry->State = state;
    if (state & kFocused) {
        if (d.FocusIndex != index) {
            if (d.FocusIndex >= 0)
                Entry(d.FocusIndex)->State &= ~kFocused;
            d.FocusIndex = index;
        }
    } else if (d.FocusIndex == index) {
        d.FocusIndex = -1;
    }
    if (state & kSelected) {
        if (!(old & kSelected))
            ++d.SelectedCount;
        if (!d.MultiSelect && d.SelectedIndex != index) {
            if (d.SelectedIndex >= 0) {
                TListViewModelEntry* other = Entry(d.SelectedIndex);
                if (other->State & kSelected) {
                    other->State &= ~kSelected;
                    --d.SelectedCount;
                }
            }
            d.SelectedIndex = index;
        }
    } else {
        if (old & kSelected)
            --d.SelectedCount;
        if (!d.MultiSelect && d.SelectedIndex == index)
            d.SelectedIndex = -1;
    }
}

int TListViewModel::Add() {
    const int index = Count();
    Insert(index);
    return index;
}

void TListViewModel::Insert(int index) {
    TakeOutDeleted();
    if (index < 0 || index > Count())
        IndexError(index);
    if (OnBeforeInsert)
        OnBeforeInsert(this, index);
    auto entry = std::make_unique<TListViewModelEntry>();
    FData->Entries.Insert(index, entry.get());
    entry.release();
    RowsMovedFrom(index);
    if (FData->FocusIndex >= index)
        ++FData->FocusIndex;
    if (FData->SelectedIndex >= index)
        ++FData->SelectedIndex;
    if (OnAfterInsert)
        OnAfterInsert(this, index);
}

void TListViewModel::DeleteSelected() {
    TakeOutDeleted();
    // From the last row up: each row is marked where it stands, and all are
    // taken out together.
    const TListViewModelBatch batch(*this);
    for (int i = Count() - 1; i >= 0 && FData->SelectedCount > 0; --i)
        if (Entry(i)->State & kSelected)
            Delete(i);
}

void TListViewModel::Delete(int index) {
    if (!Defers() || index >= FDeleted.First()) {
        TakeOutDeleted();
        DeleteAt(index);
        return;
    }
    // Below the first marked row an index is the row's place in the list.
    if (index < 0 || index >= FData->Entries.Count())
        IndexError(index);
    MarkDeleted(index);
}

int TListViewModel::Remove(void* data) {
    if (!Defers())
        TakeOutDeleted();
    const int place = PlaceOf(data);
    if (place < 0)
        return -1;
    const int index = place - FDeleted.Before(place);
    if (Defers())
        MarkDeleted(place);
    else
        DeleteAt(index);
    return index;
}

void TListViewModel::DeleteAt(int index) {
    TListViewModelEntry* entry = Entry(index);
    if (OnBeforeDelete)
        OnBeforeDelete(this, index);
    TListViewModelData& d = *FData;
    const int count = Count();
    int focus = d.FocusIndex;
    if (index == focus)
        focus = std::min(focus, count - 2);
    else if (index < focus)
        --focus;
    const int selectedCount = d.SelectedCount - ((entry->State & kSelected) ? 1 : 0);
    int selectedIndex = d.SelectedIndex;
    if (!d.MultiSelect) {
        if (index == selectedIndex)
            selectedIndex = -1;
        else if (index < selectedIndex)
            --selectedIndex;
    }
    void* data = entry->Data;
    d.Entries.Delete(index);
    RowsMovedFrom(index);
    ForgetData(data);
    d.FocusIndex = focus;
    if (focus >= 0)
        Entry(focus)->State |= kFocused;
    d.SelectedCount = selectedCount;
    d.SelectedIndex = selectedIndex;
    if (selectedIndex >= 0)
        Entry(selectedIndex)->State |= kSelected;
    if (OnAfterDelete)
        OnAfterDelete(this, index);
}

void TListViewModel::Clear() {
    TakeOutDeleted();
    while (Count() > 0)
        Delete(Count() - 1);
}

void TListViewModel::SelectAll() {
    TakeOutDeleted();
    const int count = Count();
    void* const* list = FData->Entries.List();
    for (int i = 0; i < count; ++i)
        SetEntryState(i, EntryAt(list, i)->State | kSelected);
}

void TListViewModel::DeselectAll() {
    TakeOutDeleted();
    // What SetState without the selected bit does to each row, in a loop
    // plain enough for the processor to fetch several rows at a time.
    TListViewModelData& d = *FData;
    const int count = Count();
    void* const* list = d.Entries.List();
    for (int i = 0; i < count && d.SelectedCount > 0; ++i) {
        TListViewModelEntry* entry = EntryAt(list, i);
        if (entry->State & kSelected) {
            entry->State &= ~kSelected;
            --d.SelectedCount;
        }
    }
    if (!d.MultiSelect)
        d.SelectedIndex = -1;
}

void TListViewModel::InvertSelection() {
    TakeOutDeleted();
    const int count = Count();
    void* const* list = FData->Entries.List();
    for (int i = 0; i < count; ++i)
        SetEntryState(i, EntryAt(list, i)->State ^ kSelected);
}

void TListViewModel::Sort(const TListViewModelCompare& compare) {
    TakeOutDeleted();
    const int count = Count();
    std::vector<TListViewModelSortItem> items(static_cast<size_t>(count));
    TList references;
    references.SetCapacity(count);
    for (int i = 0; i < count; ++i) {
        items[static_cast<size_t>(i)] = TListViewModelSortItem{this, i, &compare};
        references.Add(&items[static_cast<size_t>(i)]);
    }
    references.Sort([](void* a, void* b) {
        const auto* x = static_cast<const TListViewModelSortItem*>(a);
        const auto* y = static_cast<const TListViewModelSortItem*>(b);
        const int result = (*x->Compare)(x->Model, x->Index, y->Index);
        return result != 0 ? result : x->Index - y->Index;
    });
    TListViewModelOrder order(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        order[static_cast<size_t>(k)] = {
            static_cast<const TListViewModelSortItem*>(references.Items(k))->Index, k};
    Reorder(order);
}

void TListViewModel::SortByKey(const TListViewModelSortKey& key) {
    TakeOutDeleted();
    const int count = Count();
    // All keys one after the other, so the sort reads them from one block.
    std::string arena;
    std::vector<size_t> offsets(static_cast<size_t>(count) + 1);
    for (int i = 0; i < count; ++i) {
        arena += key(this, i);
        offsets[static_cast<size_t>(i) + 1] = arena.size();
    }
    std::vector<TKeyedRow> rows(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        rows[static_cast<size_t>(i)].Row = i;
    SortKeyedRows(rows.data(), rows.data() + rows.size(), arena, offsets, 0);
    TListViewModelOrder order(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        order[static_cast<size_t>(k)] = {rows[static_cast<size_t>(k)].Row, k};
    Reorder(order);
}

void TListViewModel::Reverse() {
    // The permutation (i, Count-1-i), done in place.
    TakeOutDeleted();
    const int count = Count();
    void** list = FData->Entries.List();
    std::reverse(list, list + count);
    RowsMovedFrom(0);
    TListViewModelData& d = *FData;
    if (d.FocusIndex >= 0)
        d.FocusIndex = count - 1 - d.FocusIndex;
    if (d.SelectedIndex >= 0)
        d.SelectedIndex = count - 1 - d.SelectedIndex;
}

void TListViewModel::Exchange(int index1, int index2) {
    TakeOutDeleted();
    Entry(index1);
    Entry(index2);
    if (index1 == index2)
        return;
    FData->Entries.Exchange(index1, index2);
    RowsMovedFrom(std::min(index1, index2));
    TListViewModelData& d = *FData;
    d.FocusIndex = ExchangedIndex(d.FocusIndex, index1, index2);
    if (!d.MultiSelect)
        d.SelectedIndex = ExchangedIndex(d.SelectedIndex, index1, index2);
}

void TListViewModel::MoveSelected(int direction) {
    TakeOutDeleted();
    if (direction == 0)
        return;
    const int count = Count();
    void* const* list = FData->Entries.List();
    auto selected = [list](int i) { return (EntryAt(list, i)->State & kSelected) != 0; };
    int pending = FData->SelectedCount;
    if (direction < 0) {
        for (int p = 0; p < count && pending > 0; ++p) {
            if (!selected(p))
                continue;
            --pending;
            if (p > 0 && !selected(p - 1))
                Exchange(p, p - 1);
        }
    } else {
        for (int p = count - 1; p >= 0 && pending > 0; --p) {
            if (!selected(p))
                continue;
            --pending;
            if (p < count - 1 && !selected(p + 1))
                Exchange(p, p + 1);
        }
    }
}

void TListViewModel::Move(int curIndex, int newIndex) {
    TakeOutDeleted();
    Entry(curIndex);
    Entry(newIndex);
    if (curIndex == newIndex)
        return;
    FData->Entries.Move(curIndex, newIndex);
    RowsMovedFrom(std::min(curIndex, newIndex));
    TListViewModelData& d = *FData;
    d.FocusIndex = MovedIndex(d.FocusIndex, curIndex, newIndex);
    if (!d.MultiSelect)
        d.SelectedIndex = MovedIndex(d.SelectedIndex, curIndex, newIndex);
}

void TListViewModel::Reorder(const TListViewModelOrder& order) {
    TakeOutDeleted();
    const int count = Count();
    if (static_cast<int>(order.size()) != count)
        throw EListError(Format("List count out of bounds (%d).", static_cast<int>(order.size())));
    // A pair that repeats or leaves out a row would lose one entry and hold
    // another twice: refuse it before anything moves.
    std::vector<char> fromSeen(static_cast<size_t>(count)), toSeen(static_cast<size_t>(count));
    for (const TListViewModelOrderItem& pair : order) {
        if (pair.From < 0 || pair.From >= count || fromSeen[static_cast<size_t>(pair.From)])
            IndexError(pair.From);
        if (pair.To < 0 || pair.To >= count || toSeen[static_cast<size_t>(pair.To)])
            IndexError(pair.To);
        fromSeen[static_cast<size_t>(pair.From)] = toSeen[static_cast<size_t>(pair.To)] = 1;
    }
    // Direct slot writes: no list notification runs, so no entry is freed.
    void** list = FData->Entries.List();
    std::vector<void*> collected(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        collected[static_cast<size_t>(k)] = list[order[static_cast<size_t>(k)].From];
    TListViewModelData& d = *FData;
    const int focus = d.FocusIndex;
    const int selected = d.SelectedIndex;
    RowsMovedFrom(0);
    for (int k = 0; k < count; ++k) {
        const TListViewModelOrderItem& pair = order[static_cast<size_t>(k)];
        list[pair.To] = collected[static_cast<size_t>(k)];
        if (pair.From == focus)
            d.FocusIndex = pair.To;
        if (pair.From == selected)
            d.SelectedIndex = pair.To;
    }
}

int TListViewModel::IndexOf(void* data) const {
    const int place = PlaceOf(data);
    return place < 0 ? -1 : place - FDeleted.Before(place);
}

int TListViewModel::PlaceOf(void* data) const {
    const int places = FData->Entries.Count();
    void* const* list = FData->Entries.List();
    auto holds = [&](int place) { return EntryAt(list, place)->Data == data && !FDeleted.Marked(place); };
    if (data) {
        const TDataRows::TRows* found = FDataRows.Find(data);
        if (!found)
            return -1;
        const TDataRows::TRows known = *found;
        if (known.Count == 1) {
            if (known.Hint >= 0 && known.Hint < places && holds(known.Hint))
                return known.Hint;
            // A wrong hint lies at or after the hinted places: scan on from
            // there, hinting every row passed, so that the next lookups that
            // miss go on where this one stops.
            for (int place = FHintedPlaces; place < places; ++place) {
                const TListViewModelEntry* entry = EntryAt(list, place);
                FHintedPlaces = place + 1;
                if (!entry->Data || FDeleted.Marked(place))
                    continue;
                TDataRows::TRows* rows = FDataRows.Find(entry->Data);
                if (rows && rows->Count == 1)
                    rows->Hint = place;
                if (entry->Data == data)
                    return place;
            }
            return -1;
        }
    }
    // No data, or held by several rows: the first from the top.
    for (int place = 0; place < places; ++place)
        if (holds(place))
            return place;
    return -1;
}

void TListViewModel::ReadFromView(bool withStates) {
    TakeOutDeleted();
    if (!FListView)
        return;
    SetCount(ViewCount(FListView));
    SetMultiSelect((GetWindowLongPtrA(FListView, GWL_STYLE) & LVS_SINGLESEL) == 0);
    if (!withStates)
        return;
    const int count = Count();
    const std::vector<unsigned char> held = HeldStates(FListView, count, HeldStateMask(FListView));
    for (int i = 0; i < count; ++i)
        SetEntryState(i, held[static_cast<size_t>(i)]);
}

void TListViewModel::WriteToView(bool withStates) {
    TakeOutDeleted();
    if (!FListView)
        return;
    TViewUpdate update(FListView);
    if (ViewCount(FListView) != Count())
        SendMessageA(FListView, LVM_SETITEMCOUNT, static_cast<WPARAM>(Count()), 0);
    const LONG_PTR style = GetWindowLongPtrA(FListView, GWL_STYLE);
    const LONG_PTR wanted = FData->MultiSelect ? (style & ~LVS_SINGLESEL) : (style | LVS_SINGLESEL);
    if (wanted != style)
        SetWindowLongPtrA(FListView, GWL_STYLE, wanted);
    if (withStates)
        WriteStates();
}

void TListViewModel::WriteStates() {
    // Writing a row's state costs the control far more than reading it, so
    // read what it holds and write only the rows that differ. Where many rows
    // differ in the selected bit, one message that clears (or sets) that bit
    // on every row first leaves fewer rows to write. Either way each row ends
    // with exactly the bits it gets from a write of every row: focusing a row
    // unfocuses the other, which the model does not have focused either.
    const int count = Count();
    void* const* list = FData->Entries.List();
    const int mask = HeldStateMask(FListView);
    std::vector<unsigned char> held = HeldStates(FListView, count, mask);
    long perRow = 0, afterClear = 0, afterSet = 0, runs = 0;
    for (int i = 0; i < count; ++i) {
        const int h = held[static_cast<size_t>(i)];
        const int w = EntryAt(list, i)->State & mask;
        perRow += h != w;
        afterClear += (h & ~kSelected) != w;
        afterSet += (h | kSelected) != w;
        runs += (h & kSelected) && (i == 0 || !(held[static_cast<size_t>(i) - 1] & kSelected));
    }
    // Costs in writes of one row to a control with a plain selection. The
    // control keeps the selection as a sorted array of runs: a write inside
    // it shifts the runs after it, so with many runs each write costs more.
    // After clearing every row, rows are selected in ascending order and only
    // append; after selecting every row, each deselection splits the last
    // run. A message to all rows walks every row at about a quarter of the
    // cost of a write. Selecting every row at once is refused in
    // single-selection mode.
    const double bulk = count / 4.0 + 1;
    const double perRowCost = perRow * (1.0 + runs / 20000.0);
    const double clearCost = bulk + afterClear;
    const double setCost = FData->MultiSelect ? bulk + afterSet * 5.0 : perRowCost + 1;
    if (clearCost < perRowCost && clearCost <= setCost) {
        SetViewState(FListView, -1, 0, kSelected);
        for (unsigned char& h : held)
            h &= static_cast<unsigned char>(~kSelected);
    } else if (setCost < perRowCost) {
        SetViewState(FListView, -1, kSelected, kSelected);
        for (unsigned char& h : held)
            h |= static_cast<unsigned char>(kSelected);
    }
    for (int i = 0; i < count; ++i) {
        const int w = EntryAt(list, i)->State & kStateMask;
        if (held[static_cast<size_t>(i)] != (w & mask))
            SetViewState(FListView, i, w, kStateMask);
    }
}
