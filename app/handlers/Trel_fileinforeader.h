// Reading the file information of list entries as a command does: a few at
// once, many on the worker thread under the program's progress dialog.
#pragma once

#include "app/names/Trel_fileinfo.h"

#include <cstddef>
#include <vector>

// Up to this many requests are read on the main thread: a few dozen take a
// moment at most (a listing per directory, the first 64 KB of a photo), and
// a progress dialog would only flash.
constexpr std::size_t kQuickReadLimit = 64;

// Reads what the requests ask (ReadFileInfo) and stores it in their items
// (ApplyFileInfo): more than kQuickReadLimit on the worker thread under the
// progress dialog, whose Cancel stops the reading. What was read is stored
// however the reading ended; a failure is thrown after that, as
// EHandlerError. False when cancelled.
bool ReadAndStoreFileInfo(const std::vector<TFileInfoRequest>& requests);
