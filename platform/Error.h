#pragma once
// A failure that carries a description text for the user. Every layer of
// the suite raises this (or lets it pass); the error report shows what().
#include <stdexcept>
#include <string>

namespace lumo {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    const char* description() const noexcept { return what(); }
};

}  // namespace lumo
