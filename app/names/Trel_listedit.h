// The vocabulary of item types and results, the orders of the rename list,
// and the editor through which list-edit commands add and remove rows.
#pragma once

#include "app/names/Trel_rename.h"
#include "framework/Fw_classes.h"
#include "support/Vek_listviewmodel.h"

#include <cstdint>
#include <string>

class EListEditError : public Exception {
public:
    using Exception::Exception;
};

// "Directory", "Regular file"; another value raises "The type is not supported.".
std::string TypeText(TRenameItemType type);
// "None", "Succeeded", "Failed", "Skipped"; another value raises "The result is not supported.".
std::string ResultText(TRenameItemResult result);
// The row image of the item's type and the state image of its result, in the
// list's row image list.
int TypeImageIndex(const TRenameItem& item);
int ResultImageIndex(const TRenameItem& item);

// Negative, zero or positive as a sorts before, with or after b: the user
// default locale's comparison (CompareStringA, no flags, so case-sensitive).
// Type and result compare as their decimal numbers' texts.
int CompareByDirectory(const TRenameItem& a, const TRenameItem& b);
int CompareByOldName(const TRenameItem& a, const TRenameItem& b);
int CompareByNewName(const TRenameItem& a, const TRenameItem& b);
int CompareByType(const TRenameItem& a, const TRenameItem& b);
int CompareByResult(const TRenameItem& a, const TRenameItem& b);

// The user default locale's sort key of a text (LCMapStringA): keys compared
// byte by byte order as the comparisons above order the texts, so a long list
// is sorted with one key per row instead of a locale call per comparison.
std::string LocaleSortKey(const std::string& text);
std::string SortKeyByDirectory(const TRenameItem& item);
std::string SortKeyByOldName(const TRenameItem& item);
std::string SortKeyByNewName(const TRenameItem& item);
std::string SortKeyByType(const TRenameItem& item);
std::string SortKeyByResult(const TRenameItem& item);

// The columns of what the disk tells of an entry, shown on request after the
// five columns above, in this order.
enum class TInfoColumn : std::uint8_t { Size, Modified, Created, DateTaken };
constexpr int kInfoColumnCount = 4;
// "Size", "Modified", "Created", "Date taken".
const char* InfoColumnCaption(TInfoColumn column);
// Whether the column's values need the photos read (not only the listings).
bool NeedsDateTaken(TInfoColumn column);
// What the row shows in the column: the size in kilobytes (none for a
// directory), a date in the user's short format; empty without a value.
std::string InfoText(const TRenameItem& item, TInfoColumn column);
// Sort keys of the column's values: ascending by value, the entries without
// one after all others.
std::string SortKeyByInfo(const TRenameItem& item, TInfoColumn column);

// Adds and removes the rows of rename items in a list-view model. Made on the
// stack for one step; the items are never freed here.
class TRenameList : public TObject {
public:
    explicit TRenameList(TListViewModel& model) : FModel(model) {}
    ~TRenameList() override = default;

    // Appends the item as the last row, selected and focused; returns its index.
    virtual int Add(TRenameItem* item);
    // A new row at index, selected and focused (the focus leaves any other row).
    virtual void Insert(int index, TRenameItem* item);
    // Deletes the item's row, found by identity now; returns its index. An
    // item without a row raises "The program cannot remove the item.".
    virtual int Remove(TRenameItem* item);
    virtual void Delete(int index);

private:
    TListViewModel& FModel;
};
