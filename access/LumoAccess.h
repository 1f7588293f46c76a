#pragma once
// LumoAccess: the data-access library of the Lumo suite, as its clients see
// it. This header is the library's type library: the value types, the
// record types, the three class interfaces and the server entry points.
// A client loads libLumoAccess.so (dlopen), looks up DllGetClassObject and
// DllGetTypeLibrary and creates objects by class name with
// LumoAccess::createObject.
//
// The stable edge of the library is its C entry points (extern "C" at the
// end of this header): they take and return only C types and keep their
// meaning across versions. The class interfaces pass std::string and
// std::vector across the boundary, so a client must use the same C++ ABI
// (the Itanium C++ ABI of g++ and clang++ on Linux), the same C++ library
// with the same string ABI as the library, and the same interface version;
// the compiler may differ (a clang++ client of a g++-built library is
// fine). createObject checks the ABI tag the library reports and refuses a
// library that differs.
//
// A client needs C++20 (-std=c++20, as `pkg-config --cflags lumoaccess`
// says); the header uses nothing of a later standard.
//
// Conventions shared by every operation:
//  - Boolean results are error flags: true means a failure was reported
//    (through the process's message handler), false that none was.
//  - No operation throws: each reports its failures itself.
//  - Records and arrays belong to the caller and are passed by reference;
//    readers replace an array by the rows read, or leave it untouched when
//    there are none.
//  - `Reserved` is accepted and ignored; no operation reads or writes it.
//  - Threads: one object is used by one thread at a time (its connection
//    to the database file is not locked against concurrent calls); a
//    client that shares an object between threads serialises the calls
//    itself. Different objects on different threads are fine, also on the
//    same database files. AddRef and Release may be called from any thread.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

static_assert(__cplusplus >= 202002L, "LumoAccess.h needs C++20: build the client with -std=c++20");

