// The invoker's rule tables: sequences of execute, undo and redo with
// commands that set chosen flags and throw at chosen points.
#include "support/Vek_command.h"
#include "tests/common/TestSupport.h"

#include <map>

namespace {

class ETestError : public Exception {
public:
    using Exception::Exception;
};

// What a test command does in one kind of run: the flags it sets
// ("D" discard, "K" keep history, "U" undoable, "R" redoable) and whether it
// throws before ("!" first) or after ("!" last) setting them.
struct TRun {
    std::string Script = "KUR";

    void Perform(TCommand& command, const std::string& name, const char* kind) const {
        if (!Script.empty() && Script.front() == '!')
            throw ETestError(name + " " + kind);
        for (const char c : Script) {
            if (c == 'D')
                command.Flags += {cfDiscard};
            if (c == 'K')
                command.Flags += {cfKeepHistory};
            if (c == 'U')
                command.Flags += {cfUndoable};
            if (c == 'R')
                command.Flags += {cfRedoable};
        }
        if (!Script.empty() && Script.back() == '!')
            throw ETestError(name + " " + kind);
    }
};

// Records its runs and its destruction in a shared log.
class TTestCommand : public TCommand {
public:
    TTestCommand(std::string name, std::vector<std::string>& log, TRun execute, TRun undo, TRun redo)
        : FName(std::move(name)), FLog(log), FExecute(std::move(execute)), FUndo(std::move(undo)),
          FRedo(std::move(redo)) {}
    ~TTestCommand() override { FLog.push_back("~" + FName); }

    const std::string& Name() const { return FName; }

    void Execute() override { Run(FExecute, "execute"); }
    void Undo() override { Run(FUndo, "undo"); }
    void Redo() override { Run(FRedo, "redo"); }

private:
    void Run(const TRun& run, const char* kind) {
        EXPECT_TRUE(Flags.Empty()) << "the invoker empties the flags before each run";
        FLog.push_back(std::string(kind) + " " + FName);
        run.Perform(*this, FName, kind);
    }

    std::string FName;
    std::vector<std::string>& FLog;
    TRun FExecute, FUndo, FRedo;
};

std::string Names(TObjectList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += (i ? " " : "") + static_cast<TTestCommand*>(list.Items(i))->Name();
    return text;
}

std::string Join(const std::vector<std::string>& log) {
    std::string text;
    for (const std::string& entry : log)
        text += (text.empty() ? "" : ", ") + entry;
    return text;
}

// One step of a sequence and the state expected after it.
struct TStep {
    // "+name" appends a command with the runs of that name in the table;
    // "x", "u", "r" call Execute, Undo, Redo.
    std::string Action;
    std::string Pending, UndoStack, RedoStack;
    std::string Log = "";   // runs and destructions during the step
    std::string Error = ""; // the message of the exception that passes, if any
};

struct TSequence {
    const char* What;
    std::map<std::string, std::vector<TRun>> Commands; // name -> execute, undo, redo
    std::vector<TStep> Steps;
};

void RunSequence(const TSequence& sequence) {
    SCOPED_TRACE(sequence.What);
    std::vector<std::string> log;
    TInvoker invoker;
    for (const TStep& step : sequence.Steps) {
        SCOPED_TRACE("step " + step.Action);
        log.clear();
        std::string error;
        if (step.Action[0] == '+') {
            const std::string name = step.Action.substr(1);
            auto found = sequence.Commands.find(name);
            const std::vector<TRun> runs =
                found == sequence.Commands.end() ? std::vector<TRun>(3) : found->second;
            invoker.PendingCommands().Add(new TTestCommand(name, log, runs[0], runs[1], runs[2]));
        } else {
            try {
                if (step.Action == "x")
                    invoker.Execute();
                else if (step.Action == "u")
                    invoker.Undo();
                else
                    invoker.Redo();
            } catch (const ETestError& e) {
                error = e.Message();
            } catch (const EListError&) {
                error = "list index error";
            }
        }
        EXPECT_EQ(error, step.Error);
        EXPECT_EQ(Names(invoker.PendingCommands()), step.Pending);
        EXPECT_EQ(Names(invoker.UndoCommands()), step.UndoStack);
        EXPECT_EQ(Names(invoker.RedoCommands()), step.RedoStack);
        EXPECT_EQ(Join(log), step.Log);
        EXPECT_EQ(invoker.CanExecute(), !step.Pending.empty());
        EXPECT_EQ(invoker.CanUndo(), !step.UndoStack.empty());
        EXPECT_EQ(invoker.CanRedo(), !step.RedoStack.empty());
    }
    log.clear();
}

TRun R(const char* script) {
    return TRun{script};
}

} // namespace

