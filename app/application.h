// The window program: application object, icon, the checks made once at start, the event loop.
#pragma once

int runWindow(int argc, char *argv[]);