namespace LumoAccess {

// ---------------------------------------------------------------- value types
using Long = int32_t;     // 32-bit signed
using Integer = int16_t;  // 16-bit signed
using Boolean = bool;     // stored as -1 / 0
using Date = double;      // automation date: days since 1899-12-30 (0)
using Double = double;
using String = std::string;  // UTF-8

// The automation Variant, for results declared as one: Empty
// (std::monostate), Null, Integer, Long, Double, Date, Boolean or String,
// alternatives in that order. A result that is always Empty is still a
// Variant, so that clients written against the Variant keep working.
struct VariantNull {
    bool operator==(const VariantNull&) const = default;
};
struct VariantDate {
    Date value = 0;
    bool operator==(const VariantDate&) const = default;
};
using Variant = std::variant<std::monostate, VariantNull, Integer, Long, Double, VariantDate, Boolean, String>;
inline bool isEmpty(const Variant& v) { return std::holds_alternative<std::monostate>(v); }

// The 2 x n table of group identifiers and captions: row k holds element
// (0, k), the group identifier as decimal text, and element (1, k), its
// caption. An empty table is one without dimensions (never filled).
using LabelTable = std::vector<std::array<String, 2>>;

// -------------------------------------------------------------- person records

struct PersonInformation {
    Long lngPersonID = 0;
    Long lngTypeID = 0;
    String strLastName;
    String strLastAlias;
    String strFirstName;
    String strFirstAlias;
    String strTitle;
    String strNickName;
    String strLabel1;
    String strMemo1;
    String strLabel2;
    String strMemo2;
    String strHomeZip;
    String strHomeAddress1;
    String strHomeAddress2;
    String strHomeURL;
    String strLabel3;
    String strMemo3;
    String strLabel4;
    String strMemo4;
    String strAlias;
    String strCompany;
    String strPosition;
    String strSection;
    String strOfficeZip;
    String strOfficeAddress1;
    String strOfficeAddress2;
    String strOfficeURL;
    String strLabel5;
    String strMemo5;
    String strLabel6;
    String strMemo6;
    Date dyBirthday = 0;
    Integer intAge = 0;
    String strConstellation;
    String strBlood;
    Date dyAnniversary = 0;
    String strMateAlias;
    String strMate;
    String strHobby;
    String strNote;
    String strDefaut;
};

struct PhoneInformation {
    Long lngPhoneID = 0;
    Long lngPersonID = 0;
    String strLabel;
    String strPhoneNumber;
    Integer intRank = 0;
    String strType;
};

struct MailInformation {
    Long lngMailID = 0;
    Long lngPersonID = 0;
    String strLabel;
    String strMailAddress;
    Integer intRank = 0;
    String strType;
};

struct GreetingInformation {
    Long lngGreetingID = 0;
    Long lngPersonID = 0;
    Long lngYear = 0;
    Boolean blnNewYear_Send = false;
    Boolean blnNewYear_Receive = false;
    Boolean blnSummer_Send = false;
    Boolean blnSummer_Receive = false;
    Boolean blnMidYear_Send = false;
    Boolean blnMidYear_Receive = false;
    Boolean blnYearEnd_Send = false;
    Boolean blnYearEnd_Receive = false;
    String strMemo;
};

struct ChildrenInformation {
    Long lngChildID = 0;
    Long lngPersonID = 0;
    String strAlias;
    String strName;
};

struct PersonaInfoOverview {
    String strName;
    String strNickName;
    String strCompany;
    String strAlias;
    String strHomeZip;
    String strHomeAddress1;
    String strHomeAddress2;
    String strOfficeZip;
    String strOfficeAddress1;
    String strOfficeAddress2;
    String strPhonelabel1;
    String strPhone1;
    String strPhonelabel2;
    String strPhone2;
    String strPhonelabel3;
    String strPhone3;
    String strMaillabel1;
    String strMail1;
    String strMaillabel2;
    String strMail2;
    String strNote;
};

// ---------------------------------------------------------------- item records

struct GoodsInformation {
    Long lngGoodsID = 0;
    Long lngTypeID = 0;
    String strMakerName;
    String strGoodsAlias;
    String strGoodsName;
    String strGoodsType;
    String strGoodsSpec;
    String strLabel;
    String strMemo;
    String strNote;
    String strPhotoPath;
};

struct SupplierInformation {
    Long lngSupplierID = 0;
    String strSupplierAlias;
    String strSupplierName;
    String strSupplierLastAlias;
    String strSupplierLastName;
    String strSupplierFirstAlias;
    String strSupplierFirstName;
    String strSupplierZip;
    String strSupplierAddress1;
    String strSupplierAddress2;
    String strSupplierPhone1;
    String strSupplierPhone2;
    String strSupplierMailAddress;
    String strSupplierDefault;
    Long lngSupplierLinkID = 0;
};

struct CustomerInformation {
    Long lngCustomerID = 0;
    String strCustomerAlias;
    String strCustomerName;
    String strCustomerLastAlias;
    String strCustomerLastName;
    String strCustomerFirstAlias;
    String strCustomerFirstName;
    String strCustomerZip;
    String strCustomerAddress1;
    String strCustomerAddress2;
    String strCustomerPhone1;
    String strCustomerPhone2;
    String strCustomerMailAddress;
    String strCustomerDefault;
    Long lngCustomerLinkID = 0;
};

// intSheetFlag: 0 purchase (supplier, stock fields), 1 sale (customer,
// sales fields).
struct SheetInformation {
    Long lngSheetID = 0;
    Long lngGoodsID = 0;
    Integer intSheetFlag = 0;
    Date dyDate = 0;
    Long lngCustomerID = 0;
    Date dySalesDate = 0;
    Long lngSalesQuantity = 0;
    Long lngSalesUnitPrice = 0;
    Long lngSalesAmount = 0;
    Long lngSupplierID = 0;
    Date dyStockDate = 0;
    Long lngStockQuantity = 0;
    Long lngStockUnitPrice = 0;
    Long lngStockAmount = 0;
    String strNote;
};

struct GoodsInfoOverview {
    Date dyDate = 0;
    String strGoodsName;
    String strGoodsType;
    String strGoodsSpec;
    Integer intQuantity = 0;
    Double dblUnitPrice = 0;
    Double dblAmount = 0;
    String strName;
    String strTanto;
    String strPhone1;
    String strPhone2;
    String strMail;
    String strNote;
    Boolean blnFlag = false;  // true: purchase (supplier), false: sale (customer)
};

// --------------------------------------------------------------- scrap records

struct ScrapInformation {
    Long lngScrapID = 0;
    Long lngLabelID = 0;
    String strLabe;
    Date dyRegDate = 0;
    Date dyLastDate = 0;
    String strTitle;
    String strSource;
    String strKeyword;
    String strPlace;
    String strBody;
    String strBodyPath;
    String strMemoLabel;
    String strMemo;
};

struct ScrapInfoOverview {
    Long lngScrapID = 0;
    Long lngLabelID = 0;
    String strLabe;
    Date dyRegDate = 0;
    Date dyLastDate = 0;
    String strTitle;
    String strSource;
    String strKeyword;
    String strBody;
    String strBodyPath;
};

// ------------------------------------------------------------------ objects

// Every object is reference counted. Hold it in a Ref; dropping the last
// reference ends the object and releases its database connection.
class IAccessObject {
public:
    virtual uint32_t AddRef() noexcept = 0;
    virtual uint32_t Release() noexcept = 0;

protected:
    ~IAccessObject() = default;
};

// Person data (the person database).
class clsPidAccess : public IAccessObject {
public:
    static constexpr const char* kClassName = "clsPidAccess";

