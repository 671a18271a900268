#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform.hpp"

namespace {

std::string folderOfThisProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.find_last_of("\\/") + 1);
}

// Clearing the console must never run a cmd.exe from the current folder, from PATH or from
// COMSPEC, where anyone may have put one: a planted one stands in all three places here.
TEST(ClearScreen, RunsOnlyTheCommandInterpreterOfTheSystemFolder) {
    const std::string here = folderOfThisProgram();
    const std::string folder = here + "planted";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string planted = folder + "\\cmd.exe";
    ASSERT_TRUE(CopyFileA((here + "planted_cmd.exe").c_str(), planted.c_str(), FALSE));
    DeleteFileA((folder + "\\planted-cmd-ran").c_str());

    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    SetEnvironmentVariableA("COMSPEC", planted.c_str());
    SetEnvironmentVariableA("PATH", folder.c_str());

    const bool cleared = platform::clearConsoleWindow();

    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(cleared) << "the command interpreter of the system folder did not run";
    EXPECT_EQ(GetFileAttributesA((folder + "\\planted-cmd-ran").c_str()), INVALID_FILE_ATTRIBUTES)
        << "a planted cmd.exe was run";
}

}  // namespace
