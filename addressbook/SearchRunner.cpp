#include "addressbook/SearchRunner.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>

#include "engine/Connection.h"
#include "engine/RowStream.h"

namespace lumo::book {

// Lives on the runner's thread; its connection is opened there on the
// first request and closed there when the thread ends, and so is the
// reading order of the last list of everyone, which only this thread uses.
class SearchWorker : public QObject {
    Q_OBJECT
public:
    explicit SearchWorker(std::string connectionString) : connectionString_(std::move(connectionString)) {}

public slots:
    void run(const lumo::book::ListRequest& request) {
        auto answer = std::make_shared<ListAnswer>();
        answer->number = request.number;
        // Requests queue up while one runs; only the newest is worth running.
        if (request.number >= newest_) {
            try {
                if (!connection_) {
                    connection_ = std::make_unique<db::Connection>();
                    connection_->Open(connectionString_);
                }
                // A request overtaken while it runs (cancel()) stops reading.
                const auto superseded = [&] { return newest_.load() > request.number; };
                // The version is read first: a write committed while the
                // list is read then makes the order one that is not used.
                const long long version = dataVersion();
                if (request.everyone) {
                    order_.reset();
                    answer->entries = readEntries(*connection_, request.sql, {}, superseded);
                    if (!answer->entries.empty()) {
                        order_.emplace(answer->entries);
                        orderVersion_ = version;
                    }
                } else {
                    const ReadingOrder* order = order_ && orderVersion_ == version ? &*order_ : nullptr;
                    answer->entries = readEntries(*connection_, request.sql, request.labelFilter, superseded, order);
                }
            } catch (const std::exception& e) {
                answer->failure = e.what();
                connection_.reset();  // opened again by the next request
                order_.reset();
            }
        }
        emit answered(std::move(answer));
    }
    // Called on the GUI thread, the only writer.
    void note(unsigned number) { newest_.store(std::max(newest_.load(), number)); }

signals:
    void answered(std::shared_ptr<lumo::book::ListAnswer> answer);

private:
    // SQLite's count of the commits other connections made to the file
    // (this one only reads); the same number means the same data.
    long long dataVersion() {
        long long version = -1;
        db::forEachRow(*connection_, "PRAGMA data_version", [&](const db::RowView& row) {
            version = row.integer(0);
            return false;
        });
        return version;
    }

    std::string connectionString_;
    std::unique_ptr<db::Connection> connection_;
    std::optional<ReadingOrder> order_;  // from the last list of everyone
    long long orderVersion_ = -1;        // dataVersion() when it was read
    std::atomic<unsigned> newest_ = 0;

    friend class SearchRunner;
};

SearchRunner::SearchRunner(std::string connectionString, QObject* parent) : QObject(parent) {
    qRegisterMetaType<lumo::book::ListRequest>();
    qRegisterMetaType<std::shared_ptr<lumo::book::ListAnswer>>();
    worker_ = new SearchWorker(std::move(connectionString));  // NOLINT: deleted by the thread's finished signal
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(this, &SearchRunner::requested, worker_, &SearchWorker::run, Qt::QueuedConnection);
    connect(worker_, &SearchWorker::answered, this, &SearchRunner::answered, Qt::QueuedConnection);
    thread_.start();
}

SearchRunner::~SearchRunner() {
    thread_.quit();
    thread_.wait();
}

void SearchRunner::cancel() { worker_->note(latest_ + 1); }

unsigned SearchRunner::requestEveryone(std::string sql) {
    ListRequest r{++latest_, std::move(sql), {}, true};
    worker_->note(r.number);
    emit requested(std::move(r));
    return latest_;
}

unsigned SearchRunner::request(std::string sql, std::string labelFilter) {
    ListRequest r{++latest_, std::move(sql), std::move(labelFilter)};
    worker_->note(r.number);  // atomic: lets a queued older request be skipped
    emit requested(std::move(r));
    return latest_;
}

}  // namespace lumo::book

#include "SearchRunner.moc"
