#include "ui/name_only_icons.h"

#include <sys/stat.h>

#include <QFile>
#include <QMimeDatabase>
#include <optional>

namespace {

// The type of anything but a folder, decided without opening the file: a
// regular file by its name alone, anything else by its kind. Nothing for a
// folder or a path that cannot be examined (a link that leads nowhere): the
// base class names those without reading them.
std::optional<QMimeType> TypeWithoutReading(const QFileInfo& info) {
  struct stat status {};
  if (::stat(QFile::encodeName(info.absoluteFilePath()).constData(), &status) != 0 ||
      S_ISDIR(status.st_mode)) {
    return std::nullopt;
  }
  const QMimeDatabase types;
  if (S_ISREG(status.st_mode))
    return types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
  if (S_ISFIFO(status.st_mode)) return types.mimeTypeForName("inode/fifo");
  if (S_ISCHR(status.st_mode)) return types.mimeTypeForName("inode/chardevice");
  if (S_ISBLK(status.st_mode)) return types.mimeTypeForName("inode/blockdevice");
  if (S_ISSOCK(status.st_mode)) return types.mimeTypeForName("inode/socket");
  return types.mimeTypeForName("application/octet-stream");
}

}  // namespace

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const {
  const auto type = TypeWithoutReading(info);
  if (!type) return QFileIconProvider::icon(info);
  const QIcon plain = QFileIconProvider::icon(QAbstractFileIconProvider::File);
  return QIcon::fromTheme(type->iconName(), QIcon::fromTheme(type->genericIconName(), plain));
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const {
  const auto type = TypeWithoutReading(info);
  if (!type) return QFileIconProvider::type(info);
  return type->comment().isEmpty() ? type->name() : type->comment();
}
