// The schema reader: any bytes as format.txt, read as the program reads it and opened on a small
// catalogue. Either the open fails with the dataset's own error, or the fields it made are sane.

#include "FuzzTarget.h"
#include "SanitizerDefaults.h"
#include "SdfData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString db = [] {
        const QString name = fuzz::folder() + QStringLiteral("db.txt");
        const char text[] =
            "Casablanca,DVD-1,DVD\r\n\"Smith, John\",CD-2,DivX,,,,No,Ivan\r\n\r\n  spaced , x \r\n";
        fuzz::writeFile(name, text, sizeof text - 1);
        return name;
    }();
    const QString schema = fuzz::folder() + QStringLiteral("format.txt");
    fuzz::writeFile(schema, data, size);

    TSdfDataSet ds;
    ds.setObjectName(QStringLiteral("DataSet"));
    ds.setFileName(db);
    try {
        ds.LoadSchemaFromFile(schema);
        ds.Open();
    } catch (const Exception &) {
        return 0;
    }
    FUZZ_CHECK(ds.FieldCount() >= 1);
    long long total = 0;
    for (int i = 0; i < ds.FieldCount(); ++i) {
        const TField &field = *ds.Fields(i);
        FUZZ_CHECK(field.Size() >= 0 && field.Size() <= 8192);
        FUZZ_CHECK(!field.FieldName().empty());
        total += field.Size();
    }
    FUZZ_CHECK(ds.RecordWidth() == (total > 0 ? total : 250));
    for (ds.First(); !ds.Eof(); ds.Next()) {
        for (int i = 0; i < ds.FieldCount(); ++i)
            FUZZ_CHECK(ds.Fields(i)->AsString().size() <= std::size_t(ds.Fields(i)->Size()));
    }
    ds.Close();
    return 0;
}
