// The program's entry: the administrator's commands without a window, or the window for the
// counter.
#include "app/application.h"
#include "cli/cli.h"

int main(int argc, char *argv[])
{
    if (isCliInvocation(argc, argv))
        return runCli(argc, argv);
    return runWindow(argc, argv);
}
