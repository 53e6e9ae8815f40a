#include <unistd.h>

#include <iostream>

#include "app/AnalyzeTool.h"

int main(int argc, char** argv) {
    return runAnalyzeTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                          isatty(STDERR_FILENO) == 1);
}
