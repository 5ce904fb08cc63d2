#include "CatalogueTransfer.h"

#include "Codec.h"
#include "Csv.h"
#include "DBGrid.h"
#include "Dialogs.h"
#include "Lending.h"
#include "LineCodec.h"
#include "SdfData.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace {
std::vector<const TField *> dataFields(const TDataSet &dataSet)
{
    std::vector<const TField *> fields;
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        if (dataSet.Fields(i)->FieldNo() > 0)
            fields.push_back(dataSet.Fields(i));
    }
    return fields;
}

QString nameOf(const TField &field)
{
    return Codec::toQString(field.FieldName());
}

std::size_t fieldPlace(const std::vector<const TField *> &fields, const char *utf8)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (nameOf(*fields[i]).compare(QString::fromUtf8(utf8), Qt::CaseInsensitive) == 0)
            return i;
    }
    return fields.size();
}

// Calls `write` with the field names, then with the values of each film at `positions` (every film
// when it is empty), all in UTF-8.
template <typename Write> void eachRow(TDataSet &dataSet, const std::vector<int> &positions, Write write)
{
    const std::vector<const TField *> fields = dataFields(dataSet);
    std::vector<std::string> texts(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        texts[i] = Codec::toUtf8(fields[i]->FieldName());
    write(texts, true);
    if (!dataSet.Active())
        return;
    const std::unique_ptr<char[]> buffer = dataSet.NewRowBuffer();
    auto film = [&](int row) {
        if (!dataSet.ReadRecordAt(row, buffer.get()))
            return;
        for (std::size_t i = 0; i < fields.size(); ++i)
            texts[i] = Codec::toUtf8(dataSet.FieldValueIn(buffer.get(), *fields[i]));
        write(texts, false);
    };
    if (positions.empty()) {
        const int rows = dataSet.RowCount();
        for (int row = 0; row < rows; ++row)
            film(row);
    }
    for (const int row : positions)
        film(row);
}

void appendEscaped(std::string &out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
}

bool fromUtf8(const std::string &bytes, QString &text)
{
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        return true;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// The blanks the catalogue drops around a value when it stores it.
QString withoutBlanks(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

bool isBlank(const std::string &bytes)
{
    return LineCodec::trimBlanks(bytes).empty();
}

// The film's line read back must give its values again; the first field that does not names the problem.
QString lineProblem(const TSdfDataSet &dataSet, const std::vector<const TField *> &fields,
                    const std::vector<std::string> &film, std::vector<std::size_t> &slotStarts)
{
    const TFieldDefs &defs = dataSet.FieldDefs();
    const std::size_t width = std::size_t(dataSet.RecordWidth());
    if (slotStarts.empty()) {
        std::size_t at = 0;
        for (const TFieldDef &def : defs) {
            slotStarts.push_back(at);
            at += std::size_t(def.Size);
        }
    }
    std::string record(width, ' ');
    for (std::size_t i = 0; i < fields.size(); ++i)
        record.replace(slotStarts[std::size_t(fields[i]->FieldNo() - 1)], film[i].size(), film[i]);
    const std::string line = LineCodec::recordToDelimited(record.data(), width, defs, dataSet.Delimiter());
    std::string back(width, ' ');
    LineCodec::delimitedToRecord(line, defs, dataSet.Delimiter(), back.data(), width);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t slot = slotStarts[std::size_t(fields[i]->FieldNo() - 1)];
        if (back.compare(slot, std::size_t(fields[i]->Size()), record, slot,
                         std::size_t(fields[i]->Size())) != 0)
            return QString::fromUtf8("%1: кавичка, следвана от запетая, в стойност със запетая")
                .arg(nameOf(*fields[i]));
    }
    return QString();
}

// Whether the text reads as UTF-8 rather than as a single-byte code page: it has more well-formed
// sequences of several bytes than bytes that cannot stand where they do. Windows-1251 text almost
// never forms such sequences; a UTF-8 file with a stray byte still counts as UTF-8.
bool mostlyUtf8(std::string_view text)
{
    std::size_t good = 0, bad = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        bool formed = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; formed && k < length; ++k)
            formed = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (length == 1) {
            ++i;
        } else if (formed) {
            ++good;
            i += length;
        } else {
            ++bad;
            ++i;
        }
    }
    return good >= bad;
}

