// The Lumetra program: everything it does lives in the application's library.
#include "app/LumetraProgram.h"

int main(int argc, char** argv) {
    return RunLumetra(argc, argv);
}
