// Panels: plain areas that hold other controls.
#pragma once

#include "framework/Fw_controls.h"

// A flat area without a bevel, the parent window of the controls that name
// it as Parent. It hands their notifications on to the form.
class TPanel : public TControl {
public:
    TPanel(TControlHost& host, const TControlDef& def, const RECT& designBounds);

    bool IsContainer() const override { return true; }
};
