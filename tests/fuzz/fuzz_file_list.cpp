// The file list on any bytes: every entry keeps its bytes beside its text, is requested by
// exactly those bytes, and an entry found safe has its local file inside the folder; the
// list counts its parts as it reads them.
#include "backup/core/file_list.h"
#include "backup/core/quor_urls.h"
#include "backup/run/entry_file.h"

#include <QByteArray>
#include <QDir>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace ombrix;

namespace {

const QString kFolder = QStringLiteral("/salvataggi/destinazione");
const QByteArray kUpload = WireForm(QStringLiteral("http://127.0.0.1:8642/quor/img_upload/"));

void Check(bool holds) {
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<ListPart> parts = SplitFileList(body);
    QByteArray joined;
    for (const ListPart& part : parts) {
        Check(!part.bytes.contains(QByteArrayView(kFileListSeparator)));
        Check(part.bytes.isEmpty() == part.text.isEmpty());
        joined += part.bytes + QByteArray(kFileListSeparator.data(), kFileListSeparator.size());
        if (part.isEmpty())
            continue;
        // The request names the entry's own bytes, as one path below the upload folder.
        const QUrl url = FileUrlOnWire(kUpload, part.bytes);
        Check(url.isValid() && !url.hasQuery() && !url.hasFragment());
        const QByteArray path = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        Check(QByteArray::fromPercentEncoding(path) == "/quor/img_upload/" + part.bytes);
        // A name found safe stays inside the folder, as far as its text can tell.
        if (IsSafeEntryName(part.text)) {
            const QString local = QDir::cleanPath(LocalFileOf(kFolder, part.text));
            Check(local.startsWith(kFolder + u'/') && local.size() > kFolder.size() + 1);
        }
    }
    // The count made before the parts are read is the count of the parts read.
    Check(FileList(body).highestIndex() == HighestIndex(parts));
    // Nothing is lost: the parts and the separators give back the list (its BOM aside).
    if (!parts.empty())
        Check(body.endsWith(joined.chopped(kFileListSeparator.size())));
    return 0;
}
