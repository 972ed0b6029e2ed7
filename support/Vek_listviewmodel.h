// The rows behind a virtual (owner-data) list-view control.
#pragma once

#include "framework/Fw_classes.h"

#include <windows.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TListViewModel;

// One row: the caller's object (not owned) and the row's list-view item state
// bits (LVIS_FOCUSED 0x1, LVIS_SELECTED 0x2; 0x4 and 0x8 are kept as they are).
// Set both through the model's cursor, which keeps the model's counts and its
// index of the rows' data true.
class TListViewModelEntry : public TObject {
public:
    void* Data = nullptr;
    int State = 0;
};

// The model's shared state.
class TListViewModelData : public TObject {
public:
    explicit TListViewModelData(TListViewModel* model) : Model(model) {}

    TListViewModel* Model;
    TObjectList Entries; // of TListViewModelEntry, owning, in display order
    bool MultiSelect = false;
    int FocusIndex = -1;
    int SelectedCount = 0;
    // The selected row in single-selection mode; -1 in multi-selection mode.
    int SelectedIndex = -1;
};

// A cursor onto one row. The model owns one cursor and moves it on every
// Items call, so use the result at once.
class TListViewModelItem : public TObject {
public:
    explicit TListViewModelItem(TListViewModelData* data) : FData(data) {}

    int Index() const { return FIndex; }
    // Each accessor raises the list index error for an index outside the rows.
    void* GetData() const;
    void SetData(void* data);
    int GetState() const;
    // Keeps the focus index, the selected count and (single selection) the
    // selected index true: focusing a row unfocuses the one focused before,
    // and in single-selection mode selecting a row deselects the other.
    void SetState(int state);
    bool GetSelected() const;
    void SetSelected(bool selected);

private:
    friend class TListViewModel;
    TListViewModelData* FData;
    int FIndex = -1;
};

// Called before or after a row is inserted or deleted, with its index.
using TListViewModelNotify = std::function<void(TListViewModel* model, int index)>;
// Negative when the row at a sorts before the row at b, zero when equal,
// positive when after. The rows do not move while a sort compares them.
using TListViewModelCompare = std::function<int(TListViewModel* model, int a, int b)>;
// A row's sort key: bytes ordered as memcmp orders them (for example a sort
// key of LCMapStringA, which orders as CompareStringA does).
using TListViewModelSortKey = std::function<std::string(TListViewModel* model, int index)>;

struct TListViewModelSortItem {
    TListViewModel* Model;
    int Index; // the row's index before the sort
    const TListViewModelCompare* Compare;
};

// The row now at From goes to To.
struct TListViewModelOrderItem {
    int From;
    int To;
};
// A permutation of all rows.
using TListViewModelOrder = std::vector<TListViewModelOrderItem>;

// Keeps the rows in display order with their focus and selection, and
// synchronises count, focus and selection with the list-view control in both
// directions. Invariants through every operation: at most one row has the
// focused bit and FocusIndex names it (-1 when none); SelectedCount is the
// number of rows with the selected bit; the bits travel with their rows.
class TListViewModel : public TObject {
public:
    // The control is not owned; it may be null for a model used without one.
    explicit TListViewModel(HWND listView);
    ~TListViewModel() override;

    HWND ListView() const { return FListView; }
    int Count() const { return FData->Entries.Count() - FDeleted.Count(); }
    // The shared cursor moved to index (checked by the cursor's accessors).
    TListViewModelItem* Items(int index);
    // Adds rows at the end or deletes the last rows.
    void SetCount(int count);
    int FocusIndex() const {
        TakeOutDeleted();
        return FData->FocusIndex;
    }
    int SelectedCount() const { return FData->SelectedCount; }
    int SelectedIndex() const {
        TakeOutDeleted();
        return FData->SelectedIndex;
    }
    bool MultiSelect() const { return FData->MultiSelect; }
    // A change deselects every row.
    void SetMultiSelect(bool value);

    TListViewModelNotify OnBeforeInsert;
    TListViewModelNotify OnAfterInsert;
    TListViewModelNotify OnBeforeDelete;
    TListViewModelNotify OnAfterDelete;

