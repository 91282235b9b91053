#include "PathMapper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace vantrel {
namespace {

QString cleanFolder(const QString& folder) {
    QString clean = QDir::cleanPath(folder);
    return clean == QLatin1String("/") ? QString() : clean;
}

bool isAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Beyond this many bytes the system names nothing: a longer path is not looked up.
constexpr qsizetype kLongestNativePath = 4096;

// The entry of folder whose name matches name without regard to case, or name; found
// tells whether there is one, link whether it is a symbolic link. A sweep asks this for
// each new file of a folder that fills up as it goes, so the folder is read unsorted
// and only as far as the first match.
QString matchingEntry(const QString& folder, const QString& name, bool& found, bool& link) {
    found = true;
    const QByteArray folderBytes =
        QFile::encodeName(folder.isEmpty() ? QStringLiteral("/") : folder);
    const QByteArray nameBytes = QFile::encodeName(name);
    struct stat st {};
    if (::lstat((folderBytes + '/' + nameBytes).constData(), &st) == 0) {
        link = S_ISLNK(st.st_mode);
        return name;
    }
    found = false;
    DIR* dir = ::opendir(folderBytes.constData());
    if (dir == nullptr) {
        return name;
    }
    const bool ascii = isAscii(nameBytes);
    QString match = name;
    while (const dirent* entry = ::readdir(dir)) {
        const bool same =
            ascii ? ::strcasecmp(entry->d_name, nameBytes.constData()) == 0
                  : QFile::decodeName(entry->d_name).compare(name, Qt::CaseInsensitive) == 0;
        if (same) {
            match = QFile::decodeName(entry->d_name);
            found = true;
            link = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
            break;
        }
    }
    ::closedir(dir);
    return match;
}

// The path with every link resolved, from its deepest part that exists. Nothing
// longer than the system can name exists, so the search starts below that length.
QString resolvedPath(const QString& native) {
    qsizetype cut = native.size();
    if (cut >= kLongestNativePath) {
        cut = native.lastIndexOf(QLatin1Char('/'), kLongestNativePath - 1);
    }
    while (cut > 0 && !QFileInfo::exists(native.left(cut))) {
        cut = native.lastIndexOf(QLatin1Char('/'), cut - 1);
    }
    cut = std::max<qsizetype>(cut, 0);
    const QString real =
        QFileInfo(cut == 0 ? QStringLiteral("/") : native.left(cut)).canonicalFilePath();
    return (real == QLatin1String("/") ? QString() : real) + native.mid(cut);
}

// Within root once links are followed: a link in the folder network never leads a
// write out of it.
bool staysWithin(const QString& native, const QString& root) {
    const QString realRoot = resolvedPath(root);
    const QString real = resolvedPath(native);
    return real == realRoot || real.startsWith(realRoot + QLatin1Char('/'));
}

// "." or "..": a name that moves in the path rather than naming an entry.
bool isDotName(QStringView name) {
    return name == QLatin1String(".") || name == QLatin1String("..");
}

// root + rest as written when that path exists, else "": the name-by-name lookup
// would find the same, one system call per name later. A rest with dot names, a
// doubled or a final separator needs that lookup.
QString existingAsWritten(const QString& root, QStringView rest) {
    QString written = rest.toString();
    written.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString native = root + written;
    if (!written.startsWith(QLatin1Char('/')) || native.size() >= kLongestNativePath) {
        return QString();
    }
    for (const QStringView part : QStringView(written).mid(1).split(QLatin1Char('/'))) {
        if (part.isEmpty() || isDotName(part)) {
            return QString();
        }
    }
    struct stat st {};
    return ::lstat(QFile::encodeName(native), &st) == 0 ? native : QString();
}

} // namespace

PathMapper::PathMapper(const QString& drives, const QString& networkFolder) {
    if (!networkFolder.isEmpty()) {
        networkFolder_ = cleanFolder(networkFolder);
    }
    drives_.insert(QLatin1Char('Z'), QString());
    for (const QString& entry : drives.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq == 1 && entry.at(0).isLetter()) {
            drives_.insert(entry.at(0).toUpper(), cleanFolder(entry.mid(2)));
        }
    }
}

bool PathMapper::isUnc(const QString& windowsPath) {
    return windowsPath.startsWith(QLatin1String("\\\\"));
}

