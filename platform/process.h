#pragma once
// Starting other programs without waiting for them.
#include <string>
#include <vector>

namespace kelvane::process {

// Splits a command line at single spaces into the program and its arguments (an empty piece, from
// two spaces in a row, is kept as an empty argument, as the desktop's starter would pass it).
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// Starts the program with the arguments (CP932, converted to native names) and does not wait.
// Returns true when the program could be started; false (with the reason in *error) otherwise.
bool start(const std::vector<std::string>& argv, std::string* error = nullptr);

// The desktop's "open" of a document or folder (xdg-open). Returns whether it could be started.
bool openDocument(const std::string& path, std::string* error = nullptr);

}  // namespace kelvane::process
