#include "app/rename/Trel_renameplan.h"

#include "support/Vek_file.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <queue>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace {

const char* const kCyclePrefix = "~trelvane-cycle-";
const char* const kCycleSuffix = ".tmp";

// One unit of the plan: an entry of its own, or a whole cycle, which runs at
// once so that no temporary name outlives it.
struct TUnit {
    // The entries in the order of their moves.
    std::vector<int> Entries;
    bool Cycle = false;
    // Units that are ready run lowest first: an entry by its place in the
    // list, a cycle by its last entry's, so that whatever the list puts
    // before a directory of the cycle runs first.
    int Priority = 0;
    // Waits for the entry whose name it takes (-1: for none).
    int Waits = -1;
};

class TPlanner {
public:
    TPlanner(const std::vector<TCheckEntry>& entries, const TRunNames& names)
        : FEntries(entries), FNames(names), FUnitOf(entries.size(), -1), FTaker(entries.size(), -1) {
        for (size_t e = 0; e < entries.size(); ++e) {
            const int next = names.Next[e];
            if (next >= 0 && FTaker[static_cast<size_t>(next)] < 0)
                FTaker[static_cast<size_t>(next)] = static_cast<int>(e);
        }
    }

    // The units in list order, each cycle where its first entry is.
    void MakeUnits() {
        for (size_t e = 0; e < FEntries.size(); ++e) {
            if (FUnitOf[e] >= 0)
                continue;
            TUnit unit;
            unit.Priority = static_cast<int>(e);
            if (FNames.OnCycle[e]) {
                unit.Cycle = true;
                // From the first entry on, each next one is the entry that
                // takes the name the one before gives up.
                for (int member = static_cast<int>(e); member >= 0 && FNames.OnCycle[static_cast<size_t>(member)] &&
                                                       FUnitOf[static_cast<size_t>(member)] < 0;
                     member = FTaker[static_cast<size_t>(member)]) {
                    FUnitOf[static_cast<size_t>(member)] = static_cast<int>(FUnits.size());
                    unit.Entries.push_back(member);
                    unit.Priority = std::max(unit.Priority, member);
                }
            } else {
                FUnitOf[e] = static_cast<int>(FUnits.size());
                unit.Entries.push_back(static_cast<int>(e));
                unit.Waits = FNames.Next[e];
            }
            FUnits.push_back(std::move(unit));
        }
    }

    // The units in dependency order, ties by priority; what a broken chain
    // leaves over follows in list order, as the list would run it.
    void Order(TRenamePlan& plan) {
        using TReady = std::pair<int, int>; // priority, unit
        std::priority_queue<TReady, std::vector<TReady>, std::greater<TReady>> ready;
        for (size_t u = 0; u < FUnits.size(); ++u)
            if (FUnits[u].Waits < 0)
                ready.emplace(FUnits[u].Priority, static_cast<int>(u));
        std::vector<bool> placed(FUnits.size(), false);
        plan.Order.reserve(FEntries.size());
        while (!ready.empty()) {
            const size_t u = static_cast<size_t>(ready.top().second);
            ready.pop();
            Place(u, plan);
            placed[u] = true;
            for (const int member : FUnits[u].Entries) {
                const int taker = FTaker[static_cast<size_t>(member)];
                if (taker < 0)
                    continue;
                const size_t waiting = static_cast<size_t>(FUnitOf[static_cast<size_t>(taker)]);
                if (waiting != u && !placed[waiting] && FUnits[waiting].Waits == member)
                    ready.emplace(FUnits[waiting].Priority, static_cast<int>(waiting));
            }
        }
        for (size_t u = 0; u < FUnits.size(); ++u)
            if (!placed[u])
                Place(u, plan);
    }

private:
    void Place(size_t u, TRenamePlan& plan) {
        const TUnit& unit = FUnits[u];
        if (unit.Cycle)
            plan.Cycles.push_back({plan.Order.size(), unit.Entries.size(), std::string()});
        plan.Order.insert(plan.Order.end(), unit.Entries.begin(), unit.Entries.end());
    }

    const std::vector<TCheckEntry>& FEntries;
    const TRunNames& FNames;
    std::vector<int> FUnitOf;
    // The entry that takes each entry's old name (-1: none).
    std::vector<int> FTaker;
    std::vector<TUnit> FUnits;
};

// Gives each cycle a temporary name in its directory that neither the disk
// nor a new name of the run holds.
void NameTemporaries(const std::vector<TCheckEntry>& entries, const TRunNames& names, TDiskNames& disk,
                     TRenamePlan& plan) {
    if (plan.Cycles.empty())
        return;
    std::unordered_set<std::string_view> newPaths(names.Keys.New.begin(), names.Keys.New.end());
    const unsigned long process = GetCurrentProcessId();
    int number = 0;
    for (TRenamePlan::TCycle& cycle : plan.Cycles) {
        const size_t first = static_cast<size_t>(plan.Order[cycle.Start]);
        for (;;) {
            std::string name = CycleTemporaryName(process, ++number);
            if (!newPaths.count(PathKey(names.Keys.Directory[first], name)) &&
                !disk.Contains(entries[first].Directory, name)) {
                cycle.Temporary = std::move(name);
                break;
            }
        }
    }
}

} // namespace

std::string CycleTemporaryName(unsigned long process, int number) {
    return Format("%s%08lX-%d%s", kCyclePrefix, process, number, kCycleSuffix);
}

bool IsCycleTemporaryName(const std::string& name) {
    const std::string_view prefix(kCyclePrefix);
    const std::string_view suffix(kCycleSuffix);
    if (name.size() < prefix.size() + 8 + 2 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0 || name[prefix.size() + 8] != '-')
        return false;
    const std::string_view process(name.data() + prefix.size(), 8);
    const std::string_view number(name.data() + prefix.size() + 9, name.size() - prefix.size() - 9 - suffix.size());
    return process.find_first_not_of("0123456789ABCDEF") == std::string_view::npos && !number.empty() &&
           number.find_first_not_of("0123456789") == std::string_view::npos;
}

TRenamePlan PlanRenames(const std::vector<TCheckEntry>& entries, const TRunNames& names, TDiskNames& disk) {
    TRenamePlan plan;
    TPlanner planner(entries, names);
    planner.MakeUnits();
    planner.Order(plan);
    NameTemporaries(entries, names, disk, plan);
    return plan;
}

TSafeOrder FindSafeOrder(const std::vector<TCheckEntry>& entries) {
    TSafeOrder order;
    const TRunNames names = FindRunNames(entries);
    bool needed = false;
    for (size_t e = 0; e < entries.size() && !needed; ++e)
        needed = names.NeedsOrder(e);
    if (!needed)
        return order;
    TDiskNames disk;
    const TCheckResult check = CheckRenames(entries, names, LookUpOnDisk(entries, disk));
    order.Serves = check.SafeOrderServes;
    if (check.SafeOrderRunsAll)
        order.Plan = PlanRenames(entries, names, disk);
    return order;
}
