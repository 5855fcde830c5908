#pragma once

#include <string>

namespace packaging_test {

struct CommandResult {
    int status = -1;     // exit status, -1 when it did not end normally
    std::string output;  // standard output and standard error together
};

// Runs a shell command line; words in it are quoted with Quote.
CommandResult RunShell(const std::string& command);
std::string Quote(const std::string& word);
bool ProgramExists(const std::string& name);

// The whole file, or an empty string when it cannot be read.
std::string ReadFile(const std::string& path);

} // namespace packaging_test
