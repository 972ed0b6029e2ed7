#include "app/Trel_actioncommand.h"
