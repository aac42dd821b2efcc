#include "platform/DataPacket.h"
#include "platform/Dataset.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform;
using namespace Qt::StringLiterals;

namespace {

// Runs `action` and checks it throws E with every fragment in its text.
template <typename E, typename F> void expectError(F action, const QStringList& fragments) {
    try {
        action();
        ADD_FAILURE() << "no error; expected one mentioning " << fragments.join(u", "_s).toStdString();
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
    p.fields = {{u"CDFILIAL"_s, FieldType::String, 4},
                {u"QTPRODCOMVEN"_s, FieldType::Float, 0},
                {u"NRSEQ"_s, FieldType::Integer, 0},
                {u"IDATIVO"_s, FieldType::Boolean, 0},
                {u"DTVENDA"_s, FieldType::DateTime, 0}};
    p.rows = {
        {u"0001"_s, 2.0, 7, true, QDateTime(QDate(2026, 12, 8), QTime(12, 30, 0, 123))},
        {u""_s, 0.1 + 0.2, -2147483647 - 1, false, QDateTime(QDate(1999, 1, 31), QTime(23, 59, 59, 999))},
        {QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
        {u"ção"_s, 1.0 / 3.0, 2147483647, QVariant(), QDateTime(QDate(2026, 2, 1), QTime(0, 0))},
        {u"x"_s, 1e-300, 0, true, QVariant()},
        {u"y"_s, -123456789.123456, 1, false, QVariant()}};
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
    const QString text = u"a\"b\\c\nd\re\tf\x01g \U0001F355 P\u00e3o"_s;
    DataPacket p;
    p.fields = {{u"TX"_s, FieldType::String, 0}};
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
    EXPECT_EQ(p.rows[0][1].toString(), u"abcd"_s);

    Dataset ds;
    ds.loadPacket(p);
    EXPECT_EQ(ds.field(u"S"_s).asString(), u"ab"_s); // cut on the way into the dataset
}

TEST(DataPacketTest, MalformedPacketsAreRejectedWithTheirReason) {
    const QByteArray f = R"("fields":[{"name":"A","type":"string","size":4},{"name":"N","type":"integer"}])";
    const QList<QPair<QByteArray, QStringList>> cases = {
        {R"({"fields":[{"name":"A","type":"str)", {u"JSON"_s}},
        {"", {u"JSON"_s}},
        {"[1,2]", {u"objeto"_s}},
        {R"({"rows":[]})", {u"fields"_s}},
        {R"({"fields":[]})", {u"rows"_s}},
        {R"({"fields":{},"rows":[]})", {u"fields"_s}},
        {R"({"fields":[{"type":"float"}],"rows":[]})", {u"campo 1"_s, u"não tem nome"_s}},
        {R"({"fields":[{"name":"A","type":"float"},{"name":"a","type":"float"}],"rows":[]})",
         {u"repetido"_s}},
        {R"({"fields":[{"name":"A","type":"money"}],"rows":[]})", {u"money"_s, u"desconhecido"_s}},
        {R"({"fields":[{"name":"A","type":"string"}],"rows":[]})", {u"A"_s, u"tamanho"_s}},
        {R"({"fields":[{"name":"A","type":"string","size":-1}],"rows":[]})", {u"A"_s, u"tamanho"_s}},
        {"{" + f + R"(,"rows":[["ab",1],"x"]})", {u"linha 2"_s}},
        {"{" + f + R"(,"rows":[["ab",1],["ab"]]})", {u"linha 2"_s, u"1 valores"_s, u"2 campos"_s}},
        {"{" + f + R"(,"rows":[["ab","1"]]})", {u"linha 1"_s, u"N"_s, u"encontrado texto"_s}},
        {"{" + f + R"(,"rows":[[5,1]]})", {u"linha 1"_s, u"esperado texto"_s}},
        {"{" + f + R"(,"rows":[["ab",1.5]]})", {u"linha 1"_s, u"N"_s, u"inteiro"_s}},
        {R"({"fields":[{"name":"D","type":"datetime"}],"rows":[["2026-13-45T00:00:00.000"]]})",
         {u"D"_s, u"2026-13-45"_s}},
        {R"({"fields":[{"name":"B","type":"boolean"}],"rows":[[1]]})", {u"B"_s, u"booleano"_s}},
    };
    for (const auto& [json, fragments] : cases) {
        SCOPED_TRACE(json.toStdString());
        // clang refuses to capture a structured binding; an init-capture names it
        expectError<PacketError>([&packet = json] { DataPacket::fromJson(packet, u"vendas.json"_s); },
                                 QStringList(fragments) << u"vendas.json"_s);
    }
}

TEST(DataPacketTest, EveryTruncationOfAPacketIsRejected) {
    const QByteArray json = everyType().toJson();
    for (int n = 0; n < json.size(); ++n)
        EXPECT_THROW(DataPacket::fromJson(json.left(n)), PacketError) << n;
}

TEST(DataPacketTest, DatasetRoundTripMatchesDeclaredFieldsByName) {
    Dataset source(u"SOURCE"_s);
    source.loadPacket(everyType());
    source.first();
    source.edit();
    source.field(u"CDFILIAL"_s).setValue(u"0001-LONG"_s); // cut to 4
    source.post();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"sales.json"_s);
    source.saveToFile(path);

    Dataset target(u"TARGET"_s);
    target.setFieldDefs({{u"DTVENDA"_s, FieldType::DateTime, 0},
                         {u"MISSING"_s, FieldType::String, 10},
                         {u"nrseq"_s, FieldType::Float, 0}, // another type: values are converted
                         {u"CDFILIAL"_s, FieldType::String, 2}});
    target.loadFromFile(path);
    EXPECT_FALSE(target.hasField(u"QTPRODCOMVEN"_s));
    EXPECT_EQ(target.recordCount(), 6);
    EXPECT_EQ(target.recNo(), 0);
    EXPECT_EQ(target.field(u"CDFILIAL"_s).asString(), u"00"_s);
    EXPECT_TRUE(target.field(u"MISSING"_s).isNull());
    EXPECT_EQ(target.field(u"NRSEQ"_s).value().typeId(), QMetaType::Double);
    EXPECT_EQ(target.field(u"NRSEQ"_s).asFloat(), 7.0);
    EXPECT_EQ(target.field(u"DTVENDA"_s).asDateTime(), QDateTime(QDate(2026, 12, 8), QTime(12, 30, 0, 123)));
    target.setRecNo(2);
    for (int f = 0; f < 4; ++f)
        EXPECT_TRUE(target.field(f).isNull()) << f;

    Dataset copy;
    copy.loadPacket(source.packetJson(), u"copy"_s);
    EXPECT_EQ(copy.packetJson(), source.packetJson());
}

TEST(DataPacketTest, BadFilesNameTheFileAndLeaveTheDatasetAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Dataset ds(u"ITEMS"_s);
    ds.setFieldDefs({{u"Q"_s, FieldType::Float, 0}});
    ds.loadPacket(QByteArray(R"({"fields":[{"name":"Q","type":"float"}],"rows":[[1],[2]]})"));

    const QString text = dir.filePath(u"notes.txt"_s);
    writeFile(text, "just some plain text\n");
    expectError<PacketError>([&] { ds.loadFromFile(text); }, {u"notes.txt"_s, u"JSON"_s});
    const QString wrong = dir.filePath(u"wrong.json"_s);
    writeFile(wrong, R"({"fields":[{"name":"Q","type":"string","size":3}],"rows":[["abc"]]})");
    expectError<PacketError>([&] { ds.loadFromFile(wrong); }, {u"wrong.json"_s, u"linha 1"_s, u"Q"_s});
    expectError<PacketError>([&] { ds.loadFromFile(dir.filePath(u"absent.json"_s)); }, {u"absent.json"_s});
    expectError<PacketError>([&] { ds.loadFromFile(dir.path()); }, {dir.path()});
    expectError<PacketError>([&] { ds.saveToFile(dir.filePath(u"no/such/dir/x.json"_s)); }, {u"x.json"_s});

    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.fields().size(), 1);
}

TEST(CoerceToFieldTest, ConvertsEachKindOrRefuses) {
    const FieldDef text{u"T"_s, FieldType::String, 3};
    EXPECT_EQ(coerceToField(text, 0.5), u"0.5"_s);
    EXPECT_EQ(coerceToField(text, u"abcdef"_s), u"abc"_s);
    EXPECT_FALSE(coerceToField(text, QVariant()).isValid());

    const FieldDef number{u"F"_s, FieldType::Float, 0};
    EXPECT_EQ(coerceToField(number, u"2.5"_s), 2.5);
    EXPECT_FALSE(coerceToField(number, u""_s).isValid());
    for (const char* bad : {"abc", "1,5", "nan"})
        EXPECT_THROW(coerceToField(number, QString::fromLatin1(bad)), DatasetError) << bad;

    const FieldDef integer{u"I"_s, FieldType::Integer, 0};
    EXPECT_EQ(coerceToField(integer, u" 42 "_s), 42);
    EXPECT_EQ(coerceToField(integer, 2.6), 3);
    EXPECT_THROW(coerceToField(integer, u"4.5"_s), DatasetError);

    const FieldDef flag{u"B"_s, FieldType::Boolean, 0};
    EXPECT_EQ(coerceToField(flag, u"true"_s), true);
    EXPECT_THROW(coerceToField(flag, 2), DatasetError);
    EXPECT_THROW(coerceToField(flag, u"S"_s), DatasetError);

    const FieldDef when{u"D"_s, FieldType::DateTime, 0};
    const QDateTime noon(QDate(2026, 12, 8), QTime(12, 30));
    EXPECT_EQ(coerceToField(when, u"2026-12-08 12:30:00"_s), noon);
    EXPECT_EQ(coerceToField(when, QDate(2026, 12, 8)), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
    EXPECT_FALSE(coerceToField(when, u""_s).isValid());
    expectError<DatasetError>([&] { coerceToField(when, u"08/12/2026"_s); }, {u"D"_s, u"08/12/2026"_s});
}

} // namespace
