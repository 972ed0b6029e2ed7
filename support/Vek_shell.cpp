#include "support/Vek_shell.h"

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
    return static_cast<int>(DragQueryFileA(FDrop, 0xFFFFFFFF, nullptr, 0));
}

std::string TFileDrop::GetFile(int index) const {
    CheckNotFinished();
    if (index < 0 || index >= GetCount())
        throw EShellError("The program cannot get the path of the dropped file.");
    const UINT length = DragQueryFileA(FDrop, static_cast<UINT>(index), nullptr, 0);
    std::string path(length, '\0');
    // One more for the terminator, which the string keeps past its end.
    const UINT copied = DragQueryFileA(FDrop, static_cast<UINT>(index), path.data(), length + 1);
    path.resize(copied < length ? copied : length);
    return path;
}

void TFileDrop::CheckNotFinished() const {
    if (IsFinished())
        throw EShellError("The file drop has been already finished.");
}
