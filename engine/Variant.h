#pragma once
// The value of a field or a parameter: Empty, Null, Integer (16-bit),
// Long (32-bit), Double, Date (automation date), Boolean or String (UTF-8).
// Conversions follow the automation rules: Null converts to nothing and
// fails with a description; Empty is 0 or ""; Boolean is -1 or 0.
// A value type: copies are independent; any thread may use its own copy.
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace lumo::db {

enum class VarType { Empty, Null, Integer, Long, Double, Date, Boolean, String };

class Variant {
public:
    Variant() = default;  // Empty
    Variant(int16_t v) : v_(v) {}
    Variant(int32_t v) : v_(v) {}
    Variant(double v) : v_(v) {}
    Variant(bool v) : v_(v) {}
    Variant(std::string v) : v_(std::move(v)) {}
    Variant(std::string_view v) : v_(std::in_place_type<std::string>, v) {}
    Variant(const char* v) : v_(std::string(v)) {}
    // Any other pointer would become a Boolean through the pointer's
    // truth value; a null pointer constant would crash as text.
    template <class T>
        requires(!std::is_same_v<std::remove_cv_t<T>, char>)
    Variant(T*) = delete;
    Variant(std::nullptr_t) = delete;

    static Variant null() { return Variant(NullTag{}); }
    static Variant date(double automationDate) { return Variant(DateTag{automationDate}); }

    VarType type() const { return static_cast<VarType>(v_.index()); }
    bool isNull() const { return type() == VarType::Null; }
    bool isEmpty() const { return type() == VarType::Empty; }

    // Each throws lumo::Error on Null ("Null の使い方が不正です。"), on text
    // that is not a number, and on a value out of the target's range.
    int32_t toLong() const;
    int16_t toInteger() const;
    double toDouble() const;
    double toDate() const;
    bool toBool() const;
    std::string toString() const;

    // The text of a String value without a copy; nullptr for other types.
    const std::string* stringValue() const { return std::get_if<std::string>(&v_); }

    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    struct NullTag { bool operator==(const NullTag&) const = default; };
    struct DateTag { double value; bool operator==(const DateTag&) const = default; };
    // Made in place: a row read holds many Nulls.
    explicit Variant(NullTag tag) : v_(tag) {}
    explicit Variant(DateTag tag) : v_(tag) {}
    // Order matches VarType.
    std::variant<std::monostate, NullTag, int16_t, int32_t, double, DateTag, bool, std::string> v_;
};

// What every writer of the files stores for a text: an empty text means
// "not given" and is stored as Null. The library's writers and `lumo init`
// both store through this.
inline Variant textOrNull(std::string_view text) { return text.empty() ? Variant::null() : Variant(text); }

}  // namespace lumo::db