TEST(Invoker, RuleTablesAfterExecuteUndoAndRedo) {
    const TSequence sequences[] = {
        {"appended commands run in order, one per Execute",
         {},
         {
             {"+a", "a", "", ""},
             {"+b", "a b", "", ""},
             {"x", "b", "a", "", "execute a"},
             {"x", "", "a b", "", "execute b"},
         }},
        {"undone commands are redone last-undone-first",
         {},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"+c", "c", "a b", ""},
             {"x", "", "a b c", "", "execute c"},
             {"u", "", "a b", "c", "undo c"},
             {"u", "", "a", "c b", "undo b"},
             {"u", "", "", "c b a", "undo a"},
             {"r", "", "a", "c b", "redo a"},
             {"r", "", "a b", "c", "redo b"},
             {"r", "", "a b c", "", "redo c"},
         }},
        {"a new command ends the redo history",
         {},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"u", "", "a", "b", "undo b"},
             {"+c", "c", "a", "b"},
             {"x", "", "a c", "", "execute c, ~b"},
         }},
        {"execute without keep history drops the commands queued behind, keeps the undo stack",
         {{"b", {R("U"), R("KUR"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"+c", "b c", "a", ""},
             {"+d", "b c d", "a", ""},
             {"x", "", "a b", "", "execute b, ~d, ~c"},
         }},
        {"execute without undoable frees the command and the redo stack",
         {{"b", {R("KR"), R("KUR"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"u", "", "", "a", "undo a"},
             {"+b", "b", "", "a"},
             {"+c", "b c", "", "a"},
             {"x", "c", "", "", "execute b, ~a, ~b"},
         }},
        {"execute with discard frees every pending command and leaves the stacks",
         {{"b", {R("DKUR"), R("KUR"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+z", "z", "a", ""},
             {"x", "", "a z", "", "execute z"},
             {"u", "", "a", "z", "undo z"},
             {"+b", "b", "a", "z"},
             {"+c", "b c", "a", "z"},
             {"x", "", "a", "z", "execute b, ~c, ~b"},
         }},
        {"a command that throws from Execute with no flags goes with the queue and the redo stack",
         {{"b", {R("!"), R("KUR"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+z", "z", "a", ""},
             {"x", "", "a z", "", "execute z"},
             {"u", "", "a", "z", "undo z"},
             {"+b", "b", "a", "z"},
             {"+c", "b c", "a", "z"},
             {"x", "", "a", "", "execute b, ~c, ~z, ~b", "b execute"},
         }},
        {"a command that sets its flags and then throws is recorded as usual",
         {{"b", {R("UR!"), R("UR!"), R("UR!")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"+c", "b c", "a", ""},
             {"x", "", "a b", "", "execute b, ~c", "b execute"},
             {"u", "", "", "b", "undo b, ~a", "b undo"}, // without keep history the older history goes
             {"r", "", "b", "", "redo b", "b redo"},
         }},
        {"a command that throws from Undo with no flags empties both stacks",
         {{"b", {R("KUR"), R("!"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"+c", "c", "a b", ""},
             {"x", "", "a b c", "", "execute c"},
             {"u", "", "a b", "c", "undo c"},
             {"u", "", "", "", "undo b, ~a, ~c, ~b", "b undo"},
         }},
        {"a command that throws from Redo with no flags empties both stacks",
         {{"b", {R("KUR"), R("KUR"), R("!")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"u", "", "a", "b", "undo b"},
             {"r", "", "", "", "redo b, ~a, ~b", "b redo"},
         }},
        {"undo without keep history frees the older history, the command goes to redo",
         {{"b", {R("KUR"), R("UR"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"u", "", "", "b", "undo b, ~a"},
             {"r", "", "b", "", "redo b"},
         }},
        {"undo without undoable frees the undo stack; without redoable the redo stack and itself",
         {{"b", {R("KUR"), R("KR"), R("KUR")}}, {"c", {R("KUR"), R("KU"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"u", "", "", "b", "undo b, ~a"},
             {"+c", "c", "", "b"},
             {"x", "", "c", "", "execute c, ~b"},
             {"+d", "d", "c", ""},
             {"x", "", "c d", "", "execute d"},
             {"u", "", "c", "d", "undo d"},
             {"u", "", "", "", "undo c, ~d, ~c"},
         }},
        {"undo with discard leaves everything where it is",
         {{"b", {R("KUR"), R("DKUR"), R("KUR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"u", "", "a b", "", "undo b"},
         }},
        {"redo without keep history or redoable frees the redo stack; without undoable the undo stack",
         {{"b", {R("KUR"), R("KUR"), R("UR")}}, {"c", {R("KUR"), R("KUR"), R("KR")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"+c", "c", "a b", ""},
             {"x", "", "a b c", "", "execute c"},
             {"u", "", "a b", "c", "undo c"},
             {"u", "", "a", "c b", "undo b"},
             {"r", "", "a b", "", "redo b, ~c"},
             {"+d", "d", "a b", ""},
             {"x", "", "a b d", "", "execute d"},
             {"+c", "c", "a b d", ""},
             {"x", "", "a b d c", "", "execute c"},
             {"u", "", "a b d", "c", "undo c"},
             {"r", "", "", "", "redo c, ~d, ~b, ~a, ~c"},
         }},
        {"redo with discard leaves everything where it is",
         {{"b", {R("KUR"), R("KUR"), R("D")}}},
         {
             {"+a", "a", "", ""},
             {"x", "", "a", "", "execute a"},
             {"+b", "b", "a", ""},
             {"x", "", "a b", "", "execute b"},
             {"u", "", "a", "b", "undo b"},
             {"r", "", "a", "b", "redo b"},
         }},
        {"nothing to run is the list index error and changes nothing",
         {},
         {
             {"x", "", "", "", "", "list index error"},
             {"u", "", "", "", "", "list index error"},
             {"r", "", "", "", "", "list index error"},
         }},
    };
    for (const TSequence& sequence : sequences)
        RunSequence(sequence);
}

TEST(Invoker, TheExceptionPassesUnchanged) {
    struct EOther : std::exception {};
    class TThrowing : public TCommand {
    public:
        void Execute() override { throw EOther(); }
        void Undo() override {}
        void Redo() override {}
    };
    TInvoker invoker;
    invoker.PendingCommands().Add(new TThrowing);
    EXPECT_THROW(invoker.Execute(), EOther);
    EXPECT_FALSE(invoker.CanExecute());
}

TEST(Invoker, FreesRedoThenUndoThenPending) {
    std::vector<std::string> log;
    {
        TInvoker invoker;
        for (const char* name : {"u1", "u2", "r1", "r2"}) {
            invoker.PendingCommands().Add(new TTestCommand(name, log, {}, {}, {}));
            invoker.Execute();
        }
        invoker.Undo();
        invoker.Undo();
        invoker.PendingCommands().Add(new TTestCommand("p1", log, {}, {}, {}));
        invoker.PendingCommands().Add(new TTestCommand("p2", log, {}, {}, {}));
        log.clear();
    }
    // Each list frees from its end.
    EXPECT_EQ(Join(log), "~r1, ~r2, ~u2, ~u1, ~p2, ~p1");
}

TEST(CommandFlags, OneBitPerFlag) {
    TCommandFlags flags;
    EXPECT_TRUE(flags.Empty());
    flags += {cfKeepHistory, cfRedoable};
    EXPECT_EQ(flags.Bits(), 0x0A);
    EXPECT_TRUE(flags.Contains(cfKeepHistory));
    EXPECT_FALSE(flags.Contains(cfUndoable));
    flags -= {cfKeepHistory};
    EXPECT_EQ(flags, TCommandFlags{cfRedoable});
    EXPECT_EQ((TCommandFlags{cfDiscard} + TCommandFlags{cfUndoable}).Bits(), 0x05);
    static_assert(sizeof(TCommandFlags) == 1);
}
