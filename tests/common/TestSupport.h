// Helpers shared by the test suites.
#pragma once

#include "framework/Fw_classes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A unique folder under the system's temporary folder, removed with all its
// contents when the object goes.
class TTempDir {
public:
    TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir();

    const std::string& Path() const { return FPath; }
    // Path of an entry inside the folder.
    std::string operator/(const std::string& name) const { return FPath + "\\" + name; }
    // Creates a file with the given contents; returns its path.
    std::string MakeFile(const std::string& name, const std::string& contents = std::string()) const;
    std::string MakeDir(const std::string& name) const;
    // Makes the blank-separated names: files, or folders where a name ends
    // in "\"; returns their paths.
    std::vector<std::string> MakeEntries(const std::string& names) const;

private:
    std::string FPath;
};

// Names in any script, whether the code page holds them or not.
std::wstring WideOf(const std::string& text);
std::string NarrowOf(const std::wstring& wide);
std::string Utf8(const std::wstring& wide);
// Makes a file or folder in the folder with a UTF-16 name; returns its path in
// UTF-16.
std::wstring MakeWideEntry(const TTempDir& dir, const std::wstring& name, bool folder = false);

// A DROPFILES block as the shell builds it (the paths, each ended by a zero,
// and one more zero), in the ANSI code page or in UTF-16; null when out of memory.
HGLOBAL MakeDropBlock(const std::vector<std::string>& paths);
HGLOBAL MakeDropBlock(const std::vector<std::wstring>& paths);

// Reads a whole file; fails the test if it cannot.
std::string ReadFileText(const std::string& path);
bool EntryExists(const std::string& path);
// The entry's name exactly as the directory lists it (letter case included),
// or empty when there is no such entry.
std::string NameOnDisk(const std::string& path);
// The names the directory lists, sorted, without "." and "..".
std::vector<std::string> ListDirectory(const std::string& directory);

// The bytes of a resource built into the test program (RCDATA), such as the
// photos of tests/common/photos/photos.rc; fails the test when missing.
std::string ResourceBytes(const char* name);

// Makes the folder the process's current directory for the object's life.
class TCurrentDirectory {
public:
    explicit TCurrentDirectory(const std::string& path);
    TCurrentDirectory(const TCurrentDirectory&) = delete;
    TCurrentDirectory& operator=(const TCurrentDirectory&) = delete;
    ~TCurrentDirectory();

private:
    std::string FSaved;
};
// The process's current directory.
std::string CurrentDirectory();

// The strings of a list, in order, for comparing with an expected table.
std::vector<std::string> Lines(const TStrings& strings);

// The thread's last-error value, set to a sentinel before a Win32 call and read
// after it, to tell "the call cleared or kept it" from "the call set it".
constexpr DWORD kSentinelError = 0xDEADBEEF;

// Runs the message queue until the condition holds or the time is up.
bool PollUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// The double-byte lead byte range of the active code page is what the tests
// of double-byte rules need; these report whether they can run.
bool IsDoubleByteCodePage();

// The clipboard as the tests use it: plain text through the framework's
// clipboard; UTF-16 text put in that format alone, from another thread, as
// another program puts it; and what another program reads in UTF-16 or as
// plain text (empty when the clipboard offers no such format).
void SetClipboardText(const std::string& text);
void EmptyTheClipboard();
std::string ClipboardText();
void PutClipboardUnicode(const std::wstring& text);
std::wstring ClipboardUnicode();
std::string ClipboardPlain();

// The errors that reach the exception display while the object lives, in
// order, and whether every one was shown on the main thread.
class TShownErrors {
public:
    TShownErrors();
    TShownErrors(const TShownErrors&) = delete;
    TShownErrors& operator=(const TShownErrors&) = delete;
    ~TShownErrors();

    std::vector<std::string> Messages;
    bool OnMainThread = true;
};

// What a call threw, for comparing in tables: empty, "abort" for the silent
// abort, or the error's message.
std::string ErrorOf(const std::function<void()>& call);

// Expects the call to throw the error class E with exactly the message; a
// failure names the caller's line.
template <class E, class F>
void ExpectErrorMessage(F&& call, const std::string& message, int line) {
    SCOPED_TRACE(testing::Message() << "called from line " << line);
    try {
        call();
        ADD_FAILURE() << "no exception of the expected class";
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    }
}
#define EXPECT_ERROR_MESSAGE(E, call, message) ExpectErrorMessage<E>([&] { call; }, message, __LINE__)
