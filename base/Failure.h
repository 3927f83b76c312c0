#pragma once

#include <stdexcept>

// A failure that ends the demo. It carries a plain text message, which main
// writes after "ERROR: ".
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
