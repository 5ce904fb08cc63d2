#pragma once
// The format a video file is in, as the catalogue names it ("DivX", "XviD", "MKV", "ASF", ...), read
// from its container and its video codec by the media library.

#include <QString>
#include <atomic>

namespace MediaProbe {
// The format read from the file, or an empty text when it cannot be read within `timeoutMs`
// milliseconds (or `cancel` is set first) or is no media file. Only regular files are opened.
QString FormatOf(const QString &path, int timeoutMs, const std::atomic<bool> *cancel = nullptr);
// The format a file's extension suggests, for a file the library cannot read: "AVI", "DivX", "MKV".
QString FormatFromExtension(const QString &path);
} // namespace MediaProbe
