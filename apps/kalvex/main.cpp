#include "server/KalvexMain.h"

int main(int argc, char* argv[])
{
    return KalvexMain(argc, argv);
}
