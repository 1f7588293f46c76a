#pragma once
// A failure that carries a description text for the user and the kind of
// failure it is. Every layer of the suite raises this (or lets it pass);
// the error report shows what() and hands the kind on to a caller that
// wants to act on it (LumoGetLastReportKind).
#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumo {

// What a caller can do about a failure. The numbers are those of the
// published header (LumoAccess::kReport...), fixed for every language.
enum class ReportKind : std::int32_t {
    None = 0,         // no report
    Other = 1,        // none of the kinds below (out of memory, an SQL text the engine refuses, ...)
    NotFound = 2,     // the record or file named does not exist
    Constraint = 3,   // the data's own rules refuse the change (a key, a check, a rule of the book)
    Busy = 4,         // another connection or program holds the file locked; trying again may work
    ReadOnly = 5,     // the file or folder cannot be written (permissions, a read-only file)
    DiskFullOrIo = 6, // the disk is full or a read or write failed
    Damaged = 7,      // the file is not a database of the suite or is damaged
    BadArgument = 8,  // the caller passed a value the operation does not take
};

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text, ReportKind kind = ReportKind::Other)
        : std::runtime_error(text), kind_(kind) {}
    explicit Error(const char* text, ReportKind kind = ReportKind::Other) : std::runtime_error(text), kind_(kind) {}
    const char* description() const noexcept { return what(); }
    ReportKind kind() const noexcept { return kind_; }

private:
    ReportKind kind_;
};

}  // namespace lumo