// A column's name as the catalogue has it: the English names a spreadsheet of films may carry
// stand for the catalogue's own.
QString catalogueName(const QString &name)
{
    static const struct
    {
        const char *english;
        const char *field;
    } kAliases[] = {{"Title", "Заглавие"},  {"Disc", "Етикет"},        {"Disc label", "Етикет"},
                    {"Label", "Етикет"},    {"Format", "Формат"},      {"Video", "Видео"},
                    {"Audio", "Аудио"},     {"Subtitles", "Субтитри"}, {"Subtitle", "Субтитри"},
                    {"At home", "Наличен"}, {"Home", "Наличен"},       {"Available", "Наличен"},
                    {"Lent to", "Даден"},   {"Lent", "Даден"},         {"Borrower", "Даден"}};
    for (const auto &alias : kAliases) {
        if (name.compare(QLatin1String(alias.english), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(alias.field);
    }
    return name;
}

QString faultText(const Csv::Reader &reader)
{
    if (reader.fault() == Csv::Reader::Fault::OpenQuote)
        return QString::fromUtf8("Файлът не може да бъде внесен: стойността в кавички, започната на ред %1, "
                                 "не е затворена до края на файла.")
            .arg(reader.line());
    return QString::fromUtf8("Файлът не може да бъде внесен: на ред %1 след затварящите кавички на "
                             "стойност има други знаци преди запетаята.")
        .arg(reader.line());
}
} // namespace

QString StorableProblem(const TField &field, const QString &text, std::string *stored)
{
    const QString name = nameOf(field);
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QString::fromUtf8("%1: стойност на повече от един ред").arg(name);
    if (text.contains(QChar(0)))
        return QString::fromUtf8("%1: знакът NUL").arg(name);
    if (const QString character = Codec::firstUnencodable(text); !character.isEmpty())
        return QString::fromUtf8("%1: знакът „%2“ (U+%3) не се побира в кодовата таблица Windows-1251")
            .arg(name, character)
            .arg(QString::number(character.toUcs4().value(0), 16)
                     .toUpper()
                     .rightJustified(4, QLatin1Char('0')));
    const std::string bytes = Codec::fromQString(text);
    if (qsizetype(bytes.size()) > field.Size())
        return QString::fromUtf8("%1: %2 знака, а полето побира %3")
            .arg(name)
            .arg(bytes.size())
            .arg(field.Size());
    if (!LineFormatKeeps(field, text))
        return QString::fromUtf8("%1: кавичка, следвана от запетая, в стойност със запетая").arg(name);
    if (stored)
        *stored = bytes;
    return QString();
}

bool LineFormatKeeps(const TField &field, const QString &text)
{
    const std::string bytes = Codec::fromQString(withoutBlanks(text));
    const auto *sdf = qobject_cast<const TSdfDataSet *>(&field.DataSet());
    const char delimiter = sdf ? sdf->Delimiter() : ',';
    const std::size_t width = std::max(std::size_t(field.Size()), bytes.size());
    const TFieldDefs defs{{field.FieldName(), TFieldType::ftString, int(width)}};
    std::string record(width, ' ');
    record.replace(0, bytes.size(), bytes);
    std::string back(width, ' ');
    LineCodec::delimitedToRecord(LineCodec::recordToDelimited(record.data(), width, defs, delimiter), defs,
                                 delimiter, back.data(), width);
    return back == record;
}

std::optional<std::vector<int>> ExportedPositions(const DBGridModel &grid)
{
    if (grid.sortColumn() < 0)
        return grid.FilteredPositions();
    return grid.ShownPositions();
}

std::string ExportCsv(TDataSet &dataSet, const std::vector<int> &positions)
{
    std::string out;
    std::vector<std::string_view> views;
    eachRow(dataSet, positions, [&](const std::vector<std::string> &texts, bool) {
        views.assign(texts.begin(), texts.end());
        Csv::appendRecord(out, views);
    });
    return out;
}

std::string ExportHtml(TDataSet &dataSet, const std::vector<int> &positions)
{
    std::string out =
        "<!DOCTYPE html>\n"
        "<html lang=\"bg\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<title>Cinaxo</title>\n"
        "<style>\n"
        "table { border-collapse: collapse; }\n"
        "th, td { border: 1px solid #000; padding: 2px 6px; text-align: left; vertical-align: top; }\n"
        "</style>\n"
        "</head>\n"
        "<body>\n"
        "<table>\n";
    eachRow(dataSet, positions, [&](const std::vector<std::string> &texts, bool header) {
        out += header ? "<thead><tr>" : "<tr>";
        for (const std::string &text : texts) {
            out += header ? "<th>" : "<td>";
            appendEscaped(out, text);
            out += header ? "</th>" : "</td>";
        }
        out += header ? "</tr></thead>\n<tbody>\n" : "</tr>\n";
    });
    out += "</tbody>\n"
           "</table>\n"
           "</body>\n"
           "</html>\n";
    return out;
}

ImportPlan PlanImport(TSdfDataSet &dataSet, std::string_view csv)
{
    ImportPlan plan;
    if (!dataSet.Active()) {
        plan.failure = QString::fromUtf8("Каталогът не е отворен.");
        return plan;
    }
    // What a spreadsheet writes: UTF-8 with or without its mark, or the catalogue's own code page;
    // commas, semicolons or tabs between the values.
    if (csv.substr(0, 3) == "\xEF\xBB\xBF") {
        csv.remove_prefix(3);
    } else {
        plan.windows1251 = !mostlyUtf8(csv);
    }
    auto decode = [&plan](const std::string &bytes, QString &text) {
        if (!plan.windows1251)
            return fromUtf8(bytes, text);
        text = Codec::toQString(bytes);
        return true;
    };
    const std::vector<const TField *> fields = dataFields(dataSet);
    Csv::Reader reader(csv, Csv::guessSeparator(csv));
    std::vector<std::string> values;
    if (!reader.next(values) || (values.size() == 1 && isBlank(values[0]))) {
        plan.failure = reader.fault() != Csv::Reader::Fault::None
                           ? faultText(reader)
                           : QString::fromUtf8("Файлът не може да бъде внесен: първият му ред трябва да "
                                               "назовава колоните.");
        return plan;
    }
    // The columns: the field each one fills, by name, regardless of letter case.
    std::vector<int> fieldOfColumn(values.size(), -1);
    bool anyField = false;
    for (std::size_t column = 0; column < values.size(); ++column) {
        QString name;
        if (!decode(values[column], name)) {
            plan.failure =
                QString::fromUtf8("Файлът не може да бъде внесен: заглавният ред не е текст в UTF-8.");
            return plan;
        }
        name = catalogueName(withoutBlanks(name));
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (name.compare(nameOf(*fields[f]), Qt::CaseInsensitive) != 0)
                continue;
            for (std::size_t before = 0; before < column; ++before) {
                if (fieldOfColumn[before] == int(f)) {
                    plan.failure =
                        QString::fromUtf8("Файлът не може да бъде внесен: колоната „%1“ е дадена два пъти.")
                            .arg(nameOf(*fields[f]));
                    return plan;
                }
            }
            fieldOfColumn[column] = int(f);
            anyField = true;
        }
    }
    if (!anyField) {
        QStringList names;
        for (const TField *field : fields)
            names << nameOf(*field);
        plan.failure =
            QString::fromUtf8("Файлът не може да бъде внесен: никоя негова колона не носи името на поле "
                              "от каталога (%1).")
                .arg(names.join(QStringLiteral(", ")));
        return plan;
    }
    const std::size_t columns = values.size();
    std::vector<std::size_t> slotStarts;
    const std::size_t titleAt = fieldPlace(fields, "Заглавие"), labelAt = fieldPlace(fields, "Етикет");
    while (reader.next(values)) {
        const int row = reader.record();
        if (std::all_of(values.begin(), values.end(), isBlank))
            continue;
        if (values.size() != columns) {
            plan.refused.push_back(
                {row, QString::fromUtf8("%1 стойности, а колоните са %2").arg(values.size()).arg(columns)});
            continue;
        }
        std::vector<std::string> film(fields.size());
        QStringList problems;
        bool anyValue = false;
        for (std::size_t column = 0; column < columns; ++column) {
            const int f = fieldOfColumn[column];
            if (f < 0)
                continue;
            QString text;
            if (!decode(values[column], text)) {
                problems << QString::fromUtf8("%1: не е текст в UTF-8").arg(nameOf(*fields[std::size_t(f)]));
                continue;
            }
            text = withoutBlanks(text);
            const QString problem = StorableProblem(*fields[std::size_t(f)], text, &film[std::size_t(f)]);
            if (!problem.isEmpty())
                problems << problem;
            anyValue = anyValue || !text.isEmpty();
        }
        if (problems.isEmpty() && !anyValue)
            continue;
        if (problems.isEmpty()) {
            const QString problem = lineProblem(dataSet, fields, film, slotStarts);
            if (!problem.isEmpty())
                problems << problem;
        }
        if (problems.isEmpty())
            plan.films.push_back(std::move(film));
        else
            plan.refused.push_back({row, problems.join(QStringLiteral("; "))});
    }
    if (reader.fault() == Csv::Reader::Fault::None && titleAt < fields.size() && labelAt < fields.size()) {
        std::vector<std::pair<QString, QString>> keys;
        keys.reserve(plan.films.size());
        for (const std::vector<std::string> &film : plan.films)
            keys.emplace_back(Codec::toQString(film[titleAt]), Codec::toQString(film[labelAt]));
        const std::vector<int> rows = FindDuplicateFilms(dataSet, keys);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] >= 0)
                plan.known.push_back(i);
        }
    }
    if (reader.fault() != Csv::Reader::Fault::None) {
        plan.failure = faultText(reader);
        plan.films.clear();
        plan.known.clear();
        plan.refused.clear();
    }
    return plan;
}