    virtual Boolean Initialize(const String& strConnection, String* Reserved = nullptr) noexcept = 0;
    virtual String GetGroupingLabel() noexcept = 0;
    virtual Long GetGroupID() noexcept = 0;
    virtual void GetGroupLabel(LabelTable& aryLabel) noexcept = 0;
    virtual PersonInformation GetPersonalInformation(Long lngPersonID, String* Reserved = nullptr) noexcept = 0;
    virtual Boolean GetMailAddressInfo(Long lngPersonID, std::vector<MailInformation>& paMail,
                                       String* Reserved = nullptr) noexcept = 0;
    virtual Boolean GetPhoneNumberInfo(Long lngPersonID, std::vector<PhoneInformation>& paPhone,
                                       String* Reserved = nullptr) noexcept = 0;
    virtual Boolean GetChildInformation(Long lngPersonID, std::vector<ChildrenInformation>& pachild,
                                        String* Reserved = nullptr) noexcept = 0;
    virtual Boolean GetGreetingInformation(Long lngPersonID, std::vector<GreetingInformation>& paGreeting,
                                           String* Reserved = nullptr) noexcept = 0;
    virtual void DeleteGroup(Long lngID, String* Reerved = nullptr) noexcept = 0;
    virtual Long GetGroupIDEx(const String& strLabel) noexcept = 0;
    // Stores the person's note and records its new or changed dated
    // entries as ToDo rows (CHK_FLAG True). The result is always Empty.
    virtual Variant UpdateNote(Long lngPersonID, const String& strNote, String* Reserved = nullptr) noexcept = 0;
    // Deletes the ToDo rows whose check flag is off, of every person.
    virtual void DeleteToDo() noexcept = 0;
    // Stores a new person (short form: names, company, one address chosen
    // by strDefaut, note) with phones and mails. The person row and every
    // dependent row are committed one by one; after a failure the person
    // row this call stored is deleted again, with the rows that belong to
    // it. The new IDs are written into PersonInfo and into every element
    // stored; phones without a number and mails without an address are
    // skipped. An empty array stores nothing of its kind.
    virtual Boolean SetPersonalInformationEZ(PersonInformation& PersonInfo, std::vector<PhoneInformation>& PhoneInfo,
                                             std::vector<MailInformation>& MailInfo, String* Reserved = nullptr) noexcept = 0;
    // The same for every field of the person, with greetings and children
    // (children without a name are skipped).
    virtual Boolean SetPersonalInformation(PersonInformation& PersonInfo, std::vector<PhoneInformation>& PhoneInfo,
                                           std::vector<MailInformation>& MailInfo,
                                           std::vector<GreetingInformation>& GreetingInfo,
                                           std::vector<ChildrenInformation>& ChildrenInfo,
                                           String* Reserved = nullptr) noexcept = 0;
    // Rewrites the person PersonInfo.lngPersonID (after UpdateNote with its
    // note) and makes the stored mails, phones, children and greetings equal
    // to the arrays, matched by position; every element's lngPersonID is
    // set to the person. Each kind is committed on its own, in that order,
    // and a failure stops the kinds after it. PersonInfo is the person's
    // whole new state: an empty text or a date of 0 stores Null (clears the
    // stored value). More stored greetings than elements is a failure, and
    // so is a person that is not stored.
    virtual Boolean UpPersonalInformation(PersonInformation& PersonInfo, std::vector<PhoneInformation>& PhoneInfo,
                                          std::vector<MailInformation>& MailInfo,
                                          std::vector<GreetingInformation>& GreetingInfo,
                                          std::vector<ChildrenInformation>& ChildrenInfo,
                                          String* Reserved = nullptr) noexcept = 0;
    // Deletes the person row (the database file removes the rows that
    // belong to it). An ID without a row deletes nothing and is no failure.
    virtual Boolean DelPersonalInformation(Long& lngPersonID, String* Reserved = nullptr) noexcept = 0;
    // The person list's statement for a name and a phone fragment, which
    // the client runs itself; "" when both are empty.
    virtual String CreateSimpleViewQuery(const String& strName, const String& strPhone) noexcept = 0;
    virtual String GetFindView(const String& strName, const String& strPhone) noexcept = 0;
    virtual PersonaInfoOverview GetPersonalInformaionOverView(Long lngPersonID, String* Reserved = nullptr) noexcept = 0;

protected:
    ~clsPidAccess() = default;
};

// Goods, suppliers, customers and sheets (the item database).
class clsIidAccess : public IAccessObject {
public:
    static constexpr const char* kClassName = "clsIidAccess";

