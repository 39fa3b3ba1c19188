#include "fakes/FakeFileSystem.h"

void FakeFileSystem::addFile(const QString& path, const QByteArray& content,
                             const QString& displayName) {
    files.insert(path, content);
    if (!displayName.isEmpty())
        displayNames_.insert(path, displayName);
}

void FakeFileSystem::addDirectory(const QString& path) {
    directories_.insert(path);
}

void FakeFileSystem::remove(const QString& path) {
    files.remove(path);
    directories_.remove(path);
}

bool FakeFileSystem::exists(const QString& path) const {
    return files.contains(path) || directories_.contains(path);
}

bool FakeFileSystem::isDirectory(const QString& path) const {
    return directories_.contains(path);
}

QString FakeFileSystem::displayName(const QString& path) const {
    if (const auto it = displayNames_.find(path); it != displayNames_.end())
        return *it;
    return path.section(QChar(u'/'), -1);
}

std::optional<QByteArray> FakeFileSystem::readAll(const QString& path) const {
    const auto it = files.find(path);
    if (it == files.end())
        return std::nullopt;
    // With room after the bytes, as the real one gives them.
    QByteArray bytes;
    bytes.reserve(it->size() + readPadding);
    bytes.append(*it);
    return bytes;
}

bool FakeFileSystem::writeAtomically(const QString& path, const QByteArray& data, QString* error) {
    ++writeAttempts;
    const QString folder = path.section(QChar(u'/'), 0, -2);
    if (failWrites || !directories_.contains(folder) || directories_.contains(path)) {
        if (error)
            *error = QStringLiteral("No space left on device");
        return false;
    }
    ++writeCount;
    files.insert(path, data);
    return true;
}

bool FakeFileSystem::makePath(const QString& path) {
    if (failMakePath || files.contains(path))
        return false;
    directories_.insert(path);
    return true;
}

bool FakeFileSystem::rename(const QString& from, const QString& to) {
    if (failRenames || !exists(from) || exists(to))
        return false;
    if (directories_.remove(from))
        directories_.insert(to);
    else
        files.insert(to, files.take(from));
    if (const auto name = displayNames_.find(from); name != displayNames_.end())
        displayNames_.insert(to, displayNames_.take(from));
    return true;
}

int FakeFileSystem::removeInterruptedWrites(const QString& path) {
    interruptedWriteCleanups.append(path);
    return 0;
}
