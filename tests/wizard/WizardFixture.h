#pragma once
// What the wizard tests share: a folder holding the person and item
// databases that is the process's current directory while it lives (the
// wizard finds its databases there), and the file a plain export run
// writes from it, to compare the wizard's files with.
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "export/wizard/ScreenPointer.h"
#include "platform/MessageSink.h"
#include "tools/init/InitCommand.h"
#include "engine/ConnectionString.h"

// Readable failure messages for the suite's UTF-8 texts.
template <>
inline char* QTest::toString(const std::string& text) {
    return qstrdup(text.c_str());
}

namespace lumo::test {

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The first `lines` lines of a file's bytes, each with its CR LF.
inline std::string firstLines(const std::string& bytes, int lines) {
    std::size_t end = 0;
    for (int i = 0; i < lines; ++i) {
        end = bytes.find("\r\n", end);
        if (end == std::string::npos) throw std::runtime_error("file has fewer lines than expected");
        end += 2;
    }
    return bytes.substr(0, end);
}

inline int countLines(const std::string& bytes) {
    int lines = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
    return lines;
}

// Notes, for every message box, whether the hourglass showed when it
// appeared, and leaves the answer to the sink installed before it.
class PointerWitness {
public:
    PointerWitness()
        : previous_(setMessageSink([this](const MessageRequest& request) {
              hourglass_.push_back(wizard::hourglassShown());
              return previous_ ? previous_(request) : defaultMessageSink(request);
          })) {}
    ~PointerWitness() { setMessageSink(std::move(previous_)); }
    PointerWitness(const PointerWitness&) = delete;
    PointerWitness& operator=(const PointerWitness&) = delete;

    const std::vector<bool>& hourglass() const { return hourglass_; }

private:
    std::vector<bool> hourglass_;
    MessageSink previous_;
};

class DatabaseFolder {
public:
    static constexpr int kPersonCount = 5;
    static constexpr int kSheetCount = 4;

    DatabaseFolder() : previous_(std::filesystem::current_path()) {
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
        tools::InitOptions options;
        options.folder = path();
        options.persons = kPersonCount;
        options.sheets = kSheetCount;
        tools::createDatabases(options);
        std::filesystem::current_path(path());
    }
    ~DatabaseFolder() { std::filesystem::current_path(previous_); }
    DatabaseFolder(const DatabaseFolder&) = delete;
    DatabaseFolder& operator=(const DatabaseFolder&) = delete;

    std::string path() const { return dir_.path().toStdString(); }
    std::filesystem::path file(const std::string& name) const { return std::filesystem::path(path()) / name; }

    std::string connection(int16_t kind) const {
        const char* db = kind == exporter::kPersons ? "LumoBase.mdb" : "iLumoBase.mdb";
        return lumo::db::jetConnectionString((file("Data") / db).string());
    }

    // The bytes a run without windows writes for `kind`; it must report
    // nothing, or the comparison would prove little.
    std::string reference(int16_t kind) const {
        const auto out = file(kind == exporter::kPersons ? "reference-persons.csv" : "reference-goods.csv");
        RecordingSink quiet;
        const exporter::ExportResult result = exporter::runExport(connection(kind), out.string(), kind, {});
        if (result.failed || !quiet.messages().empty()) throw std::runtime_error("reference export failed");
        std::string bytes = readBytes(out);
        std::filesystem::remove(out);
        return bytes;
    }

private:
    QTemporaryDir dir_;
    std::filesystem::path previous_;
};

}  // namespace lumo::test

// Answers are columns of data-driven cases.
Q_DECLARE_METATYPE(lumo::MsgResult)
