#include "admin/tavelo_program.h"
#include "desktop/program_main.h"

int main(int argc, char* argv[]) {
    return shared::RunProgram<tavelo::TaveloProgram>(argc, argv);
}
