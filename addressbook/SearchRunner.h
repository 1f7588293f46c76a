#pragma once
// Runs the person list's statements (the whole list, a group, a search) on
// a thread of its own with a connection of its own, so that typing in the
// search box never waits for a statement. Each request carries a number;
// the window applies only the answer to its latest request, so a slow
// statement overtaken by a newer keystroke is simply dropped.
//
// Owned by the main window (GUI thread); the worker object and its
// connection live on the runner's thread, made and ended there. request()
// and the signal are used on the GUI thread.
#include <QObject>
#include <QThread>
#include <memory>
#include <string>
#include <vector>

#include "addressbook/PersonListModel.h"

namespace lumo::book {

struct ListRequest {
    unsigned number = 0;
    std::string sql;
    std::string labelFilter;  // only rows of this group caption (searches)
    bool everyone = false;    // sql lists every person (personIdsStatement(0))
};

struct ListAnswer {
    unsigned number = 0;
    std::vector<ListEntry> entries;
    std::string failure;  // the description when the statement failed
};

class SearchWorker;

class SearchRunner : public QObject {
    Q_OBJECT
public:
    explicit SearchRunner(std::string connectionString, QObject* parent = nullptr);
    ~SearchRunner() override;

    // Returns the request's number. The list of everyone also gives the
    // order the searches after it are put in (ReadingOrder), while no other
    // connection writes the file.
    unsigned request(std::string sql, std::string labelFilter = {});
    unsigned requestEveryone(std::string sql);
    unsigned latest() const { return latest_; }
    // The request running now, if any, is no longer wanted: its statement
    // stops within a thousand rows or so and answers an empty list, which
    // the window drops for the request it asks next.
    void cancel();

signals:
    void answered(std::shared_ptr<lumo::book::ListAnswer> answer);
    void requested(lumo::book::ListRequest request);

private:
    QThread thread_;
    SearchWorker* worker_ = nullptr;  // owned by thread_ (deleted when it finishes)
    unsigned latest_ = 0;
};

}  // namespace lumo::book