    virtual Boolean Initialize(const String& strConnection, String* Reserved = nullptr) noexcept = 0;
    virtual void GetGroupLabel(LabelTable& aryLabel, String* Reserved = nullptr) noexcept = 0;
    virtual Boolean GetGoodsInformation(Long lngGoodsID, GoodsInformation& GoodsInfo,
                                        SupplierInformation& SupplierInfo, CustomerInformation& CustomerInfo,
                                        String* Reserved = nullptr) noexcept = 0;
    virtual GoodsInfoOverview GetGoodsInformationOverView(Long lngSheetID, String* Reserved = nullptr) noexcept = 0;
    virtual Boolean ReadItemInformation(const String& strItemName, GoodsInformation& ItemInfo,
                                        String* Reserved = nullptr) noexcept = 0;
    virtual Boolean ReadSupplierInformation(const String& strSupplier, SupplierInformation& SupplierInfo,
                                            String* Reserved = nullptr) noexcept = 0;
    virtual Boolean ReadCustomerInformation(const String& strCustomer, CustomerInformation& CustomerInfo,
                                            String* Reserved = nullptr) noexcept = 0;
    virtual String GetGroupingLabel() noexcept = 0;
    virtual Long GetGroupID() noexcept = 0;
    virtual void DeleteGroup(Long lngGroupID, String* Reserved = nullptr) noexcept = 0;
    virtual void GetItemInformation(Long lngGoodsID, GoodsInformation& GoodsInfo, String* Reserved = nullptr) noexcept = 0;
    virtual void GetPersonInformation(Long lngPersonID, CustomerInformation& CustomerInfo,
                                      SupplierInformation& SupplierInfo, Boolean blnFlag) noexcept = 0;
    virtual void GetSheetInformation(Long lngSheetID, SheetInformation& SheetInfo, String* Reserved = nullptr) noexcept = 0;
    virtual Long GetGroupIDEx(const String& strLabel) noexcept = 0;
    // Stores the sheet's note and records its new or changed dated entries
    // as ToDo rows (CHK_FLAG True).
    virtual void UpdateNote(Long lngSheetID, const String& strNote, String* Reserved = nullptr) noexcept = 0;
    // Deletes the ToDo rows whose check flag is off, of every sheet.
    virtual void DeleteToDo() noexcept = 0;

