#include "platform/Cp932File.h"

#include "platform/Error.h"
#include "platform/FailureKinds.h"
#include "platform/Utf8.h"
#include "platform/FaultInjection.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <system_error>
#include <vector>

namespace lumo {
namespace {

// Lines collect in memory and go to the file in chunks of this size.
constexpr std::size_t kFlushSize = 256 * 1024;

std::string systemMessage(int error) { return std::system_category().message(error); }

Error writeError(const std::string& path, int error) {
    return Error("ファイルに書き込めません: " + path + " (" + systemMessage(error) + ")", kindOfSystemError(error));
}

// Writes and empties `buffer`; returns 0 or the error number of a failed
// write. What could not be written is dropped either way.
int writeAll(std::FILE* file, std::string& buffer) {
    errno = 0;
    const bool complete = std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
    const int error = errno != 0 ? errno : EIO;
    buffer.clear();
    return complete ? 0 : error;
}

// What a character of the Basic Multilingual Plane becomes, learnt from
// iconv the first time the character is met: a call into iconv per
// character costs some hundred times a table look-up, and an export
// repeats the same few thousand characters. CP932 holds nothing beyond
// that plane.
class Cp932Memo {
public:
    static constexpr uint16_t kUnknown = 0;
    static constexpr uint16_t kUnmappable = 1;
    static constexpr uint16_t kUncached = 2;  // iconv gave neither one nor two bytes: asked every time

    uint16_t& operator[](char32_t c) { return codes_[c]; }

    // One byte b is stored as 0x100 | b; two bytes as lead << 8 | trail,
    // whose lead byte (0x81 or above) keeps it apart from the rest.
    static uint16_t code(std::string_view bytes) {
        const auto byte = [&](std::size_t i) { return static_cast<uint16_t>(static_cast<unsigned char>(bytes[i])); };
        if (bytes.size() == 1) return static_cast<uint16_t>(0x100 | byte(0));
        if (bytes.size() == 2 && byte(0) >= 0x81) return static_cast<uint16_t>(byte(0) << 8 | byte(1));
        return kUncached;
    }
    static char* write(uint16_t code, char* dest) {
        if (code < 0x200) {
            *dest++ = static_cast<char>(code & 0xFF);
        } else {
            *dest++ = static_cast<char>(code >> 8);
            *dest++ = static_cast<char>(code & 0xFF);
        }
        return dest;
    }

private:
    std::vector<uint16_t> codes_ = std::vector<uint16_t>(0x10000, kUnknown);
};

// The code point of a well-formed sequence of `length` bytes.
char32_t codePoint(std::string_view s, int length) {
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(s[i])); };
    switch (length) {
    case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    default: return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    }
}

// utf8::sequenceLength, answered inline for the common case: kana and
// kanji are three bytes with a lead byte that puts no limit on the second.
int threeByteLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (s.size() >= 3 && lead >= 0xE1 && lead <= 0xEF && lead != 0xED && (byte(1) & 0xC0) == 0x80 &&
        (byte(2) & 0xC0) == 0x80)
        return 3;
    return utf8::sequenceLength(s);
}

}  // namespace

struct Cp932Encoder::Impl {
    // glibc's "CP932" rather than "SHIFT_JIS": only the former has the NEC
    // and IBM extensions (①, 髙) and maps ～ (U+FF5E) to 0x8160 as Windows does.
    iconv_t cd = iconv_open("CP932", "UTF-8");
    Cp932Memo memo;

