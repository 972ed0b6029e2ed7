// The check of a rename: which entries each reason selects, on real files.
#include "app/Trel_renamecheck.h"
#include "tests/TestSupport.h"
