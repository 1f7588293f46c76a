#include "export/wizard/FileControls.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>
#include <memory>

#include "platform/Error.h"

namespace lumo::wizard {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

[[noreturn]] void pathNotFound(const QString& path) {
    throw Error("パスが見つかりません。: '" + path.toStdString() + "'");
}

QString existingFolder(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir()) pathNotFound(path);
    return QDir::cleanPath(info.absoluteFilePath());
}

QString joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

}  // namespace

// ---------------------------------------------------------------- drives

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {}

QString DriveList::volumeOf(const QString& path) {
    const QString root = QStorageInfo(path).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void DriveList::refresh(const QString& path) {
    const QSignalBlocker quiet(this);
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Containers mount single files (/etc/hosts and the like); only
        // folders can hold an export.
        if (QFileInfo(volume.rootPath()).isDir()) roots << volume.rootPath();
    }
    const QString current = volumeOf(path);
    if (!roots.contains(current)) roots << current;
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    clear();
    for (const QString& root : roots) addItem(root, root);
    setCurrentIndex(findData(current));
}

QString DriveList::drive() const { return currentData().toString(); }

// ---------------------------------------------------------------- folders

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderList::fill);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!settingPath_ && item) choose(item);
    });
}

QTreeWidgetItem* FolderList::addFolder(QTreeWidgetItem* parent, const QString& name) {
    const QString path = parent ? joinPath(parent->data(0, kPathRole).toString(), name) : name;
    auto owned = std::make_unique<QTreeWidgetItem>(QStringList{name});
    QTreeWidgetItem* item = owned.get();
    item->setData(0, kPathRole, path);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    // The tree owns its items.
    if (parent) parent->addChild(owned.release());
    else addTopLevelItem(owned.release());
    return item;
}

// Lists the sub-folders of an item's folder the first time it is opened.
void FolderList::fill(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const QDir dir(item->data(0, kPathRole).toString());
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        if (!childNamed(item, name)) addFolder(item, name);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* FolderList::childNamed(QTreeWidgetItem* item, const QString& name) {
    for (int i = 0; i < item->childCount(); ++i)
        if (item->child(i)->text(0) == name) return item->child(i);
    return nullptr;
}

void FolderList::setPath(const QString& path) {
    const QString folder = existingFolder(path);
    QString root = DriveList::volumeOf(folder);
    if (!folder.startsWith(root)) root = QStringLiteral("/");
    {
        // Opening the tree moves the current item; that is not the user's
        // choice of a folder.
        const QScopedValueRollback<bool> quiet(settingPath_, true);
        QTreeWidgetItem* top = topLevelItemCount() > 0 ? topLevelItem(0) : nullptr;
        if (!top || top->data(0, kPathRole).toString() != root) {
            clear();
            top = addFolder(nullptr, root);
        }
        QTreeWidgetItem* item = top;
        const QStringList parts = folder.mid(root.size()).split(u'/', Qt::SkipEmptyParts);
        for (const QString& name : parts) {
            fill(item);
            item->setExpanded(true);
            // A hidden folder is not listed, but can still be the one asked for.
            QTreeWidgetItem* child = childNamed(item, name);
            item = child ? child : addFolder(item, name);
        }
        fill(item);
        item->setExpanded(true);
        setCurrentItem(item);
        scrollToItem(item);
    }
    path_ = folder;
    emit pathChanged(path_);
}

void FolderList::choose(QTreeWidgetItem* item) {
    path_ = item->data(0, kPathRole).toString();
    emit pathChanged(path_);
}

// ---------------------------------------------------------------- files

FileList::FileList(QWidget* parent) : QListWidget(parent) {}

void FileList::setPath(const QString& folder) {
    const QString path = existingFolder(folder);
    clear();
    addItems(QDir(path).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    path_ = path;
}

QString FileList::fileName() const { return currentItem() ? currentItem()->text() : QString(); }

}  // namespace lumo::wizard
