// The catalogue reader: any bytes as db.txt, opened with the program's schema, with no schema (the
// header step), with the first line as the schema, and as fixed-width lines; every record is read.

#include "FuzzTarget.h"
#include "SanitizerDefaults.h"
#include "SdfData.h"

#include <string_view>

namespace {
// The lines the reader must find: split at CR, LF or CR LF, up to a NUL.
struct Expected
{
    int lines = 0;
    int nulLine = 0;
};
Expected expectedLines(std::string_view text)
{
    Expected e;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') {
            e.nulLine = e.lines + 1;
            text = text.substr(0, i);
            break;
        }
        if (c == '\r' || c == '\n') {
            ++e.lines;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lineStart = i + 1;
        }
    }
    if (lineStart < text.size())
        ++e.lines;
    return e;
}

void readEverything(TFixedFormatDataSet &ds)
{
    std::size_t bytes = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        for (int i = 0; i < ds.FieldCount(); ++i)
            bytes += ds.Fields(i)->AsString().size();
    }
    auto buffer = ds.NewRowBuffer();
    for (int row = 0; row < ds.RowCount(); ++row) {
        FUZZ_CHECK(ds.ReadRecordAt(row, buffer.get()));
        for (int i = 0; i < ds.FieldCount(); ++i) {
            const std::string value = ds.FieldValueIn(buffer.get(), *ds.Fields(i));
            FUZZ_CHECK(value.size() <= std::size_t(ds.Fields(i)->Size()));
        }
    }
    FUZZ_CHECK(!ds.ReadRecordAt(ds.RowCount(), buffer.get()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0];
    const std::string_view text(reinterpret_cast<const char *>(data + 1), size - 1);
    const QString db = fuzz::folder() + QStringLiteral("db.txt");
    fuzz::writeFile(db, text.data(), text.size());

    std::unique_ptr<TFixedFormatDataSet> ds;
    if (mode % 4 == 3) {
        ds = std::make_unique<TFixedFormatDataSet>();
        ds->setSchema({"Title=10", "Disc=5", "Rest"});
    } else {
        auto sdf = std::make_unique<TSdfDataSet>();
        if (mode % 4 == 0)
            sdf->setSchema({"Title=100", "Disc=20", "Format=20", "Video=255", "Audio=255", "Subs=255",
                            "Home=5", "Lent=50"});
        sdf->setFirstLineAsSchema(mode % 4 == 2);
        sdf->setDelimiter(mode & 0x10 ? ';' : ',');
        ds = std::move(sdf);
    }
    ds->setObjectName(QStringLiteral("DataSet"));
    ds->setTrimSpace(!(mode & 0x20));
    ds->setFileName(db);
    try {
        ds->Open();
    } catch (const Exception &) {
        return 0;
    }
    const Expected expected = expectedLines(text);
    FUZZ_CHECK(ds->LineCount() == expected.lines);
    FUZZ_CHECK(ds->NulLine() == expected.nulLine);
    try {
        readEverything(*ds);
    } catch (const Exception &) {
        // Errors of the dataset are fine; anything else ends the run.
    }
    ds->Close();
    return 0;
}
