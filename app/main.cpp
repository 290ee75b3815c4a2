// The program's entry: the window for the counter.
#include "app/application.h"

int main(int argc, char *argv[])
{
    return runWindow(argc, argv);
}
