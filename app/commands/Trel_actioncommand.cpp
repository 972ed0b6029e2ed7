#include "app/commands/Trel_actioncommand.h"