    // Sheet entry. blnChoice true: a purchase, whose counterpart is
    // SupplierInfo; false: a sale, whose counterpart is CustomerInfo. A
    // counterpart with ID 0 and goods with SheetInfo.lngGoodsID 0 are added;
    // non-zero IDs name existing rows, used as they are. On success the
    // records hold the keys assigned; after a failure the rows this call
    // added are removed again and the records hold the keys they came with.
    virtual Boolean SetGoodsInformation(GoodsInformation& GoodsInfo, SupplierInformation& SupplierInfo,
                                        CustomerInformation& CustomerInfo, SheetInformation& SheetInfo,
                                        Boolean blnChoice, String* Reserved = nullptr) noexcept = 0;
    // Removes one sheet row (its goods and counterpart stay).
    virtual Boolean DeleteSheetInformation(Long lngSheetID, String* Reserved = nullptr) noexcept = 0;
    // Rewrites sheet lngSheetID from SheetInfo, after recording its note
    // with UpdateNote. The date comes from dySalesDate (sale) or
    // dyStockDate (purchase); a date of 0 clears the stored date (Null).
    virtual Boolean UpdateSheetInformation(Long lngSheetID, SheetInformation& SheetInfo,
                                           String* Reserved = nullptr) noexcept = 0;
    // Rewrites the counterpart, the goods and the sheet, adding a
    // counterpart or goods row whose ID is 0. Steps that succeeded stay.
    virtual Boolean UpGoodsInformation(GoodsInformation& GoodsInfo, SupplierInformation& SupplierInfo,
                                       CustomerInformation& CustomerInfo, SheetInformation& SheetInfo,
                                       String* Reserved = nullptr) noexcept = 0;
    // Removes a sheet, then its goods and counterpart (the supplier when
    // lngSupplierID is not 0, else the customer) unless other sheets use
    // them. A sheet that could not be removed leaves the others alone.
    virtual Boolean DelGoodsInformation(Long lngSheetID, Long lngGoodsID, Long lngSupplierID, Long lngCustomerID,
                                        String* Reserved = nullptr) noexcept = 0;
    // Statements of the sheet, goods and supplier/customer lists, which the
    // client runs itself; "" when every word is empty.
    virtual String CreateSimpleViewQuery(const String& strItem, const String& strTrader,
                                         String* Reserved = nullptr) noexcept = 0;
    virtual String GetFindView(const String& strItem, const String& strTrader) noexcept = 0;
    // Always "".
    virtual String CreateAdvancedViewQuery(std::vector<String>& aryQuery, String* Reserved = nullptr) noexcept = 0;
    virtual String CreateItemView(const String& strAlias, const String& strItem, const String& strForm) noexcept = 0;
    // blnFlag true: suppliers, false: customers.
    virtual String CreatePersonView(const String& strAlias, const String& strName, const String& strTel,
                                    Boolean blnFlag) noexcept = 0;

protected:
    ~clsIidAccess() = default;
};

// Scrap data (a scrap database named by the connection string).
class clsScrapAccess : public IAccessObject {
public:
    static constexpr const char* kClassName = "clsScrapAccess";

