#pragma once
// LumoAccess: the data-access library of the Lumo suite, as its clients see
// it. This header is the library's type library: the value types, the
// record types, the three class interfaces and the server entry points.
// A client loads libLumoAccess.so (dlopen), looks up DllGetClassObject and
// creates objects by class name with LumoAccess::createObject.
//
// Conventions shared by every operation:
//  - Boolean results are error flags: true means a failure was reported
//    (through the process's message-box sink), false that none was.
//  - Records and arrays belong to the caller and are passed by reference;
//    readers replace an array by the rows read, or leave it untouched when
//    there are none.
//  - `Reserved` is accepted and ignored; no operation reads or writes it.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

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

    virtual Boolean Initialize(const String& strConnection, String* Reserved = nullptr) = 0;
    virtual String GetGroupingLabel() = 0;
    virtual Long GetGroupID() = 0;
    virtual void GetGroupLabel(LabelTable& aryLabel) = 0;
    virtual PersonInformation GetPersonalInformation(Long lngPersonID, String* Reserved = nullptr) = 0;
    virtual Boolean GetMailAddressInfo(Long lngPersonID, std::vector<MailInformation>& paMail,
                                       String* Reserved = nullptr) = 0;
    virtual Boolean GetPhoneNumberInfo(Long lngPersonID, std::vector<PhoneInformation>& paPhone,
                                       String* Reserved = nullptr) = 0;
    virtual Boolean GetChildInformation(Long lngPersonID, std::vector<ChildrenInformation>& pachild,
                                        String* Reserved = nullptr) = 0;
    virtual Boolean GetGreetingInformation(Long lngPersonID, std::vector<GreetingInformation>& paGreeting,
                                           String* Reserved = nullptr) = 0;
    virtual void DeleteGroup(Long lngID, String* Reerved = nullptr) = 0;
    virtual Long GetGroupIDEx(const String& strLabel) = 0;
    // Stores the person's note and records its new or changed dated
    // entries as ToDo rows (CHK_FLAG True). The result is always Empty.
    virtual Variant UpdateNote(Long lngPersonID, const String& strNote, String* Reserved = nullptr) = 0;
    // Deletes the ToDo rows whose check flag is off, of every person.
    virtual void DeleteToDo() = 0;

protected:
    ~clsPidAccess() = default;
};

// Goods, suppliers, customers and sheets (the item database).
class clsIidAccess : public IAccessObject {
public:
    static constexpr const char* kClassName = "clsIidAccess";

    virtual Boolean Initialize(const String& strConnection, String* Reserved = nullptr) = 0;
    virtual void GetGroupLabel(LabelTable& aryLabel, String* Reserved = nullptr) = 0;
    virtual Boolean GetGoodsInformation(Long lngGoodsID, GoodsInformation& GoodsInfo,
                                        SupplierInformation& SupplierInfo, CustomerInformation& CustomerInfo,
                                        String* Reserved = nullptr) = 0;
    virtual GoodsInfoOverview GetGoodsInformationOverView(Long lngSheetID, String* Reserved = nullptr) = 0;
    virtual Boolean ReadItemInformation(const String& strItemName, GoodsInformation& ItemInfo,
                                        String* Reserved = nullptr) = 0;
    virtual Boolean ReadSupplierInformation(const String& strSupplier, SupplierInformation& SupplierInfo,
                                            String* Reserved = nullptr) = 0;
    virtual Boolean ReadCustomerInformation(const String& strCustomer, CustomerInformation& CustomerInfo,
                                            String* Reserved = nullptr) = 0;
    virtual String GetGroupingLabel() = 0;
    virtual Long GetGroupID() = 0;
    virtual void DeleteGroup(Long lngGroupID, String* Reserved = nullptr) = 0;
    virtual void GetItemInformation(Long lngGoodsID, GoodsInformation& GoodsInfo, String* Reserved = nullptr) = 0;
    virtual void GetPersonInformation(Long lngPersonID, CustomerInformation& CustomerInfo,
                                      SupplierInformation& SupplierInfo, Boolean blnFlag) = 0;
    virtual void GetSheetInformation(Long lngSheetID, SheetInformation& SheetInfo, String* Reserved = nullptr) = 0;
    virtual Long GetGroupIDEx(const String& strLabel) = 0;
    // Stores the sheet's note and records its new or changed dated entries
    // as ToDo rows (CHK_FLAG True).
    virtual void UpdateNote(Long lngSheetID, const String& strNote, String* Reserved = nullptr) = 0;
    // Deletes the ToDo rows whose check flag is off, of every sheet.
    virtual void DeleteToDo() = 0;

protected:
    ~clsIidAccess() = default;
};

// Scrap data (a scrap database named by the connection string).
class clsScrapAccess : public IAccessObject {
public:
    static constexpr const char* kClassName = "clsScrapAccess";

    virtual Boolean Initialize(const String& strConnection, String* Reserved = nullptr) = 0;
    virtual Boolean GetGroupLabel(LabelTable& aryLabel, String* Reserved = nullptr) = 0;
    virtual Long GetGroupID() = 0;
    virtual Long GetGroupIDEx(const String& strLabel) = 0;
    virtual String GetGroupingLabel() = 0;
    virtual Boolean DeleteGroup(Long lngGroupID, String* Reserved = nullptr) = 0;

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

struct TypeLibraryInfo {
    const char* name;         // "LumoAccess"
    const char* description;  // "LumoBase Access API Library Ver1.2"
    uint16_t majorVersion;
    uint16_t minorVersion;
};

using DllGetClassObjectProc = int32_t (*)(const char* className, void** object) noexcept;
using DllRegisterServerProc = int32_t (*)() noexcept;
using DllUnregisterServerProc = int32_t (*)() noexcept;
using DllCanUnloadNowProc = bool (*)() noexcept;
using DllGetTypeLibraryProc = const TypeLibraryInfo* (*)() noexcept;

// Creates an object of class T through the library's factory entry point;
// an empty Ref when the library does not offer the class.
template <class T>
Ref<T> createObject(DllGetClassObjectProc factory) {
    void* object = nullptr;
    if (!factory || factory(T::kClassName, &object) != kResultOk || !object) return {};
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
// Name, description and version of the type library.
const LumoAccess::TypeLibraryInfo* DllGetTypeLibrary() noexcept;
}
