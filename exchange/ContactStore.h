#pragma once
// One folder's address book (DIR/Data/LumoBase.mdb) as contacts, through
// the published interface only: a clsPidAccess object of the library for
// reading and writing persons, the program's own engine connection for the
// list of person ids, and the library's group operations for captions.
//
// Each operation installs a message sink of its own for its duration
// (platform/MessageSink.h, the process's one sink, which the library
// reports through), so that the library's reports are collected instead of
// shown, and gives the previous sink back afterwards; a failure throws
// lumo::Error carrying the report(s). The object owns its access object
// and connection for its lifetime; one thread at a time (the library's
// rule for its objects).
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "access/LumoAccess.h"
#include "exchange/Contact.h"

namespace lumo::db {
class Connection;
}

namespace lumo::exchange {

class ContactStore {
public:
    // Opens DIR/Data/LumoBase.mdb. Throws lumo::Error when the library or
    // the file cannot be opened.
    explicit ContactStore(const std::filesystem::path& folder);
    ~ContactStore();
    ContactStore(const ContactStore&) = delete;
    ContactStore& operator=(const ContactStore&) = delete;

    // Every person id, in ascending order.
    std::vector<LumoAccess::Long> ids();
    // The person with its rows and group caption. Throws for an id without
    // a person and for a person the library could not read.
    Contact read(LumoAccess::Long id);
    // Stores a new person whole or not at all (SetPersonalInformation,
    // which removes the person again when a later row fails); the new ids
    // are written into the contact. The group is looked up by caption and
    // created when missing; "" is the default group. Returns the new id.
    // Inside a batch the person (and a new group) is stored with the batch.
    LumoAccess::Long add(Contact& contact);

    // A batch of writes (LumoBeginBatch): from beginBatch to commitBatch
    // every write of the store shares one transaction of the file, which
    // holds the file's write lock meanwhile; a person that fails inside it
    // leaves nothing, the others stay. commitBatch stores them all, or,
    // when its commit fails, none: it throws lumo::Error saying so. A store
    // that ends with a batch open stores nothing of it. beginBatch throws
    // when a batch is open or the file cannot be locked for writing.
    void beginBatch();
    void commitBatch();
    // Stores nothing of the open batch (LumoCancelBatch). Never throws: a
    // cancel that fails still leaves nothing of the batch, as a rollback
    // of the file's transaction does.
    void cancelBatch() noexcept;
    bool inBatch() const { return inBatch_; }
    // Rewrites the person contact.person.lngPersonID and makes its rows
    // equal to the contact's (UpPersonalInformation: each kind of row is
    // committed on its own, so after a failure the kinds before it stay
    // changed). The library refuses fewer greetings than the person has
    // stored (a greeting row is never removed this way), and a date of 0
    // keeps the stored date.
    void update(Contact& contact);
    // Deletes the person with its rows.
    void remove(LumoAccess::Long id);

    // The caption of a group id ("" when unknown), and the id of a caption
    // ("" is the default group; a missing caption is created).
    std::string groupCaption(LumoAccess::Long typeId);
    LumoAccess::Long groupId(const std::string& caption);

    const std::filesystem::path& folder() const { return folder_; }

private:
    void loadGroups();

    std::filesystem::path folder_;
    std::string connection_;
    LumoAccess::Ref<LumoAccess::clsPidAccess> access_;
    std::unique_ptr<db::Connection> list_;
    std::map<LumoAccess::Long, std::string> captions_;
    bool groupsLoaded_ = false;
    bool inBatch_ = false;
};

}  // namespace lumo::exchange
