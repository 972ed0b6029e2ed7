#include "app/handlers/Trel_handler.h"

#include "support/Vek_file.h"

#include <windows.h>

#include <vector>

std::string ProgramDirectory() {
    // A path longer than the buffer comes back cut off (and, on older systems,
    // without its terminating zero): grow until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            throw EHandlerError("The program could not find its own directory.");
        if (length < buffer.size()) {
            TPath directory(TPath(std::string(buffer.data(), length)).GetDirectory());
            directory.IncludeTrailing('\\');
            return directory.GetPath();
        }
        if (buffer.size() >= 32768)
            throw EHandlerError("The program could not find its own directory.");
        buffer.resize(buffer.size() * 2);
    }
}
