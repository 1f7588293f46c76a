#pragma once
// A text file written in CP932 (the Japanese Windows code page) with CR LF
// line ends, as the export files are. Text comes in as UTF-8; a character
// CP932 cannot encode is written as '?' and counted.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace lumo {

class Cp932Encoder {
public:
    Cp932Encoder();
    ~Cp932Encoder();
    Cp932Encoder(const Cp932Encoder&) = delete;
    Cp932Encoder& operator=(const Cp932Encoder&) = delete;

    // Appends the CP932 form of `utf8` to `out`; returns how many characters
    // had to be replaced by '?'. Invalid UTF-8 bytes count as replaced too.
    std::size_t encode(std::string_view utf8, std::string& out);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class Cp932File {
public:
    // Creates (or truncates) the file. Throws lumo::Error with a
    // description when it cannot be created.
    explicit Cp932File(const std::string& path);
    ~Cp932File();  // closes the file if still open
    Cp932File(const Cp932File&) = delete;
    Cp932File& operator=(const Cp932File&) = delete;

    // Writes `utf8` followed by CR LF. Throws lumo::Error on a write failure.
    void writeLine(std::string_view utf8);
    // Flushes and closes; throws lumo::Error when the data cannot be written.
    void close();

    // True once a write has failed: lines written after it would leave a
    // gap in the file.
    bool failed() const { return failed_; }
    std::size_t replacedCount() const { return replaced_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, &std::fclose};
    Cp932Encoder encoder_;
    std::string buffer_;
    std::size_t replaced_ = 0;
    bool failed_ = false;
};

}  // namespace lumo
