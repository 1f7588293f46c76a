#include "platform/Cp932File.h"

#include "platform/Error.h"
#include "platform/Utf8.h"
#include "platform/db/FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <system_error>

namespace lumo {
namespace {

// Lines collect in memory and go to the file in chunks of this size.
constexpr std::size_t kFlushSize = 256 * 1024;

std::string systemMessage(int error) { return std::system_category().message(error); }

Error writeError(const std::string& path, int error) {
    return Error("ファイルに書き込めません: " + path + " (" + systemMessage(error) + ")");
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

std::size_t asciiRunLength(std::string_view s) {
    const auto it = std::find_if(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return static_cast<std::size_t>(it - s.begin());
}

}  // namespace

struct Cp932Encoder::Impl {
    // glibc's "CP932" rather than "SHIFT_JIS": only the former has the NEC
    // and IBM extensions (①, 髙) and maps ～ (U+FF5E) to 0x8160 as Windows does.
    iconv_t cd = iconv_open("CP932", "UTF-8");

    Impl() {
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            throw Error("文字コードの変換を準備できません: UTF-8 から CP932 (" + systemMessage(errno) + ")");
        }
    }
    ~Impl() { iconv_close(cd); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // Converts a run of non-ASCII bytes. The whole run goes to iconv at
    // once; after a failure the rest of the run goes one character at a
    // time, because glibc restarts its work on everything left in the input
    // after each failure, which makes text full of unencodable characters
    // quadratic.
    std::size_t convertRun(std::string_view run, std::string& out) {
        const std::size_t base = out.size();
        // CP932 never needs more bytes than UTF-8 for a character outside
        // ASCII, and a '?' is not longer than what it replaces.
        out.resize(base + run.size());
        char* dest = out.data() + base;
        std::size_t done = convert(run, dest);
        std::size_t replaced = 0;
        while (done < run.size()) {
            const std::string_view rest = run.substr(done);
            const int length = utf8::sequenceLength(rest);
            const auto size = static_cast<std::size_t>(length < 0 ? -length : length);
            if (length < 0 || convert(rest.substr(0, size), dest) < size) {
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                *dest++ = '?';
                ++replaced;
            }
            done += size;
        }
        out.resize(static_cast<std::size_t>(dest - out.data()));
        return replaced;
    }

    // Converts as much of `in` as iconv can and advances `dest` past the
    // output; returns how many input bytes were consumed.
    std::size_t convert(std::string_view in, char*& dest) {
        char* from = const_cast<char*>(in.data());  // iconv's signature; it only reads
        std::size_t inLeft = in.size();
        std::size_t outLeft = in.size();
        iconv(cd, &from, &inLeft, &dest, &outLeft);
        return in.size() - inLeft;
    }
};

Cp932Encoder::Cp932Encoder() : impl_(std::make_unique<Impl>()) {}

Cp932Encoder::~Cp932Encoder() = default;

std::size_t Cp932Encoder::encode(std::string_view utf8, std::string& out) {
    // ASCII is the same in CP932: a plain ASCII text is copied. Any other
    // text goes to iconv in one call from its first non-ASCII byte on, since
    // a call per Japanese word between the commas costs more than iconv
    // copying the ASCII between them.
    const std::size_t ascii = asciiRunLength(utf8);
    out.append(utf8.data(), ascii);
    utf8.remove_prefix(ascii);
    return utf8.empty() ? 0 : impl_->convertRun(utf8, out);
}

Cp932File::Cp932File(const std::string& path) : path_(path) {
    if (const int injected = db::fileFault(db::FaultStep::FileWrite, path_))
        throw Error("ファイルを作成できません: " + path_ + " (" + systemMessage(injected) + ")");
    file_.reset(std::fopen(path.c_str(), "wb"));
    if (!file_) throw Error("ファイルを作成できません: " + path_ + " (" + systemMessage(errno) + ")");
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
        throw writeError(path_, injected);
    }
    replaced_ += encoder_.encode(utf8, buffer_);
    buffer_ += "\r\n";
    if (buffer_.size() < kFlushSize) return;
    if (const int error = writeAll(file_.get(), buffer_)) throw writeError(path_, error);
}

void Cp932File::close() {
    if (!file_) return;
    int error = db::fileFault(db::FaultStep::FileWrite, path_);
    if (error != 0) buffer_.clear();
    else error = writeAll(file_.get(), buffer_);
    errno = 0;
    if (std::fclose(file_.release()) != 0 && error == 0) error = errno != 0 ? errno : EIO;
    if (error != 0) throw writeError(path_, error);
}

}  // namespace lumo
