// Panels: plain areas that hold other controls; timers.
#pragma once

#include "framework/Fw_controls.h"
#include "framework/Fw_messages.h"

// A flat area without a bevel, the parent window of the controls that name
// it as Parent. It hands their notifications on to the form.
class TPanel : public TControl {
public:
    TPanel(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    bool IsContainer() const override { return true; }
};

// Calls OnTimer on the main thread every interval while it runs, as the
// system's timer does: only when no other message waits, never twice for
// one missed interval. Its window goes with it.
class TTimer : public TObject {
public:
    TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;
    ~TTimer() override;

    // Starts counting the interval (milliseconds) from now, also when it
    // runs already; raises EInvalidOperation when the system has no timer.
    void Start(unsigned interval);
    void Stop();

    TNotifyEvent OnTimer;

private:
    TUtilWindowHandle FWindow;
};
