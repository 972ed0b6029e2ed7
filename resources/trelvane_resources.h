/* Resource identifiers shared by the resource scripts and the code. */
#pragma once

/* The program icon: the window class of every form and the shell load it. */
#define TRELVANE_ICON 1