void ApplyImport(TSdfDataSet &dataSet, const ImportPlan &plan)
{
    if (!plan.failure.isEmpty() || plan.films.empty())
        return;
    dataSet.CheckBrowseMode();
    const bool wasChanged = dataSet.Changed();
    const int first = dataSet.RowCount();
    std::size_t added = 0;
    dataSet.DisableControls();
    try {
        for (const std::vector<std::string> &film : plan.films) {
            dataSet.AppendRecord(film);
            ++added;
        }
    } catch (...) {
        // Back to the catalogue as it was: the films added so far go again.
        try {
            for (; added > 0; --added) {
                dataSet.Last();
                dataSet.Delete();
            }
            if (!wasChanged)
                dataSet.DiscardChanges();
        } catch (...) {
        }
        dataSet.EnableControls();
        throw;
    }
    dataSet.EnableControls();
    dataSet.MoveToRow(first);
}

QString ImportSummary(const ImportPlan &plan)
{
    const std::size_t count = plan.films.size();
    QString text = count == 0 ? QString::fromUtf8("Във файла няма филми, които да бъдат добавени.")
                   : count == 1 ? QString::fromUtf8("Ще бъде добавен 1 филм.")
                                : QString::fromUtf8("Ще бъдат добавени %1 филма.").arg(count);
    if (plan.windows1251)
        text += QString::fromUtf8("\nФайлът е прочетен като текст в Windows-1251.");
    if (plan.known.size() == 1)
        text += QString::fromUtf8("\n1 от тях вече е в каталога (същото заглавие и етикет).");
    else if (!plan.known.empty())
        text += QString::fromUtf8("\n%1 от тях вече са в каталога (същото заглавие и етикет).")
                    .arg(plan.known.size());
    if (plan.refused.empty())
        return text;
    text += QString::fromUtf8("\n\nТези редове не могат да бъдат записани и ще бъдат пропуснати:");
    constexpr std::size_t kShown = 15;
    for (std::size_t i = 0; i < plan.refused.size() && i < kShown; ++i)
        text += QString::fromUtf8("\nред %1: %2").arg(plan.refused[i].row).arg(plan.refused[i].reason);
    const std::size_t more = plan.refused.size() > kShown ? plan.refused.size() - kShown : 0;
    if (more == 1)
        text += QString::fromUtf8("\n... и още 1 ред.");
    else if (more > 1)
        text += QString::fromUtf8("\n... и още %1 реда.").arg(more);
    return text;
}

