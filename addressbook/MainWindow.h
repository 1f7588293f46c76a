#pragma once
// The main window of 住所録: the groups with their member counts (and
// すべて) on the left, the person list in the middle (sorted by reading,
// narrowed by the search box as the user types), the summary of the chosen
// person on the right, and the あかさたな index above the list.
//
// Menus are built from one table each; another part adds an entry with one
// line (fileMenu()->addAction(...), or a new menu with menuBar()->addMenu),
// and a tool button with mainToolBar()->addAction(...).
//
// Owns the library object, its own engine connection (for the lists), the
// search thread and the list model; GUI thread only. Lives as long as the
// program (or the test that made it).
#include <QMainWindow>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <vector>

#include "access/LumoAccess.h"
#include "addressbook/BookFolder.h"
#include "addressbook/PersonEditor.h"
#include "addressbook/PersonListModel.h"
#include "engine/Connection.h"
#include "tools/postal/PostalTable.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTableView;
class QToolBar;
class QPushButton;

namespace lumo::book {

class PersonListModel;
class SearchRunner;
struct ListAnswer;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(BookFolder book, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the library object and the lists; false when that failed (the
    // reason has been shown).
    bool open();

    const BookFolder& book() const { return book_; }
    // The postal codes the cards offer: the folder's Data/LumoPostal.sqlite,
    // else the SKK dictionary `skkDictionary` when it exists; the status
    // bar names the source. The start reads them (with the installed
    // dictionary) on a thread of their own, since the whole country takes
    // a few hundred milliseconds; the first card waits for that. Cards
    // opened later use the table loaded here.
    void loadPostalTable(const std::filesystem::path& skkDictionary = postal::kSkkZipcodeDictionary);
    const postal::PostalTable& postalTable();
    LumoAccess::clsPidAccess& library() { return *pid_; }
    QLineEdit* searchBox() const { return search_; }
    QTableView* personView() const { return list_; }
    PersonListModel* personModel() const { return model_.get(); }
    QListWidget* groupList() const { return groups_; }
    QLabel* summary() const { return summary_; }
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }
    QToolBar* mainToolBar() const { return toolBar_; }
    const std::vector<QPushButton*>& indexButtons() const { return index_; }
    std::vector<GroupChoice> groupChoices() const;
    // A list statement runs, or is waiting to (the tests wait for the end).
    bool listBusy() const { return inFlight_ || pending_; }

    // Opens the card of a person (0: a new one) as a window of its own;
    // it closes itself. Returns it for the caller to watch.
    PersonEditor* openCard(int32_t personId);
    int32_t currentPersonId() const;
    // Reads the groups, the list and the summary again (after a save, on
    // returning to the window).
    void refreshAll();
    // Moves the chosen person to the group; false when nothing was moved.
    bool movePerson(int32_t personId, int32_t typeId);
    // The windows of the 表示 menu (closing themselves).
    QDialog* showTodo();
    QDialog* showComingDates();
    QDialog* showDuplicates();

signals:
    // The list shows the answer to the latest search or group choice.
    void listShown();

private:
    void buildMenus();
    void requestList();
    void applyAnswer(const std::shared_ptr<ListAnswer>& answer);
    void showEntries(std::vector<ListEntry> entries);
    void keepSearchList(const std::vector<ListEntry>& entries);
    void loadGroups();
    void showSummary();
    void jumpToKana(int kanaRow);
    void chooseGroupForCurrent();
    void startExport();
    int32_t selectedTypeId() const;
    QString selectedGroupLabel() const;

    BookFolder book_;
    LumoAccess::Ref<LumoAccess::clsPidAccess> pid_;
    db::Connection connection_;
    std::unique_ptr<PersonListModel> model_;
    std::unique_ptr<SearchRunner> runner_;
    bool inFlight_ = false;  // a list request runs
    bool pending_ = false;   // the search changed while it ran
    int32_t keepSelection_ = 0;
    // The unsearched lists read since the last refresh, by group (0: all),
    // so that emptying the search box shows them again at once.
    std::map<int32_t, std::vector<ListEntry>> wholeLists_;
    int32_t askedWholeList_ = -1;  // the group of the whole list being read, -1 for a search
    // The latest searches' lists by statement and group, newest last, so
    // that Backspace shows a list already read at once; forgotten with the
    // whole lists (refreshAll), and kept small: a few searches and at most
    // kKeptSearchRows keys in all.
    static constexpr std::size_t kKeptSearches = 8;
    static constexpr std::size_t kKeptSearchRows = 200'000;
    std::vector<std::pair<std::string, std::vector<ListEntry>>> searchLists_;
    std::string askedSearch_;  // the key of the search being read

    QLineEdit* search_ = nullptr;
    QListWidget* groups_ = nullptr;
    QTableView* list_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* count_ = nullptr;
    void startPostalLoad();
    void finishPostalLoad();  // waits for the start's read, if it still runs
    void showPostal(const std::function<postal::PostalTable()>& read);
    postal::PostalTable postal_;
    std::future<postal::PostalTable> pendingPostal_;  // the start's read; its thread only builds the value
    bool postalStarted_ = false;                      // the table was read or is being read
    QLabel* postalSource_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::vector<QPushButton*> index_;
};

}  // namespace lumo::book
