#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    kestrel::cli::CliApp app(std::cin, std::cout, std::cerr);
    return app.run(argc, argv);
}
