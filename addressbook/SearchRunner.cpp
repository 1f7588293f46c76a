#include "addressbook/SearchRunner.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "engine/Connection.h"

namespace lumo::book {

// Lives on the runner's thread; its connection is opened there on the
// first request and closed there when the thread ends.
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
                answer->entries = readEntries(*connection_, request.sql, request.labelFilter,
                                              [&] { return newest_.load() > request.number; });
            } catch (const std::exception& e) {
                answer->failure = e.what();
                connection_.reset();  // opened again by the next request
            }
        }
        emit answered(std::move(answer));
    }
    // Called on the GUI thread, the only writer.
    void note(unsigned number) { newest_.store(std::max(newest_.load(), number)); }

signals:
    void answered(std::shared_ptr<lumo::book::ListAnswer> answer);

private:
    std::string connectionString_;
    std::unique_ptr<db::Connection> connection_;
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

unsigned SearchRunner::request(std::string sql, std::string labelFilter) {
    ListRequest r{++latest_, std::move(sql), std::move(labelFilter)};
    worker_->note(r.number);  // atomic: lets a queued older request be skipped
    emit requested(std::move(r));
    return latest_;
}

}  // namespace lumo::book

#include "SearchRunner.moc"
