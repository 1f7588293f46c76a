#include "exchange/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/Error.h"
#include "platform/StagedFile.h"

namespace lumo::exchange {

std::string readFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Error("ファイル '" + file.string() + "' を開けません: " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw Error("ファイル '" + file.string() + "' を読めません: " + std::strerror(errno));
    return std::move(bytes).str();
}

void writeFileStaged(const std::filesystem::path& target, std::string_view bytes, bool replace) {
    StagedFile staged(target);
    {
        std::ofstream out(staged.path(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) throw Error("ファイル '" + target.string() + "' に書き込めません: " + std::strerror(errno));
    }
    staged.publish(replace ? StagedFile::Replace::Yes : StagedFile::Replace::No);
}

}  // namespace lumo::exchange
