#pragma once

#include <QMap>
#include <QString>

#include <optional>

namespace vantrel {

// Translates Windows-form paths to this system's folders and back: drive letters
// through a table (Z: is / unless configured), UNC paths into a folder that holds
// one folder per host and, in it, one per share.
class PathMapper {
public:
    // drives: "C=/srv/c;D=/mnt/d"; networkFolder: "" when UNC paths are not mapped.
    PathMapper(const QString& drives, const QString& networkFolder);

    // "" when the path cannot be mapped. Names are matched without regard to case,
    // as Windows does, when the exact name does not exist.
    QString toNative(const QString& windowsPath) const;
    QString toWindows(const QString& nativePath) const;

    static bool isUnc(const QString& windowsPath);
    // \\HOST or \\HOST\NAME: no file can be made there, only in a share's folders.
    static bool isShareLevel(const QString& windowsPath);
    bool mapsNetwork() const { return networkFolder_.has_value(); }

private:
    enum class Above { StaysAtRoot, Refused }; // what ".." does at the root
    static QStringList components(const QString& windowsPath);
    // throughLink is set when a name looked up on the way is a symbolic link.
    QString mapRest(const QString& root, const QStringList& parts, Above above,
                    bool& throughLink) const;

    QMap<QChar, QString> drives_;
    std::optional<QString> networkFolder_; // roots are kept without final slash, / as ""
};

} // namespace vantrel