    // Appends an empty row; returns its index.
    virtual int Add();
    // A new row with no data and state 0.
    virtual void Insert(int index);
    virtual void DeleteSelected();
    // The entry is freed, its data object is not. Deleting the focused row
    // passes the focus to the row that takes its place (or the new last row).
    virtual void Delete(int index);
    virtual void Clear();
    virtual void SelectAll();
    virtual void DeselectAll();
    virtual void InvertSelection();
    // Deletes the first row from the top that holds data and returns its
    // index, or returns -1 when no row holds it.
    int Remove(void* data);
    // Between BeginBatch and EndBatch (pairs nest; the outermost counts) a
    // deleted row is only marked, and the marked rows are taken out together
    // in one pass when the batch ends, or before anything that needs the rows
    // in their places. Indexes, counts, focus and selection are throughout as
    // deleting the rows one at a time makes them: deleting many rows, or
    // removing many data objects wherever they stand, costs one pass instead
    // of one pass each. Without a batch, and while a delete notification is
    // assigned, every delete takes its row out at once.
    void BeginBatch();
    void EndBatch();
    // Ascending and stable: rows that compare equal keep their order.
    virtual void Sort(const TListViewModelCompare& compare);
    virtual void Reverse();
    virtual void Exchange(int index1, int index2);
    // Each selected row one place up (negative) or down (positive); a selected
    // row at that edge stays, and so do the selected rows next to it.
    virtual void MoveSelected(int direction);
    virtual void Move(int curIndex, int newIndex);
    // The order must be a permutation of all rows; anything else raises the
    // list index error and changes nothing.
    virtual void Reorder(const TListViewModelOrder& order);
    // The first row from the top with this data, or -1. Without a scan when
    // no row holds it, or one row does and has not moved since it was last
    // set or found; all lookups between two moves of rows scan each row at
    // most once in all.
    virtual int IndexOf(void* data) const;
    // Count and selection mode, and with states every row's state, from the control.
    virtual void ReadFromView(bool withStates);
    // Count and selection mode, and with states every row's state, to the
    // control, inside one begin/end update. Only the rows whose state the
    // control does not hold yet are written, so that a selection change costs
    // little however long the list is; the control ends as if every row had
    // been written.
    virtual void WriteToView(bool withStates);
    // As Sort, ordering by keys computed once per row: ascending by memcmp,
    // ties kept in their order. With locale sort keys the order is exactly
    // that of Sort with the locale comparison, at a fraction of the cost.
    virtual void SortByKey(const TListViewModelSortKey& key);

private:
    friend class TListViewModelItem;

    // Rows marked deleted in a batch, counted so that the index of a row
    // among the rows left is found in logarithmic time.
    class TDeletedRows {
    public:
        int Count() const { return FCount; }
        // The lowest marked row (INT_MAX when none): below it, a row's index
        // among the rows left is its place in the list.
        int First() const { return FFirst; }
        bool Marked(int row) const { return row >= FFirst && FMarks[static_cast<size_t>(row)]; }
        // rows: the length of the list, the same for every mark until Clear.
        void Mark(int row, int rows);
        // How many marked rows stand before this one.
        int Before(int row) const;
        void Clear();

    private:
        // Beside the entries rather than in them: a pass over the list reads
        // the marks in order and touches only the entries that go.
        std::vector<unsigned char> FMarks;
        // A Fenwick tree over the marks, made when first needed.
        mutable std::vector<int> FTree;
        int FCount = 0;
        int FFirst = INT_MAX;
    };

    // The row at index among the rows left; for an index at or past the first
    // row marked deleted, the marked rows are taken out first.
    TListViewModelEntry* Entry(int index) const;
    void SetEntryState(int index, int state);
    void SetEntryData(int index, void* data);
    void ForgetData(void* data);
    void WriteStates();
    // Whether a delete now only marks its row.
    bool Defers() const;
    void DeleteAt(int index);
    void MarkDeleted(int row);
    // Takes the rows marked deleted out in one pass, in order; nothing
    // observable changes (hence const).
    void TakeOutDeleted() const;
    // The place in the list of the first row, not deleted, with this data.
    int PlaceOf(void* data) const;
    // Rows at and after place may have moved: their data's hints may be wrong.
    void RowsMovedFrom(int place) const;

    HWND FListView;
    std::unique_ptr<TListViewModelData> FData;
    std::unique_ptr<TListViewModelItem> FItem;
    // For each data pointer that rows hold: how many rows hold it, and the
    // place where it was last set or found (checked before use: rows move).
    // One open-addressed table without an allocation per pointer, since a
    // list edit adds or removes hundreds of thousands of them in one step.
    class TDataRows {
    public:
        struct TRows {
            const void* Data = nullptr; // null: a free slot
            int Count = 0;
            int Hint = -1;
        };
        // Null when no row holds data. Valid until the next Add or Erase.
        TRows* Find(const void* data);
        // The rows of data, added with Count 0 when missing.
        TRows& Add(const void* data);
        void Erase(TRows* rows);

    private:
        size_t Home(const void* data) const;
        std::vector<TRows> FSlots; // a power of two of them, at most half used
        size_t FUsed = 0;
        int FBits = 0;
    };
    mutable TDataRows FDataRows;
    // Every data object held by one row only, in the places before this one,
    // has its place as its hint; a lookup that misses scans on from here.
    mutable int FHintedPlaces = 0;
    int FBatchDepth = 0;
    mutable TDeletedRows FDeleted;
};

// A batch of the model (BeginBatch, EndBatch) for the lifetime of the object.
class TListViewModelBatch {
public:
    explicit TListViewModelBatch(TListViewModel& model) : FModel(model) { FModel.BeginBatch(); }
    TListViewModelBatch(const TListViewModelBatch&) = delete;
    TListViewModelBatch& operator=(const TListViewModelBatch&) = delete;
    ~TListViewModelBatch() { FModel.EndBatch(); }

private:
    TListViewModel& FModel;
};