bool ConfirmImport(ImportPlan &plan)
{
    const QString summary = ImportSummary(plan);
    if (plan.known.empty()) {
        return Dialogs().MessageDlg(summary + QString::fromUtf8("\n\nДа се добавят ли?"),
                                    TMsgDlgType::mtConfirmation,
                                    MsgButtons::mbYes | MsgButtons::mbNo) == mrYes;
    }
    const QString onlyNew = QString::fromUtf8("Само новите");
    const QString all = QString::fromUtf8("Всички");
    const QString cancel = QString::fromUtf8("Отказ");
    const QString answer = Dialogs().Ask(
        summary + QString::fromUtf8("\n\nДа се добавят ли само филмите, които ги няма в каталога, "
                                    "или всички?"),
        TMsgDlgType::mtConfirmation, {onlyNew, all, cancel}, cancel);
    if (answer == onlyNew) {
        // Known films leave the plan from the back, so that the positions before them stay.
        for (auto it = plan.known.rbegin(); it != plan.known.rend(); ++it)
            plan.films.erase(plan.films.begin() + std::ptrdiff_t(*it));
        plan.known.clear();
        return !plan.films.empty();
    }
    return answer == all;
}

void ExportWithDialogs(TDataSet &dataSet, const std::optional<std::vector<int>> &shown)
{
    // The export functions take no positions for the whole catalogue.
    if (shown && shown->empty())
        return Dialogs().ShowMessage(
            QString::fromUtf8("Търсенето не показва нито един филм: няма какво да се експортира."));
    const QString file = Dialogs().SaveFileName(
        QString::fromUtf8("Експорт"), QString::fromUtf8("CSV файлове (UTF-8)|*.csv|HTML таблица|*.html"),
        QStringLiteral("Cinaxo.csv"));
    if (file.isEmpty())
        return;
    const bool html = file.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
                      file.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
    const std::vector<int> rows = shown.value_or(std::vector<int>());
    const std::string bytes = html ? ExportHtml(dataSet, rows) : ExportCsv(dataSet, rows);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !out.commit()) {
        Dialogs().ShowMessage(
            QString::fromUtf8("Файлът %1 не можа да бъде записан:\n%2").arg(file, out.errorString()));
    }
}

bool AskImport(TSdfDataSet &dataSet, QString &folder, ImportPlan &plan)
{
    const QString file = Dialogs().OpenFileName(
        QString::fromUtf8("Импорт"), QString::fromUtf8("CSV файлове (UTF-8)|*.csv|Всички файлове|*.*"),
        QString(), folder);
    if (file.isEmpty())
        return false;
    QFile in(file);
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly))
        bytes = in.readAll();
    if (!in.isOpen() || in.error() != QFileDevice::NoError) {
        Dialogs().ShowMessage(
            QString::fromUtf8("Файлът %1 не може да бъде прочетен:\n%2").arg(file, in.errorString()));
        return false;
    }
    plan = PlanImport(dataSet, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!plan.failure.isEmpty() || plan.films.empty()) {
        Dialogs().ShowMessage(plan.failure.isEmpty() ? ImportSummary(plan) : plan.failure);
        return false;
    }
    return ConfirmImport(plan);
}