    Impl() {
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            throw Error("文字コードの変換を準備できません: UTF-8 から CP932 (" + systemMessage(errno) + ")");
        }
    }
    ~Impl() { iconv_close(cd); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Writes the character `utf8` (one well-formed sequence outside ASCII)
    // at `dest` and advances it; false when CP932 has no such character.
    bool encodeCharacter(std::string_view utf8, char*& dest) {
        const char32_t c = codePoint(utf8, static_cast<int>(utf8.size()));
        uint16_t code = c < 0x10000 ? memo[c] : Cp932Memo::kUncached;
        if (code == Cp932Memo::kUnknown) {
            char bytes[8];
            char* end = bytes;
            code = convert(utf8, end) ? Cp932Memo::code(std::string_view(bytes, static_cast<std::size_t>(end - bytes)))
                                      : Cp932Memo::kUnmappable;
            memo[c] = code;
        }
        if (code == Cp932Memo::kUnmappable) return false;
        if (code != Cp932Memo::kUncached) {
            dest = Cp932Memo::write(code, dest);
            return true;
        }
        return convert(utf8, dest);
    }

    // Converts one character with iconv, at most as many bytes as it has
    // in UTF-8; false (and nothing written) when iconv refuses it.
    bool convert(std::string_view in, char*& dest) {
        char* from = const_cast<char*>(in.data());  // iconv's signature; it only reads
        char* to = dest;
        std::size_t inLeft = in.size();
        std::size_t outLeft = in.size();
        const bool done = iconv(cd, &from, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
        if (!done) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            return false;
        }
        dest = to;
        return true;
    }
};

Cp932Encoder::Cp932Encoder() : impl_(std::make_unique<Impl>()) {}

Cp932Encoder::~Cp932Encoder() = default;

// ASCII is the same in CP932 and is copied; each other character is taken
// from the memo. The output is never longer than the input: a character
// outside ASCII has two to four bytes in UTF-8 and at most two in CP932,
// and a '?' stands for at least one byte.
std::size_t Cp932Encoder::encode(std::string_view utf8, std::string& out) {
    const std::size_t base = out.size();
    out.resize(base + utf8.size());
    char* dest = out.data() + base;
    std::size_t replaced = 0;
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            *dest++ = static_cast<char>(byte);
            ++i;
            continue;
        }
        const std::string_view rest = utf8.substr(i);
        const int length = threeByteLength(rest);
        const auto size = static_cast<std::size_t>(length < 0 ? -length : length);
        if (length < 0 || !impl_->encodeCharacter(rest.substr(0, size), dest)) {
            *dest++ = '?';
            ++replaced;
        }
        i += size;
    }
    out.resize(static_cast<std::size_t>(dest - out.data()));
    return replaced;
}

Cp932File::Cp932File(const std::string& path) : path_(path) {
    if (const int injected = db::fileFault(db::FaultStep::FileWrite, path_))
        throw Error("ファイルを作成できません: " + path_ + " (" + systemMessage(injected) + ")", kindOfSystemError(injected));
    file_.reset(std::fopen(path.c_str(), "wb"));
    if (!file_) {
        const int error = errno;
        throw Error("ファイルを作成できません: " + path_ + " (" + systemMessage(error) + ")", kindOfSystemError(error));
    }
    // This class buffers whole chunks itself; a second copy through stdio's
    // buffer would gain nothing.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    buffer_.reserve(kFlushSize + 4096);
}

Cp932File::~Cp932File() {
    // A destructor cannot report; callers that care about write errors call
    // close() first.
    if (file_) writeAll(file_.get(), buffer_);
}

void Cp932File::writeLine(std::string_view utf8) {
    if (!file_) throw Error("ファイルは既に閉じられています: " + path_);
    if (const int injected = db::fileFault(db::FaultStep::FileWrite, path_)) {
        buffer_.clear();  // as a failed write drops what it could not write
        failed_ = true;
        throw writeError(path_, injected);
    }
    replaced_ += encoder_.encode(utf8, buffer_);
    buffer_ += "\r\n";
    if (buffer_.size() < kFlushSize) return;
    if (const int error = writeAll(file_.get(), buffer_)) {
        failed_ = true;
        throw writeError(path_, error);
    }
}

void Cp932File::close() {
    if (!file_) return;
    int error = db::fileFault(db::FaultStep::FileWrite, path_);
    if (error != 0) buffer_.clear();
    else error = writeAll(file_.get(), buffer_);
    errno = 0;
    if (std::fclose(file_.release()) != 0 && error == 0) error = errno != 0 ? errno : EIO;
    if (error != 0) {
        failed_ = true;
        throw writeError(path_, error);
    }
}

}  // namespace lumo
