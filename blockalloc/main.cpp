#include "console.hpp"
#include "dialogue.hpp"

int main() { return console::runOnStandardStreams("blockalloc", blockalloc::runBlockalloc); }