QStringList PathMapper::components(const QString& windowsPath) {
    // Windows takes / as a separator too.
    return QString(windowsPath)
        .replace(QLatin1Char('/'), QLatin1Char('\\'))
        .split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool PathMapper::isShareLevel(const QString& windowsPath) {
    return isUnc(windowsPath) && components(windowsPath).size() < 3;
}

// Linear in the path's length: names are looked up in the file system only while the
// folders above them exist and the path stays within what the system can name.
QString PathMapper::mapRest(const QString& root, const QStringList& parts, Above above,
                            bool& throughLink) const {
    QString native = root;
    bool lookingUp = true;
    for (const QString& part : parts) {
        if (part == QLatin1String(".")) {
            continue;
        }
        if (part == QLatin1String("..")) {
            if (native.size() <= root.size()) {
                if (above == Above::Refused) {
                    return QString();
                }
                continue; // a drive's root is its own parent
            }
            native.truncate(std::max<qsizetype>(0, native.lastIndexOf(QLatin1Char('/'))));
            lookingUp = true;
            continue;
        }
        lookingUp = lookingUp && native.size() < kLongestNativePath;
        bool found = false;
        bool link = false;
        native += QLatin1Char('/') + (lookingUp ? matchingEntry(native, part, found, link) : part);
        throughLink = throughLink || link;
        lookingUp = found;
    }
    return native.isEmpty() ? QStringLiteral("/") : native;
}

QString PathMapper::toNative(const QString& windowsPath) const {
    if (isUnc(windowsPath)) {
        if (!networkFolder_) {
            return QString();
        }
        QStringList parts = components(windowsPath);
        if (parts.size() < 2) {
            return QString(); // a host alone is not a share
        }
        if (isDotName(parts.at(0)) || isDotName(parts.at(1))) {
            return QString();
        }
        // A UNC path never climbs above its share, nor leaves the network by a link:
        // where a link was met on the way, where it leads is checked.
        bool throughLink = false;
        const QString share =
            mapRest(*networkFolder_, parts.mid(0, 2), Above::Refused, throughLink);
        const QString native = mapRest(share, parts.mid(2), Above::Refused, throughLink);
        if (native.isEmpty() || (throughLink && !staysWithin(native, *networkFolder_))) {
            return QString();
        }
        return native;
    }
    if (windowsPath.size() >= 2 && windowsPath.at(1) == QLatin1Char(':') &&
        windowsPath.at(0).isLetter()) {
        const auto drive = drives_.constFind(windowsPath.at(0).toUpper());
        if (drive == drives_.constEnd()) {
            return QString();
        }
        if (QString native = existingAsWritten(*drive, QStringView(windowsPath).mid(2));
            !native.isEmpty()) {
            return native;
        }
        bool throughLink = false;
        return mapRest(*drive, components(windowsPath.mid(2)), Above::StaysAtRoot, throughLink);
    }
    if (windowsPath.isEmpty()) {
        return QString();
    }
    // A relative path: from the current folder.
    const QStringList parts = components(windowsPath);
    bool throughLink = false;
    return mapRest(QString(), components(QDir::currentPath()) + parts, Above::StaysAtRoot,
                   throughLink);
}

QString PathMapper::toWindows(const QString& nativePath) const {
    if (nativePath.isEmpty()) {
        return QString();
    }
    QString native = QDir::cleanPath(QFileInfo(nativePath).absoluteFilePath());
    auto under = [&native](const QString& root) {
        return root.isEmpty() || native == root || native.startsWith(root + QLatin1Char('/'));
    };
    auto backslashed = [](QString rest) { return rest.replace(QLatin1Char('/'), '\\'); };
    if (networkFolder_ && !networkFolder_->isEmpty() && under(*networkFolder_) &&
        native != *networkFolder_) {
        return QStringLiteral("\\\\") + backslashed(native.mid(networkFolder_->size() + 1));
    }
    QChar bestDrive = QLatin1Char('Z');
    qsizetype bestLength = -1;
    for (auto it = drives_.constBegin(); it != drives_.constEnd(); ++it) {
        if (under(it.value()) && it.value().size() > bestLength) {
            bestDrive = it.key();
            bestLength = it.value().size();
        }
    }
    const QString rest = backslashed(native.mid(bestLength));
    return QString(bestDrive) + QLatin1Char(':') + (rest.isEmpty() ? QStringLiteral("\\") : rest);
}

} // namespace vantrel
