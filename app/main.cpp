// The program's entry: the administrator's commands without a window, or the window for the
// counter.
#include "app/application.h"
#include "cli/cli.h"
#include "storage/database_password.h"
#include "storage/settings.h"

int main(int argc, char *argv[])
{
    // An older settings file may hold the database's password: it moves to the password file.
    movePasswordOutOfSettings(Settings::defaultPath());
    if (isCliInvocation(argc, argv))
        return runCli(argc, argv);
    return runWindow(argc, argv);
}
