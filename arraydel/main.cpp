#include "arraydel.hpp"
#include "console.hpp"

int main() { return console::runOnStandardStreams("arraydel", arraydel::runArraydel); }
