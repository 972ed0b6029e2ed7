// The base of the commands that one user action creates.
#pragma once

#include "support/Vek_command.h"

// A command that one user action creates and that goes onto the user's
// history. Adds nothing: the Edit and Rename menus tell the kinds apart by class.
class TActionCommand : public TCommand {};
