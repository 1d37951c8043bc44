#include "windows/Startup.h"

int main(int argc, char **argv)
{
    return RunTutor(argc, argv);
}
