#include "backup/ombrix_program.h"
#include "desktop/program_main.h"

int main(int argc, char* argv[]) {
    return shared::RunProgram<ombrix::OmbrixProgram>(argc, argv);
}
