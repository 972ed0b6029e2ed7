// The base of the commands that the Edit menu's Undo and Redo act on.
#pragma once

#include "app/Trel_actioncommand.h"

// An action command that Edit > Undo and Edit > Redo may act on (list edits
// and name edits), told apart from a rename by its class.
class TEditCommand : public TActionCommand {};
