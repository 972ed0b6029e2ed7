#include "app/Trel_editcommand.h"
