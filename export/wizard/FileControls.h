#pragma once
// The drive, folder and file lists of the destination window, as Linux
// sees them: the "drives" are the mounted volumes, the folder list is the
// tree of the chosen volume, the file list shows the files of one folder.
// Each list keeps the path it was given, even when that folder later
// disappears from the disk; a handler that uses the path then meets the
// failure, as it would with any stale path.
#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QTreeWidget>

namespace lumo::wizard {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent);
    // Lists the mounted volumes again and chooses the one holding `path`.
    // Emits nothing: only the user's choice is a change of drive.
    void refresh(const QString& path);
    // The root folder of the chosen volume ("" when none is chosen).
    QString drive() const;
    // The root folder of the volume holding `path`.
    static QString volumeOf(const QString& path);
};

class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent);
    QString path() const { return path_; }
    // Shows the tree of the volume holding `path`, opened down to it, and
    // emits pathChanged. Throws lumo::Error when `path` is not a folder.
    void setPath(const QString& path);

signals:
    void pathChanged(const QString& path);

private:
    void choose(QTreeWidgetItem* item);
    void fill(QTreeWidgetItem* item);
    QTreeWidgetItem* childNamed(QTreeWidgetItem* item, const QString& name);
    QTreeWidgetItem* addFolder(QTreeWidgetItem* parent, const QString& name);

    QString path_;
    bool settingPath_ = false;
};

class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent);
    QString path() const { return path_; }
    // Lists every (not hidden) file of `folder`, by name. Throws
    // lumo::Error when `folder` is not a folder.
    void setPath(const QString& folder);
    // The name (without folder) of the chosen file, "" when none.
    QString fileName() const;

private:
    QString path_;
};

}  // namespace lumo::wizard
