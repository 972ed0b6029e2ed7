// Commands that can be executed, undone and redone, and the invoker that runs
// them and keeps the history.
#pragma once

#include "framework/Fw_classes.h"
#include "support/Vek_autopointer.h"

#include <cstdint>
#include <initializer_list>

// What a command reports to the invoker after each run.
enum TCommandFlag : std::uint8_t {
    cfDiscard,     // the run did nothing: the history stays as it was
    cfKeepHistory, // the list the command came from stays; without it that list is emptied
    cfUndoable,    // the command may be undone
    cfRedoable     // the command may be redone
};

// A set of command flags in one byte: bit n stands for flag n.
class TCommandFlags {
public:
    constexpr TCommandFlags() = default;
    constexpr TCommandFlags(std::initializer_list<TCommandFlag> flags) {
        for (const TCommandFlag flag : flags)
            FBits = static_cast<std::uint8_t>(FBits | Bit(flag));
    }

    constexpr bool Contains(TCommandFlag flag) const { return (FBits & Bit(flag)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint8_t Bits() const { return FBits; }

    constexpr TCommandFlags& operator+=(TCommandFlags other) {
        FBits = static_cast<std::uint8_t>(FBits | other.FBits);
        return *this;
    }
    constexpr TCommandFlags& operator-=(TCommandFlags other) {
        FBits = static_cast<std::uint8_t>(FBits & ~other.FBits);
        return *this;
    }
    friend constexpr TCommandFlags operator+(TCommandFlags a, TCommandFlags b) { return a += b; }
    friend constexpr TCommandFlags operator-(TCommandFlags a, TCommandFlags b) { return a -= b; }
    friend constexpr bool operator==(TCommandFlags a, TCommandFlags b) { return a.FBits == b.FBits; }

private:
    static constexpr std::uint8_t Bit(TCommandFlag flag) { return static_cast<std::uint8_t>(1u << flag); }
    std::uint8_t FBits = 0;
};

// What a successful run of a command usually reports: the history stays, and
// the command may be undone and redone.
inline constexpr TCommandFlags kCommandDone = {cfKeepHistory, cfUndoable, cfRedoable};

// An operation that can be executed, undone and redone. The invoker empties
// Flags before each run; the command sets them during the run, and the flags
// set before a failure still count.
class TCommand : public TObject {
public:
    TCommandFlags Flags;

    virtual void Execute() = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
};

// Runs commands and keeps them in three owning lists: the pending commands
// (first in, first out), the undo stack and the redo stack (their last
// elements are the next to undo and to redo). After each run one fixed rule
// table applies the command's flags, also when the run threw; the exception
// then passes on unchanged. Callers append to the pending list (the invoker
// owns what it holds) and may empty the stacks directly.
class TInvoker : public TObject {
public:
    TInvoker() = default;
    // Frees the redo stack, the undo stack and the pending list, in that order.
    ~TInvoker() override;

    TObjectList& PendingCommands() { return FPendingCommands; }
    TObjectList& UndoCommands() { return FUndoCommands; }
    TObjectList& RedoCommands() { return FRedoCommands; }

protected:
    virtual void AfterExecute();
    virtual void AfterUndo();
    virtual void AfterRedo();

public:
    // Each raises the list index error when its list is empty.
    virtual TCommand* GetPending();
    virtual TCommand* GetLastUndo();
    virtual TCommand* GetLastRedo();

    // Runs the first pending command; on an empty list the list index error
    // is raised before anything changes, as for Undo and Redo.
    virtual void Execute();
    virtual bool CanExecute();
    virtual void Undo();
    virtual bool CanUndo();
    virtual void Redo();
    virtual bool CanRedo();

private:
    void Run(TCommand* command, void (TCommand::*run)(), void (TInvoker::*after)());
    void MoveLast(TObjectList& from, TCommandFlag stayFlag, TObjectList& to, TCommandFlag moveFlag);

    TObjectList FPendingCommands;
    TObjectList FUndoCommands;
    TObjectList FRedoCommands;
};

// Hands a command that has been built to the invoker and runs it; from then
// on the invoker keeps it or frees it as its flags say.
template <class T>
void ExecuteCommand(TInvoker& invoker, TAutoPointer<T>& command) {
    invoker.PendingCommands().Add(command.Get());
    command.Release();
    invoker.Execute();
}
