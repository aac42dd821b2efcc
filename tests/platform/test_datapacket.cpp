#include "platform/DataPacket.h"
#include "platform/Dataset.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// Runs `action` and checks it throws E with every fragment in its text.
template <typename E, typename F> void expectError(F action, const QStringList& fragments) {
    try {
        action();
        ADD_FAILURE() << "no error; expected one mentioning " << fragments.join(", ").toStdString();
    } catch (const E& e) {
        for (const QString& fragment : fragments)
            EXPECT_TRUE(e.text().contains(fragment, Qt::CaseInsensitive))
                << "'" << e.what() << "' lacks '" << fragment.toStdString() << "'";
    }
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

DataPacket everyType() {
    DataPacket p;
    p.fields = {{"CDFILIAL", FieldType::String, 4},
                {"QTPRODCOMVEN", FieldType::Float, 0},
                {"NRSEQ", FieldType::Integer, 0},
                {"IDATIVO", FieldType::Boolean, 0},
                {"DTVENDA", FieldType::DateTime, 0}};
    p.rows = {{"0001", 2.0, 7, true, QDateTime(QDate(2026, 12, 8), QTime(12, 30, 0, 123))},
              {"", 0.1 + 0.2, -2147483647 - 1, false, QDateTime(QDate(1999, 1, 31), QTime(23, 59, 59, 999))},
              {QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
              {"ção", 1.0 / 3.0, 2147483647, QVariant(), QDateTime(QDate(2026, 2, 1), QTime(0, 0))},
              {"x", 1e-300, 0, true, QVariant()},
              {"y", -123456789.123456, 1, false, QVariant()}};
    return p;
}

TEST(DataPacketTest, RoundTripIsExactForEveryTypeAndNull) {
    const DataPacket original = everyType();
    const QByteArray json = original.toJson();
    EXPECT_TRUE(json.contains(R"("2026-12-08T12:30:00.123")")) << json.constData();
    EXPECT_TRUE(json.contains("[null,null,null,null,null]")) << json.constData();
    EXPECT_FALSE(json.contains('\n'));

    const DataPacket back = DataPacket::fromJson(json);
    EXPECT_EQ(back.fields, original.fields);
    ASSERT_EQ(back.rows.size(), original.rows.size());
    for (int r = 0; r < original.rows.size(); ++r)
        for (int f = 0; f < original.fields.size(); ++f) // a null equals only a null
            EXPECT_EQ(back.rows[r][f], original.rows[r][f]) << r << "," << f;
    EXPECT_EQ(back.rows[1][1].toDouble(), 0.1 + 0.2); // exact, not just close
    EXPECT_EQ(back.rows[0][4].toDateTime().timeSpec(), Qt::LocalTime);
}

TEST(DataPacketTest, TextsWithEscapesAndCharactersBeyondAsciiComeBackAsTheyWere) {
    // quotes, backslash, line breaks, a control character, accents and a character beyond the BMP
    const QString text = QStringLiteral("a\"b\\c\nd\re\tf\x01g \U0001F355 P\u00e3o");
    DataPacket p;
    p.fields = {{"TX", FieldType::String, 0}};
    p.rows = {{text}};
    const QByteArray json = p.toJson();
    EXPECT_TRUE(json.contains(R"(a\"b\\c\nd\re\tf\u0001g)")) << json.constData();
    EXPECT_EQ(DataPacket::fromJson(json).rows.value(0).value(0).toString(), text);
}

TEST(DataPacketTest, FloatFieldTakesWholeNumbersAndTextsAreKeptUncut) {
    const DataPacket p = DataPacket::fromJson(
        R"({"fields":[{"name":"Q","type":"float"},{"name":"S","type":"string","size":2}],"rows":[[2,"abcd"],[2.0,null]]})");
    ASSERT_EQ(p.rows.size(), 2);
    EXPECT_EQ(p.rows[0][0].typeId(), QMetaType::Double);
    EXPECT_EQ(p.rows[0][0].toDouble(), 2.0);
    EXPECT_EQ(p.rows[1][0].toDouble(), 2.0);
    EXPECT_EQ(p.rows[0][1].toString(), "abcd");

    Dataset ds;
    ds.loadPacket(p);
    EXPECT_EQ(ds.field("S").asString(), "ab"); // cut on the way into the dataset
}

TEST(DataPacketTest, MalformedPacketsAreRejectedWithTheirReason) {
    const QByteArray f = R"("fields":[{"name":"A","type":"string","size":4},{"name":"N","type":"integer"}])";
    const QList<QPair<QByteArray, QStringList>> cases = {
        {R"({"fields":[{"name":"A","type":"str)", {"JSON"}},
        {"", {"JSON"}},
        {"[1,2]", {"objeto"}},
        {R"({"rows":[]})", {"fields"}},
        {R"({"fields":[]})", {"rows"}},
        {R"({"fields":{},"rows":[]})", {"fields"}},
        {R"({"fields":[{"type":"float"}],"rows":[]})", {"campo 1", "não tem nome"}},
        {R"({"fields":[{"name":"A","type":"float"},{"name":"a","type":"float"}],"rows":[]})", {"repetido"}},
        {R"({"fields":[{"name":"A","type":"money"}],"rows":[]})", {"money", "desconhecido"}},
        {R"({"fields":[{"name":"A","type":"string"}],"rows":[]})", {"A", "tamanho"}},
        {R"({"fields":[{"name":"A","type":"string","size":-1}],"rows":[]})", {"A", "tamanho"}},
        {"{" + f + R"(,"rows":[["ab",1],"x"]})", {"linha 2"}},
        {"{" + f + R"(,"rows":[["ab",1],["ab"]]})", {"linha 2", "1 valores", "2 campos"}},
        {"{" + f + R"(,"rows":[["ab","1"]]})", {"linha 1", "N", "encontrado texto"}},
        {"{" + f + R"(,"rows":[[5,1]]})", {"linha 1", "esperado texto"}},
        {"{" + f + R"(,"rows":[["ab",1.5]]})", {"linha 1", "N", "inteiro"}},
        {R"({"fields":[{"name":"D","type":"datetime"}],"rows":[["2026-13-45T00:00:00.000"]]})",
         {"D", "2026-13-45"}},
        {R"({"fields":[{"name":"B","type":"boolean"}],"rows":[[1]]})", {"B", "booleano"}},
    };
    for (const auto& [json, fragments] : cases) {
        SCOPED_TRACE(json.toStdString());
        expectError<PacketError>([&json] { DataPacket::fromJson(json, "vendas.json"); },
                                 QStringList(fragments) << "vendas.json");
    }
}

TEST(DataPacketTest, EveryTruncationOfAPacketIsRejected) {
    const QByteArray json = everyType().toJson();
    for (int n = 0; n < json.size(); ++n)
        EXPECT_THROW(DataPacket::fromJson(json.left(n)), PacketError) << n;
}

TEST(DataPacketTest, DatasetRoundTripMatchesDeclaredFieldsByName) {
    Dataset source("SOURCE");
    source.loadPacket(everyType());
    source.first();
    source.edit();
    source.field("CDFILIAL").setValue("0001-LONG"); // cut to 4
    source.post();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("sales.json");
    source.saveToFile(path);

    Dataset target("TARGET");
    target.setFieldDefs({{"DTVENDA", FieldType::DateTime, 0},
                         {"MISSING", FieldType::String, 10},
                         {"nrseq", FieldType::Float, 0}, // another type: values are converted
                         {"CDFILIAL", FieldType::String, 2}});
    target.loadFromFile(path);
    EXPECT_FALSE(target.hasField("QTPRODCOMVEN"));
    EXPECT_EQ(target.recordCount(), 6);
    EXPECT_EQ(target.recNo(), 0);
    EXPECT_EQ(target.field("CDFILIAL").asString(), "00");
    EXPECT_TRUE(target.field("MISSING").isNull());
    EXPECT_EQ(target.field("NRSEQ").value().typeId(), QMetaType::Double);
    EXPECT_EQ(target.field("NRSEQ").asFloat(), 7.0);
    EXPECT_EQ(target.field("DTVENDA").asDateTime(), QDateTime(QDate(2026, 12, 8), QTime(12, 30, 0, 123)));
    target.setRecNo(2);
    for (int f = 0; f < 4; ++f)
        EXPECT_TRUE(target.field(f).isNull()) << f;

    Dataset copy;
    copy.loadPacket(source.packetJson(), "copy");
    EXPECT_EQ(copy.packetJson(), source.packetJson());
}

TEST(DataPacketTest, BadFilesNameTheFileAndLeaveTheDatasetAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Dataset ds("ITEMS");
    ds.setFieldDefs({{"Q", FieldType::Float, 0}});
    ds.loadPacket(QByteArray(R"({"fields":[{"name":"Q","type":"float"}],"rows":[[1],[2]]})"));

    const QString text = dir.filePath("notes.txt");
    writeFile(text, "just some plain text\n");
    expectError<PacketError>([&] { ds.loadFromFile(text); }, {"notes.txt", "JSON"});
    const QString wrong = dir.filePath("wrong.json");
    writeFile(wrong, R"({"fields":[{"name":"Q","type":"string","size":3}],"rows":[["abc"]]})");
    expectError<PacketError>([&] { ds.loadFromFile(wrong); }, {"wrong.json", "linha 1", "Q"});
    expectError<PacketError>([&] { ds.loadFromFile(dir.filePath("absent.json")); }, {"absent.json"});
    expectError<PacketError>([&] { ds.loadFromFile(dir.path()); }, {dir.path()});
    expectError<PacketError>([&] { ds.saveToFile(dir.filePath("no/such/dir/x.json")); }, {"x.json"});

    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.fields().size(), 1);
}

TEST(CoerceToFieldTest, ConvertsEachKindOrRefuses) {
    const FieldDef text{"T", FieldType::String, 3};
    EXPECT_EQ(coerceToField(text, 0.5), "0.5");
    EXPECT_EQ(coerceToField(text, "abcdef"), "abc");
    EXPECT_FALSE(coerceToField(text, QVariant()).isValid());

    const FieldDef number{"F", FieldType::Float, 0};
    EXPECT_EQ(coerceToField(number, "2.5"), 2.5);
    EXPECT_FALSE(coerceToField(number, "").isValid());
    for (const char* bad : {"abc", "1,5", "nan"})
        EXPECT_THROW(coerceToField(number, bad), DatasetError) << bad;

    const FieldDef integer{"I", FieldType::Integer, 0};
    EXPECT_EQ(coerceToField(integer, " 42 "), 42);
    EXPECT_EQ(coerceToField(integer, 2.6), 3);
    EXPECT_THROW(coerceToField(integer, "4.5"), DatasetError);

    const FieldDef flag{"B", FieldType::Boolean, 0};
    EXPECT_EQ(coerceToField(flag, "true"), true);
    EXPECT_THROW(coerceToField(flag, 2), DatasetError);
    EXPECT_THROW(coerceToField(flag, "S"), DatasetError);

    const FieldDef when{"D", FieldType::DateTime, 0};
    const QDateTime noon(QDate(2026, 12, 8), QTime(12, 30));
    EXPECT_EQ(coerceToField(when, "2026-12-08 12:30:00"), noon);
    EXPECT_EQ(coerceToField(when, QDate(2026, 12, 8)), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
    EXPECT_FALSE(coerceToField(when, "").isValid());
    expectError<DatasetError>([&] { coerceToField(when, "08/12/2026"); }, {"D", "08/12/2026"});
}

} // namespace
