// UsageError: what a person asked of morv-host cannot be done as asked (a
// malformed assignment, a value the page does not take, an unreadable
// file); the program says so and exits with 2.
#pragma once

#include <stdexcept>

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
