#pragma once
// The export engine: prepares the destination, creates the CSV file with the
// header line of the chosen kind, and formats and writes one line per
// record, reading every record through LumoAccess.
#include <functional>
#include <memory>
#include <string>

#include "access/LumoAccess.h"
#include "platform/Cp932File.h"
#include "platform/StagedFile.h"
#include "engine/Connection.h"

namespace lumo::exporter {

// Kinds of export; any kind other than kPersons exports goods.
inline constexpr int16_t kPersons = 0;
inline constexpr int16_t kGoods = 1;

class clsExportSource {
public:
    clsExportSource();
    ~clsExportSource();
    clsExportSource(const clsExportSource&) = delete;
    clsExportSource& operator=(const clsExportSource&) = delete;

    // False when the folder exists or was just created; true when the user
    // declined to create it or a failure was reported.
    bool FolderCheck(const std::string& strPath);
    // False when no such file exists or the user agreed to replace it; true
    // when the user declined or a failure was reported. The old file stays
    // until a complete new one replaces it (Publish), so a run that fails
    // leaves it as it was.
    bool FileCheck(const std::string& strFilePath);
    // Creates the access object, reads the group labels, opens the engine's
    // own connection and creates the file with its header line. When the
    // library reports while opening the database or reading the labels,
    // no file is created (Ready is false).
    void Initialize(const std::string& strServer, const std::string& strFile, int16_t intType);
    // Writes the line of one record to `outFile`. A record any of whose
    // reads reported is written as the empty line and counted (Unread).
    void ExecExport(int32_t lngID, Cp932File* outFile);
    // Moves the closed export file from its temporary name beside the
    // destination to the destination. Throws lumo::Error, for example when
    // `replace` is No and a file of that name exists (however new).
    void Publish(StagedFile::Replace replace);

    // True when Initialize got as far as an open file and a working access
    // object; a run that is not ready has reported why and writes nothing.
    bool Ready() const { return m_objText != nullptr && m_ready; }
    // Records written as the empty line because a read reported.
    int32_t Unread() const { return m_unread; }

    // The open export file, written under a temporary name (m_staged)
    // until Publish; removed when the object ends unpublished.
    std::unique_ptr<Cp932File> m_objText;
    // Run by a failing record before its report (the host restores the
    // screen's mouse pointer there).
    std::function<void()> m_restoreCursor;

private:
    bool CreateExportFile(std::unique_ptr<Cp932File>& text, const std::string& strFile);
    std::string BuildRecordLine(int32_t lngID, int16_t intType);
    // Reads the record and formats its line; true when one of the
    // library's reads returned its error flag.
    bool readPersonLine(int32_t lngID, std::string& line);
    bool readSheetLine(int32_t lngID, std::string& line);
    std::string FormatPersonLine(const LumoAccess::PersonInformation& person,
                                 const std::vector<LumoAccess::PhoneInformation>& phones,
                                 const std::vector<LumoAccess::MailInformation>& mails,
                                 const std::vector<LumoAccess::ChildrenInformation>& children);
    std::string FormatSheetLine(const LumoAccess::GoodsInformation& goods, const LumoAccess::SheetInformation& sheet,
                                const LumoAccess::SupplierInformation& supplier,
                                const LumoAccess::CustomerInformation& customer);
    std::string labelOf(int32_t typeId) const;

    std::unique_ptr<StagedFile> m_staged;  // the temporary file behind m_objText
    int16_t m_intType = kPersons;
    std::unique_ptr<db::Connection> m_objConnection;
    LumoAccess::Ref<LumoAccess::clsPidAccess> m_objPidAccess;
    LumoAccess::Ref<LumoAccess::clsIidAccess> m_objIidAccess;
    LumoAccess::LabelTable m_aryLabel;
    std::string m_strHeader;
    bool m_ready = false;
    int32_t m_unread = 0;
};

// The caption of group `typeId` in a label table. Every entry is looked at,
// so the last one with the identifier wins; no entry gives "".
std::string labelFor(const LumoAccess::LabelTable& labels, int32_t typeId);

// The header lines of the two kinds of file.
const std::string& personHeader();
const std::string& goodsHeader();

}  // namespace lumo::exporter
