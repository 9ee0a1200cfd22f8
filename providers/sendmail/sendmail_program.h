// Running the sendmail program for one mail: it reads the mail on its
// standard input and its exit status tells the outcome (sysexits.h).
// Blocks the calling thread until the program has ended.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Runs `program` (looked up on PATH when it holds no '/') with
// `arguments`, writes `input` to its standard input and waits for its end.
// The exit status, or -1 when it could not run or was killed by a signal.
int RunWithInput(const std::string &program, const std::vector<std::string> &arguments, std::string_view input);

// The Simple MAPI result for an exit status of RunWithInput.
std::uint32_t ResultOfExit(int status);
