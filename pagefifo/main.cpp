#include "console.hpp"
#include "trace.hpp"

int main() { return console::runOnStandardStreams("pagefifo", pagefifo::runPagefifo); }
