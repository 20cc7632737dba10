// Icons and type names for the file dialogs, found from a file's name and its
// kind in the file system (folder, regular file, pipe, device, socket), never
// from its content. Qt's own provider reads the first bytes of a file whose
// name does not settle its type, and that read never returns for a named pipe
// without a writer or for /proc/kmsg (and consumes kernel messages); the
// dialog would hang in its listing, or when it closes and waits for its
// listing thread.
#pragma once

#include <QFileIconProvider>

class NameOnlyIconProvider : public QFileIconProvider {
 public:
  QIcon icon(const QFileInfo& info) const override;
  QString type(const QFileInfo& info) const override;
  using QFileIconProvider::icon;
};
