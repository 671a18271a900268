#include <string>
#include <vector>

#include "console.hpp"
#include "pagesim.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return console::runOnStandardStreams(
        [&](console::Streams& streams) { return pagesim::runPagesim(arguments, streams); });
}
