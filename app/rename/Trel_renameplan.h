// A safe order for a rename run whose only obstacles are names that other
// entries of the same run give up. In list order such a run stops at the
// first entry whose new name is still taken: a chain listed the wrong way
// round (a->b before b->c), or names that swap. The plan renames each chain
// so that every name is given up before it is taken, and breaks each cycle
// of names with one temporary name in its directory. Everything else keeps
// its place in the list, and a directory still comes after the entries
// inside it that the list puts before it.
#pragma once

#include "app/rename/Trel_disknames.h"
#include "app/rename/Trel_renamecheck.h"

#include <cstddef>
#include <string>
#include <vector>

struct TRenamePlan {
    // A cycle of names: its entries follow one another in Order from Start
    // on. The first moves to Temporary, each next one takes the name that the
    // one before it gave up, and the first moves from Temporary to its new
    // name last.
    struct TCycle {
        size_t Start = 0;
        size_t Length = 0;
        std::string Temporary;
    };

    // Every entry, by its index in the list, in the order of the run.
    std::vector<int> Order;
    // In the order of Start.
    std::vector<TCycle> Cycles;

    bool Empty() const { return Order.empty(); }
};

// The temporary names that plans give: "~trelvane-cycle-<process>-<n>.tmp".
// They are apart from the temporary names of a change of letter case, which
// the recovery finds by their form alone; a plan's are in its journal.
std::string CycleTemporaryName(unsigned long process, int number);
bool IsCycleTemporaryName(const std::string& name);

// Plans the entries in O(n log n). The names and the disk are those the check
// of the same entries used: a temporary name is one that neither the disk (as
// listed) nor a new name of the run holds.
TRenamePlan PlanRenames(const std::vector<TCheckEntry>& entries, const TRunNames& names, TDiskNames& disk);

// What Perform offers: how many entries a safe order would serve, and the
// plan when that order runs every entry (the only obstacles are names that
// the run itself gives up); otherwise the plan is empty. The disk is read
// only when the names alone show entries that need the order.
struct TSafeOrder {
    int Serves = 0;
    TRenamePlan Plan;
};

TSafeOrder FindSafeOrder(const std::vector<TCheckEntry>& entries);
