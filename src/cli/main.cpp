#include "cli/Commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const vidloom::cli::Args args(argv + 1, argv + argc);
    const int status = vidloom::cli::runCli(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
