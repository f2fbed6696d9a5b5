// A second process for tests that need windows of another program:
// win_tests.exe started again with --window-maker.
#pragma once

#include <windows.h>

#include <string>

namespace wintest {

// Runs the maker when the arguments ask for it; returns true if it ran.
// --window-maker PREFIX COUNT HOLD_MS RESULT_FILE: makes COUNT visible
// top-level windows titled "PREFIX i" one after another, keeps each for
// HOLD_MS while pumping, destroys it, and writes the longest CreateWindow
// and DestroyWindow times in milliseconds to RESULT_FILE.
bool RunWindowMakerIfAsked(int argc, char** argv, int& exitCode);

struct MakerResult {
    bool ok = false;
    DWORD longestCreateMs = 0;
    DWORD longestDestroyMs = 0;
};

// Starts the maker and returns its process handle (null on failure).
HANDLE StartWindowMaker(const std::string& prefix, int count, int holdMs,
                        const std::string& resultFile);
MakerResult ReadMakerResult(const std::string& resultFile);

} // namespace wintest
