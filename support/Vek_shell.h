// The paths of files dropped on a window.
#pragma once

#include "framework/Fw_classes.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

class EShellError : public Exception {
public:
    using Exception::Exception;
};

// Reads the paths of a drop handle (the one WM_DROPFILES brings) and releases
// the handle. Once finished, only IsFinished, Finish and the destructor may
// be used.
class TFileDrop {
public:
    TFileDrop(HDROP drop, bool finishOnDestruction);
    TFileDrop(const TFileDrop&) = delete;
    TFileDrop& operator=(const TFileDrop&) = delete;
    // Finishes the drop if it was not finished and finishOnDestruction is set.
    virtual ~TFileDrop();

    // Replaces the list's contents by all dropped paths in drop order; a
    // failure leaves the list as it was.
    virtual void GetFiles(TStrings& files) const;
    // Releases the drop handle; does nothing when already finished.
    virtual void Finish();
    virtual bool IsFinished() const;

    int GetCount() const;
    // The path at the index in the ANSI code page. A path with a character
    // that the code page cannot hold raises EShellError (never a look-alike,
    // which could name another file).
    std::string GetFile(int index) const;

private:
    void CheckNotFinished() const;

    HDROP FDrop;
    bool FFinishOnDestruction;
};
