// Stands in, in a test, for a cmd.exe planted in the current folder, on PATH or in COMSPEC: if it
// is ever run, it leaves a file in the current folder that says so.
#include <cstdio>

int main() {
    if (std::FILE* trace = std::fopen("planted-cmd-ran", "w")) std::fclose(trace);
    return 0;
}
