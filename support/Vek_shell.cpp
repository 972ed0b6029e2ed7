#include "support/Vek_shell.h"

#include "framework/Fw_fileapi.h"

TFileDrop::TFileDrop(HDROP drop, bool finishOnDestruction)
    : FDrop(drop), FFinishOnDestruction(finishOnDestruction) {}

TFileDrop::~TFileDrop() {
    if (FFinishOnDestruction)
        Finish();
}

void TFileDrop::GetFiles(TStrings& files) const {
    CheckNotFinished();
    const int count = GetCount();
    TStringList paths;
    paths.SetCapacity(count);
    for (int i = 0; i < count; ++i)
        paths.Add(GetFile(i));
    files.Assign(paths);
}

void TFileDrop::Finish() {
    if (FDrop) {
        DragFinish(FDrop);
        FDrop = nullptr;
    }
}

bool TFileDrop::IsFinished() const {
    return FDrop == nullptr;
}

int TFileDrop::GetCount() const {
    CheckNotFinished();
    return static_cast<int>(DragQueryFileW(FDrop, 0xFFFFFFFF, nullptr, 0));
}

std::string TFileDrop::GetFile(int index) const {
    CheckNotFinished();
    if (index < 0 || index >= GetCount())
        throw EShellError("The program cannot get the path of the dropped file.");
    // Read in UTF-16 and narrowed here: the ANSI form would name a file that
    // the code page cannot hold by a look-alike, which may be another file.
    const UINT length = DragQueryFileW(FDrop, static_cast<UINT>(index), nullptr, 0);
    std::wstring wide(length, L'\0');
    // One more for the terminator, which the string keeps past its end.
    const UINT copied = DragQueryFileW(FDrop, static_cast<UINT>(index), wide.data(), length + 1);
    wide.resize(copied < length ? copied : length);
    std::string path;
    if (!FileApi::FromSystemPath(std::move(wide), path))
        throw EShellError("The path of a dropped file holds a character that the system's code page cannot "
                          "represent.");
    return path;
}

void TFileDrop::CheckNotFinished() const {
    if (IsFinished())
        throw EShellError("The file drop has been already finished.");
}
