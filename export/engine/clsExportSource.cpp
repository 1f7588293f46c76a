#include "export/engine/clsExportSource.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "client/AccessLibrary.h"
#include "platform/CsvField.h"
#include "platform/Dates.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "platform/MessageSink.h"
#include "engine/Variant.h"

namespace lumo::exporter {
namespace {

namespace fs = std::filesystem;
using namespace LumoAccess;

// Joins fields with ",", quoting a field only where its own text would
// shift or split the columns (a comma, a double quote, CR or LF).
class CsvLine {
public:
    // Room for a typical line at once, instead of growing it four or five
    // times on the way.
    CsvLine() { line_.reserve(512); }
    CsvLine& operator<<(std::string_view field) {
        if (!first_) line_ += ',';
        first_ = false;
        appendCsvField(line_, field);
        return *this;
    }
    CsvLine& operator<<(int32_t number) {
        char digits[12];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
    }
    std::string take() { return std::move(line_); }

private:
    std::string line_;
    bool first_ = true;
};

// A trailing group of a person line: "," + label + "," + value per element;
// an empty group is left out, a present one starts with an empty field.
template <class Row, class Label, class Value>
void appendGroup(std::string& line, const std::vector<Row>& rows, Label label, Value value) {
    std::string group;
    for (const Row& row : rows) {
        group += ',';
        appendCsvField(group, row.*label);
        group += ',';
        appendCsvField(group, row.*value);
    }
    if (!group.empty()) line += "," + group;
}

// Tells whether the library reported anything since the object was made,
// through its published last-report entry points: the readers without an
// error flag (the person record, the sheet, the goods, the counterpart)
// report all the same.
// The last report is the calling thread's, so one record's reads are told
// apart from the next one's by clearing it first.
class LibraryReports {
public:
    LibraryReports() { entries().clear(); }
    bool any() const {
        const char* code = nullptr;
        const char* description = nullptr;
        return entries().last(&code, &description) != 0;
    }

private:
    struct Entries {
        LumoClearLastReportProc clear = nullptr;
        LumoGetLastReportProc last = nullptr;
    };
    // Looked up once per process (the library is never unloaded).
    static const Entries& entries() {
        static const Entries found = [] {
            const auto& library = client::AccessLibrary::instance();
            Entries e{library.entry<LumoClearLastReportProc>("LumoClearLastReport"),
                      library.entry<LumoGetLastReportProc>("LumoGetLastReport")};
            if (!e.clear || !e.last) throw Error("LumoAccess に LumoGetLastReport がありません。");
            return e;
        }();
        return found;
    }
};

}  // namespace

const std::string& personHeader() {
    static const std::string header = std::string("分類,ふりがな(姓),ふりがな(名),姓,名,敬称,ニックネーム,ラベル１,メモ１,ラベル２,メモ２,") +
                                      "自宅郵便番号, 自宅住所１,自宅住所２,ホームページ,ラベル３,メモ３,ラベル４,メモ４," +
                                      "ふりがな,会社名,役職,部署,会社郵便番号,会社住所１,会社住所２,会社ホームページ," +
                                      "ラベル５,メモ５,ラベル６,メモ６,誕生日,年齢,星座,血液型,記念日,ふりがな,配偶者," + "趣味";
    return header;
}

const std::string& goodsHeader() {
    static const std::string header = std::string("伝票区分,種別,仕入・販売日,メーカー名,ふりがな,製品名,型式,仕様,数量,単価,金額,ラベル,メモ,") +
                                      "ふりがな,仕入・販売先,ふりがな(姓),姓,ふりがな(名),名,郵便番号,住所１,住所２,電話番号,ＦＡＸ,電子メール";
    return header;
}

clsExportSource::clsExportSource() {
    reported("CLS-exp1000", [&] { m_objConnection = std::make_unique<db::Connection>(); });
}

clsExportSource::~clsExportSource() {
    reported("CLS-exp1001", [&] { m_objConnection.reset(); });
    m_objText.reset();  // closed before its unpublished temporary file goes
    m_staged.reset();
}

bool clsExportSource::FolderCheck(const std::string& strPath) {
    bool declined = false;
    const bool failed = reported("CLS-exp1002", [&] {
        if (fs::is_directory(strPath)) return;
        const MsgResult answer = showMessage("指定されたフォルダが見つかりませんでした。\r\n新しくフォルダを作成します。よろしいですか？",
                                             MsgButtons::YesNo, MsgIcon::Question, "新規作成確認");
        if (answer != MsgResult::Yes) {
            declined = true;
            return;
        }
        std::error_code ec;
        if (!fs::create_directory(strPath, ec) && !fs::is_directory(strPath))
            throw Error("フォルダ '" + strPath + "' を作成できません: " + ec.message());
    });
    return failed || declined;
}

bool clsExportSource::FileCheck(const std::string& strFilePath) {
    bool declined = false;
    const bool failed = reported("CLS-exp1003", [&] {
        if (!fs::exists(strFilePath)) return;
        const MsgResult answer = showMessage("同じ名前のファイルが存在しているため、ファイルを上書きします。よろしいですか？",
                                             MsgButtons::YesNo, MsgIcon::Question, "ファイルの上書き確認");
        if (answer != MsgResult::Yes) {
            declined = true;
            return;
        }
        if (fs::is_directory(strFilePath)) throw Error("'" + strFilePath + "' はフォルダです。ファイルを削除できません。");
        // The old file is replaced only by a complete new one, at the end of
        // the run; a read-only file is refused now, as deleting it would be.
        if (::access(strFilePath.c_str(), W_OK) != 0)
            throw Error("ファイル '" + strFilePath + "' を削除できません: " + std::system_category().message(errno));
    });
    return failed || declined;
}

void clsExportSource::Initialize(const std::string& strServer, const std::string& strFile, int16_t intType) {
    m_ready = false;
    reported("CLS-exp1004", [&] {
        // A library that reported its own failure to open the database has
        // said why already; creating the file then would only leave a file
        // with a header and an empty line per record. So has one that could
        // not read the group captions: every line would lack its caption.
        bool accessFailed = false;
        if (intType == kPersons) {
            m_objPidAccess = client::AccessLibrary::instance().create<clsPidAccess>();
            accessFailed = m_objPidAccess->Initialize(strServer);
            if (!accessFailed) {
                const LibraryReports reports;
                m_objPidAccess->GetGroupLabel(m_aryLabel);
                accessFailed = reports.any();
            }
            m_intType = kPersons;
            m_strHeader = personHeader();
        } else {
            m_objIidAccess = client::AccessLibrary::instance().create<clsIidAccess>();
            accessFailed = m_objIidAccess->Initialize(strServer);
            if (!accessFailed) {
                const LibraryReports reports;
                m_objIidAccess->GetGroupLabel(m_aryLabel);
                accessFailed = reports.any();
            }
            m_intType = intType;
            m_strHeader = goodsHeader();
        }
        if (accessFailed) return;
        if (!m_objConnection) throw Error("接続オブジェクトがありません。");
        m_objConnection->Open(strServer);
        m_ready = !CreateExportFile(m_objText, strFile);
    });
}

bool clsExportSource::CreateExportFile(std::unique_ptr<Cp932File>& text, const std::string& strFile) {
    return reported("CLS-exp1006", [&] {
        auto staged = std::make_unique<StagedFile>(strFile);
        auto file = std::make_unique<Cp932File>(staged->path().string());
        file->writeLine(m_strHeader);
        m_staged = std::move(staged);
        text = std::move(file);
    });
}

void clsExportSource::Publish(StagedFile::Replace replace) {
    if (!m_staged) throw Error("オブジェクト変数が設定されていません (エクスポート ファイルが開かれていません)。");
    m_staged->publish(replace);
}

void clsExportSource::ExecExport(int32_t lngID, Cp932File* outFile) {
    reported("CLS-exp1005", [&] {
        const std::string line = BuildRecordLine(lngID, m_intType);
        if (!outFile) throw Error("オブジェクト変数が設定されていません (エクスポート ファイルが開かれていません)。");
        outFile->writeLine(line);
    });
}

// A record is written whole or as the empty line: a line that lacks the
// mails or the children a failed read did not deliver would pass for the
// record itself. The library has shown its report; the record is counted.
std::string clsExportSource::BuildRecordLine(int32_t lngID, int16_t intType) {
    std::string line;
    try {
        const LibraryReports reports;
        bool flagged = false;
        if (intType == kPersons) flagged = readPersonLine(lngID, line);
        else if (intType == kGoods) flagged = readSheetLine(lngID, line);
        if (flagged || reports.any()) {
            ++m_unread;
            line.clear();
        }
    } catch (...) {
        if (m_restoreCursor) m_restoreCursor();
        reportCurrentFailure("CLS-exp1007");
        ++m_unread;
        line.clear();
    }
    return line;
}

bool clsExportSource::readPersonLine(int32_t lngID, std::string& line) {
    if (!m_objPidAccess) throw Error("オブジェクト変数が設定されていません (clsPidAccess)。");
    std::vector<PhoneInformation> phones(1);
    std::vector<MailInformation> mails(1);
    std::vector<ChildrenInformation> children(1);
    const PersonInformation person = m_objPidAccess->GetPersonalInformation(lngID);
    bool flagged = m_objPidAccess->GetPhoneNumberInfo(lngID, phones);
    flagged |= m_objPidAccess->GetMailAddressInfo(lngID, mails);
    flagged |= m_objPidAccess->GetChildInformation(lngID, children);
    line = FormatPersonLine(person, phones, mails, children);
    return flagged;
}

bool clsExportSource::readSheetLine(int32_t lngID, std::string& line) {
    if (!m_objIidAccess) throw Error("オブジェクト変数が設定されていません (clsIidAccess)。");
    SheetInformation sheet;
    GoodsInformation goods;
    SupplierInformation supplier;
    CustomerInformation customer;
    m_objIidAccess->GetSheetInformation(lngID, sheet);
    m_objIidAccess->GetItemInformation(sheet.lngGoodsID, goods);
    // A counterpart of 0 is none (a sheet stored without one reads so):
    // its fields stay empty, where looking it up would be a failure.
    const bool purchase = sheet.intSheetFlag == 0;
    const Long counterpart = purchase ? sheet.lngSupplierID : sheet.lngCustomerID;
    if (counterpart != 0) m_objIidAccess->GetPersonInformation(counterpart, customer, supplier, purchase);
    line = FormatSheetLine(goods, sheet, supplier, customer);
    return false;  // these readers have no flag; their reports count
}

std::string labelFor(const LabelTable& labels, int32_t typeId) {
    std::string label;
    for (const auto& entry : labels)
        if (db::Variant(entry[0]).toLong() == typeId) label = entry[1];
    return label;
}

std::string clsExportSource::labelOf(int32_t typeId) const { return labelFor(m_aryLabel, typeId); }

std::string clsExportSource::FormatPersonLine(const PersonInformation& p, const std::vector<PhoneInformation>& phones,
                                              const std::vector<MailInformation>& mails,
                                              const std::vector<ChildrenInformation>& children) {
    std::string line;
    reported("CLS-exp1008", [&] {
        CsvLine csv;
        csv << labelOf(p.lngTypeID) << p.strLastAlias << p.strFirstAlias << p.strLastName << p.strFirstName << p.strTitle
            << p.strNickName << p.strLabel1 << p.strMemo1 << p.strLabel2 << p.strMemo2 << p.strHomeZip
            << p.strHomeAddress1 << p.strHomeAddress2 << p.strHomeURL << p.strLabel3 << p.strMemo3 << p.strLabel4
            << p.strMemo4 << p.strAlias << p.strCompany << p.strPosition << p.strSection << p.strOfficeZip
            << p.strOfficeAddress1 << p.strOfficeAddress2 << p.strOfficeURL << p.strLabel5 << p.strMemo5 << p.strLabel6
            << p.strMemo6 << dates::formatYmd(p.dyBirthday) << int32_t{p.intAge} << p.strConstellation << p.strBlood
            << dates::formatYmd(p.dyAnniversary) << p.strMateAlias << p.strMate << p.strHobby;
        std::string text = csv.take();
        appendGroup(text, phones, &PhoneInformation::strLabel, &PhoneInformation::strPhoneNumber);
        appendGroup(text, mails, &MailInformation::strLabel, &MailInformation::strMailAddress);
        appendGroup(text, children, &ChildrenInformation::strAlias, &ChildrenInformation::strName);
        line = std::move(text);
    });
    return line;
}

std::string clsExportSource::FormatSheetLine(const GoodsInformation& g, const SheetInformation& s,
                                             const SupplierInformation& sup, const CustomerInformation& cus) {
    std::string line;
    reported("CLS-exp1006", [&] {
        const bool purchase = s.intSheetFlag == 0;
        CsvLine csv;
        csv << (purchase ? "仕入データ" : "販売データ") << labelOf(g.lngTypeID) << dates::formatShortDate(s.dyDate)
            << g.strMakerName << g.strGoodsAlias << g.strGoodsName << g.strGoodsType << g.strGoodsSpec;
        if (purchase) csv << s.lngStockQuantity << s.lngStockUnitPrice << s.lngStockAmount;
        else csv << s.lngSalesQuantity << s.lngSalesUnitPrice << s.lngSalesAmount;
        csv << g.strLabel << g.strMemo;
        if (purchase)
            csv << sup.strSupplierAlias << sup.strSupplierName << sup.strSupplierLastAlias << sup.strSupplierLastName
                << sup.strSupplierFirstAlias << sup.strSupplierFirstName << sup.strSupplierZip << sup.strSupplierAddress1
                << sup.strSupplierAddress2 << sup.strSupplierPhone1 << sup.strSupplierPhone2 << sup.strSupplierMailAddress;
        else
            csv << cus.strCustomerAlias << cus.strCustomerName << cus.strCustomerLastAlias << cus.strCustomerLastName
                << cus.strCustomerFirstAlias << cus.strCustomerFirstName << cus.strCustomerZip << cus.strCustomerAddress1
                << cus.strCustomerAddress2 << cus.strCustomerPhone1 << cus.strCustomerPhone2 << cus.strCustomerMailAddress;
        line = csv.take();
    });
    return line;
}

}  // namespace lumo::exporter