    virtual Boolean Initialize(const String& strConnection, String* Reserved = nullptr) noexcept = 0;
    virtual Boolean GetGroupLabel(LabelTable& aryLabel, String* Reserved = nullptr) noexcept = 0;
    virtual Long GetGroupID() noexcept = 0;
    virtual Long GetGroupIDEx(const String& strLabel) noexcept = 0;
    virtual String GetGroupingLabel() noexcept = 0;
    virtual Boolean DeleteGroup(Long lngGroupID, String* Reserved = nullptr) noexcept = 0;
    // One scrap is one row of T_SCRAP. An empty text is stored as Null; a
    // zero date leaves the column to its default on insert and stores Null
    // on update (the record passed is the scrap's whole new state);
    // strLabe and strMemoLabel are never read or written.
    virtual Boolean SetScrapInformation(ScrapInformation& ScrapData, String* Reserved = nullptr) noexcept = 0;
    // A missing ID leaves the record as passed (the overview: zeros and
    // empty texts, except strLabe and strBodyPath, which keep the caller's).
    virtual void GetScrapInformationOverView(Long lngID, ScrapInfoOverview& OverView, String* Reserved = nullptr) noexcept = 0;
    virtual void GetScrapInformation(Long lngID, ScrapInformation& ScrapData, String* Reserved = nullptr) noexcept = 0;
    virtual Boolean UpScrapInformation(Long lngID, ScrapInformation& Scrap, String* Reserved = nullptr) noexcept = 0;
    virtual Boolean DelScrapInformation(Long lngID, String* Reserved = nullptr) noexcept = 0;
    // ED_DATE := dyDate (also 0) and BODY := strBody of one scrap.
    virtual void UpdateLastDate(Long lngScrapID, Date dyDate, const String& strBody) noexcept = 0;
    // The search statement for the client to open: scraps whose keywords
    // contain strKeyword and whose source, group caption or title contain
    // strOther (LIKE patterns: % and _ keep their meaning). Empty when both
    // words are empty.
    virtual String CreateSimpleViewQuery(const String& strKeyword, const String& strOther,
                                         String* Reserved = nullptr) noexcept = 0;
    virtual String CreateAdvancedViewQuery() noexcept = 0;  // always empty
    virtual String GetFindView(const String& strKeyword, const String& strOther) noexcept = 0;

protected:
    ~clsScrapAccess() = default;
};

// Owns one reference to an object; copying adds one, destruction drops one.
template <class T>
class Ref {
public:
    Ref() noexcept = default;
    // Takes over a reference the caller already holds (as handed out by
    // DllGetClassObject).
    explicit Ref(T* adopted) noexcept : p_(adopted) {}
    Ref(const Ref& other) noexcept : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    Ref& operator=(Ref other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~Ref() { reset(); }

    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// ------------------------------------------------------------ server entry points

// Results of the entry points, with their usual values.
inline constexpr int32_t kResultOk = 0;
inline constexpr int32_t kResultInvalidPointer = static_cast<int32_t>(0x80004003u);
inline constexpr int32_t kResultClassNotAvailable = static_cast<int32_t>(0x80040111u);
// Batches (LumoBeginBatch below): a failure was reported; a batch is
// already open on the object; no batch is open on it.
inline constexpr int32_t kResultFailed = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t kResultBatchOpen = static_cast<int32_t>(0x80040201u);
inline constexpr int32_t kResultNoBatch = static_cast<int32_t>(0x80040202u);

struct TypeLibraryInfo {
    const char* name;         // "LumoAccess"
    const char* description;  // "LumoBase Access API Library Ver1.2"
    uint16_t majorVersion;
    uint16_t minorVersion;
    uint32_t interfaceVersion;  // kInterfaceVersion of the library's build
    const char* abiTag;         // abiTag() of the library's build
};

// The version of the class interfaces above: raised whenever a virtual
// function, a record or an argument changes.
inline constexpr uint32_t kInterfaceVersion = 1;

// What a client and the library must share for the class interfaces to
// work, and nothing else (not the compiler, nor its version): the C++ ABI
// (object layout, virtual calls, name mangling), the C++ library with its
// string ABI (_GLIBCXX_USE_CXX11_ABI) and the interface version, e.g.
// "itanium-c++-abi;libstdc++ cxx11-abi=1;interface 1".
inline std::string abiTag() {
#if defined(__GXX_ABI_VERSION)
    // g++ and clang++ report different numbers here for the same layout
    // (they count revisions of their own); the ABI itself is the Itanium one.
    std::string tag = "itanium-c++-abi";
#else
    std::string tag = "unknown-c++-abi";
#endif
#if defined(_LIBCPP_VERSION)
    tag += ";libc++";
#elif defined(_GLIBCXX_USE_CXX11_ABI)
    tag += _GLIBCXX_USE_CXX11_ABI ? ";libstdc++ cxx11-abi=1" : ";libstdc++ cxx11-abi=0";
#else
    tag += ";unknown C++ library";
#endif
    return tag + ";interface " + std::to_string(kInterfaceVersion);
}

using DllGetClassObjectProc = int32_t (*)(const char* className, void** object) noexcept;
using DllRegisterServerProc = int32_t (*)() noexcept;
using DllUnregisterServerProc = int32_t (*)() noexcept;
using DllCanUnloadNowProc = bool (*)() noexcept;
using DllGetTypeLibraryProc = const TypeLibraryInfo* (*)() noexcept;

// Message boxes. Every report and question of the library goes to one
// process-wide handler, in order; without one, reports go to standard
// error and questions get the safe answer (No, or Cancel where there is
// no No). The codes are fixed numbers so that any language can use them.
inline constexpr int32_t kButtonsOK = 0;
inline constexpr int32_t kButtonsOKCancel = 1;
inline constexpr int32_t kButtonsYesNo = 2;
inline constexpr int32_t kButtonsYesNoCancel = 3;
inline constexpr int32_t kIconNone = 0;
inline constexpr int32_t kIconCritical = 1;
inline constexpr int32_t kIconQuestion = 2;
inline constexpr int32_t kIconExclamation = 3;
inline constexpr int32_t kIconInformation = 4;
inline constexpr int32_t kAnswerOK = 0;
inline constexpr int32_t kAnswerCancel = 1;
inline constexpr int32_t kAnswerYes = 2;
inline constexpr int32_t kAnswerNo = 3;

// The handler: the text (UTF-8; a report is "<location code>\r\n<description>"),
// the buttons, the icon and the title (UTF-8, "" for the application's own
// name); the result is the answer. It runs on the thread that called the
// operation and must not throw; an answer the buttons do not offer counts
// as the safe answer.
using LumoMessageHandler = int32_t (*)(void* context, const char* text, int32_t buttons, int32_t icon,
                                       const char* title);
using LumoSetMessageHandlerProc = int32_t (*)(LumoMessageHandler handler, void* context) noexcept;
using LumoResetMessageHandlerProc = void (*)() noexcept;
using LumoGetLastReportProc = int32_t (*)(const char** locationCode, const char** description) noexcept;
using LumoClearLastReportProc = void (*)() noexcept;
using LumoBatchProc = int32_t (*)(IAccessObject* object) noexcept;

// Creates an object of class T through the library's factory entry point.
// An empty Ref, with the reason in *reason, when the library was built with
// another ABI tag than this client (or does not say), or does not offer
// the class.
template <class T>
Ref<T> createObject(DllGetClassObjectProc factory, DllGetTypeLibraryProc typeLibrary,
                    std::string* reason = nullptr) {
    const auto refuse = [reason](std::string why) {
        if (reason) *reason = "LumoAccess: " + why;
        return Ref<T>();
    };
    if (!factory) return refuse("the library has no DllGetClassObject");
    const TypeLibraryInfo* info = typeLibrary ? typeLibrary() : nullptr;
    if (!info || !info->abiTag) return refuse("the library does not say which interface and ABI it was built for");
    if (const std::string ours = abiTag(); ours != info->abiTag)
        return refuse("the library was built as \"" + std::string(info->abiTag) + "\" and this client as \"" + ours +
                      "\"; both must be built alike");
    void* object = nullptr;
    if (factory(T::kClassName, &object) != kResultOk || !object)
        return refuse(std::string("the library does not offer ") + T::kClassName);
    if (reason) reason->clear();
    return Ref<T>(static_cast<T*>(object));
}

}  // namespace LumoAccess

extern "C" {
// Creates a new object of the named class ("clsPidAccess", "clsIidAccess",
// "clsScrapAccess") and stores a pointer to its interface, holding one
// reference, in *object.
int32_t DllGetClassObject(const char* className, void** object) noexcept;
// Registration records nothing: the loader path is the registry.
int32_t DllRegisterServer() noexcept;
int32_t DllUnregisterServer() noexcept;
// True while no object of the library is alive.
bool DllCanUnloadNow() noexcept;
// Name, description and version of the type library, with the interface
// version and ABI tag of the library's build.
const LumoAccess::TypeLibraryInfo* DllGetTypeLibrary() noexcept;

// Installs `handler` (called with `context`) for every message box of the
// process, replacing whatever was installed before (the export wizard's
// windows install theirs the same way). A null handler restores the
// default. Returns kResultOk.
int32_t LumoSetMessageHandler(LumoAccess::LumoMessageHandler handler, void* context) noexcept;
// Restores the default: standard error and the safe answer.
void LumoResetMessageHandler() noexcept;
// The last report shown on the calling thread: returns 1 and points
// *locationCode and *description (UTF-8) at it, or returns 0 and points
// both at "" when there was none since the thread started or last cleared
// it. The texts stay valid until the thread's next report or clear.
int32_t LumoGetLastReport(const char** locationCode, const char** description) noexcept;
// Forgets the calling thread's last report (before a call whose reports
// the caller wants to tell apart).
void LumoClearLastReport() noexcept;

// Batches: many writing operations on one object stored at once. Between
// LumoBeginBatch and LumoEndBatch on an object (any of the three classes,
// as DllGetClassObject handed it out), its writing operations share one
// transaction of its database file. What an operation would commit waits
// for the end; what a failed operation undoes is undone within the batch
// and nothing else: the commit-per-row rules of each operation above hold
// as they are, so a SetPersonalInformation that fails leaves no trace of
// its person (its rows are rolled back and the person row it stored is
// deleted again) while the persons stored before it in the batch stay.
// LumoEndBatch commits the batch; when that commit fails, nothing of the
// batch is stored, the failure is reported and the result is
// kResultFailed. LumoCancelBatch stores nothing of the batch. Either way
// the batch has ended. Releasing the object, or Initialize on it, while a
// batch is open stores nothing of the batch.
//
// What a caller must know:
//  - While the batch lasts, the object's connection holds the file's write
//    lock: other objects and programs wait to write until it ends, and do
//    not see its rows. Reads on the same object see them. Keep batches as
//    short as the work.
//  - After the database engine fails in a way that makes it roll back the
//    whole transaction itself (an I/O error, a full disk), every later
//    write of the batch fails, and LumoEndBatch reports that nothing was
//    stored.
//  - Refusals are reported too: LumoBeginBatch on an object with a batch
//    open returns kResultBatchOpen (batches do not nest); LumoEndBatch and
//    LumoCancelBatch without one return kResultNoBatch; a null pointer, or
//    an object not made by this library, kResultInvalidPointer. A failure
//    to begin (the file locked by another writer, say) returns
//    kResultFailed and leaves no batch open. kResultOk otherwise.
//  - One thread, as for the object's operations.
int32_t LumoBeginBatch(LumoAccess::IAccessObject* object) noexcept;
int32_t LumoEndBatch(LumoAccess::IAccessObject* object) noexcept;
int32_t LumoCancelBatch(LumoAccess::IAccessObject* object) noexcept;
}
