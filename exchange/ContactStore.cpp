#include "exchange/ContactStore.h"

#include <algorithm>
#include <charconv>

#include "client/AccessLibrary.h"
#include "platform/Error.h"
#include "platform/MessageSink.h"
#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "engine/Variant.h"

namespace lumo::exchange {
namespace {

using namespace LumoAccess;

// The library's reports during one call, collected instead of shown;
// questions get the safe answer. The library reports through the
// process's one message sink (platform/MessageSink.h, shared with it), so
// the sink installed here replaces the host program's only for the call
// and gives it back afterwards.
class CollectedReports {
public:
    CollectedReports()
        : scope_([this](const MessageRequest& request) {
              std::string line = request.text;
              if (const auto at = line.find("\r\n"); at != std::string::npos) line.replace(at, 2, ": ");
              texts_.push_back(std::move(line));
              return safeAnswer(request.buttons);
          }) {}

    bool any() const { return !texts_.empty(); }
    // Every report on one line each: "CLS-pida1010: description".
    std::string text() const {
        std::string all;
        for (const std::string& t : texts_) {
            if (!all.empty()) all += " / ";
            all += t;
        }
        return all;
    }
    void throwIfAny(const std::string& what) const {
        if (any()) throw Error(what + ": " + text());
    }

private:
    std::vector<std::string> texts_;
    ScopedMessageSink scope_;
};

std::string personText(Long id) { return "人物 " + std::to_string(id); }

}  // namespace

ContactStore::ContactStore(const std::filesystem::path& folder)
    : folder_(folder), connection_(db::jetConnectionString((folder / "Data" / "LumoBase.mdb").string())) {
    const std::filesystem::path file = folder / "Data" / "LumoBase.mdb";
    if (!std::filesystem::exists(file)) throw Error("住所録のファイルがありません: " + file.string());
    CollectedReports reports;
    access_ = client::AccessLibrary::instance().create<clsPidAccess>();
    const bool failed = access_->Initialize(connection_);
    if (failed || reports.any()) throw Error("住所録を開けません: " + reports.text());
    list_ = std::make_unique<db::Connection>();
    list_->Open(connection_);
}

ContactStore::~ContactStore() = default;

std::vector<Long> ContactStore::ids() {
    db::Recordset rs;
    rs.Open("SELECT PERSON_ID FROM T_PERSON", *list_, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    std::vector<Long> result;
    result.reserve(static_cast<std::size_t>(std::max(0, rs.RecordCount())));
    for (; !rs.Eof(); rs.MoveNext()) result.push_back(rs.Fields(0).Value().toLong());
    rs.Close();
    std::ranges::sort(result);
    return result;
}

void ContactStore::loadGroups() {
    CollectedReports reports;
    LabelTable labels;
    access_->GetGroupLabel(labels);
    // A caption the library cannot read (Null) stops its list at that row;
    // the rows before it are still good, so the report is not fatal here.
    captions_.clear();
    for (const auto& row : labels) {
        Long id = 0;
        std::from_chars(row[0].data(), row[0].data() + row[0].size(), id);
        captions_[id] = row[1];
    }
    groupsLoaded_ = true;
}

std::string ContactStore::groupCaption(Long typeId) {
    if (!groupsLoaded_) loadGroups();
    const auto it = captions_.find(typeId);
    return it == captions_.end() ? std::string() : it->second;
}

Long ContactStore::groupId(const std::string& caption) {
    CollectedReports reports;
    if (caption.empty()) {
        const Long id = access_->GetGroupID();
        reports.throwIfAny("既定の分類を読めません");
        return id;
    }
    if (!groupsLoaded_) loadGroups();
    for (const auto& [id, text] : captions_)
        if (text == caption) return id;
    const Long id = access_->GetGroupIDEx(caption);
    reports.throwIfAny("分類「" + caption + "」を作れません");
    if (id == 0) throw Error("分類「" + caption + "」を作れません");
    captions_[id] = caption;
    return id;
}

Contact ContactStore::read(Long id) {
    Contact c;
    {
        CollectedReports reports;
        c.person = access_->GetPersonalInformation(id);
        reports.throwIfAny(personText(id) + " を読めません");
        if (c.person.lngPersonID == 0) throw Error(personText(id) + " はいません");
        access_->GetPhoneNumberInfo(id, c.phones);
        access_->GetMailAddressInfo(id, c.mails);
        access_->GetGreetingInformation(id, c.greetings);
        access_->GetChildInformation(id, c.children);
        reports.throwIfAny(personText(id) + " を読めません");
    }
    c.group = groupCaption(c.person.lngTypeID);
    return c;
}

Long ContactStore::add(Contact& contact) {
    contact.person.lngTypeID = groupId(contact.group);
    CollectedReports reports;
    const bool failed = access_->SetPersonalInformation(contact.person, contact.phones, contact.mails,
                                                        contact.greetings, contact.children);
    if (failed || reports.any()) throw Error("人物を登録できません: " + reports.text());
    return contact.person.lngPersonID;
}

namespace {

LumoBatchProc batchEntry(const char* name) {
    const auto entry = client::AccessLibrary::instance().entry<LumoBatchProc>(name);
    if (!entry) throw Error(std::string("住所録のライブラリに ") + name + " がありません");
    return entry;
}

}  // namespace

void ContactStore::beginBatch() {
    const LumoBatchProc begin = batchEntry("LumoBeginBatch");
    CollectedReports reports;
    if (begin(access_.get()) != kResultOk) throw Error("住所録への書き込みを始められません: " + reports.text());
    inBatch_ = true;
}

void ContactStore::commitBatch() {
    const LumoBatchProc end = batchEntry("LumoEndBatch");
    CollectedReports reports;
    const int32_t result = end(access_.get());
    inBatch_ = false;
    // Groups made inside a batch that was not stored are gone again.
    groupsLoaded_ = false;
    if (result != kResultOk) throw Error("住所録への書き込みを確定できません: " + reports.text());
}

void ContactStore::cancelBatch() noexcept {
    if (!inBatch_) return;
    inBatch_ = false;
    groupsLoaded_ = false;
    try {
        const LumoBatchProc cancel = batchEntry("LumoCancelBatch");
        CollectedReports reports;
        (void)cancel(access_.get());
    } catch (...) {
        // Nothing to report to: the caller is already leaving on a failure.
    }
}

void ContactStore::update(Contact& contact) {
    contact.person.lngTypeID = groupId(contact.group);
    CollectedReports reports;
    const bool failed = access_->UpPersonalInformation(contact.person, contact.phones, contact.mails,
                                                       contact.greetings, contact.children);
    if (failed || reports.any())
        throw Error(personText(contact.person.lngPersonID) + " を書き換えられません: " + reports.text());
}

void ContactStore::remove(Long id) {
    CollectedReports reports;
    Long target = id;
    const bool failed = access_->DelPersonalInformation(target);
    if (failed || reports.any()) throw Error(personText(id) + " を削除できません: " + reports.text());
}

}  // namespace lumo::exchange
