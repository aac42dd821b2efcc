#pragma once

#include "SalesBuilder.h"
#include "TestDatabase.h"

#include "client/TfrmTrPosicao.h"
#include "platform/Runtime.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A restaurant on a real database, the local files beside a temporary "host program" folder, the
// scripted dialogs installed, and the transfer screen ready to open from table 0045 to 0046.
//
// Seeded: branch 0001, store 01. Table 0045 (sale 100, tabs 10 and 11) and table 0046 (sale 200,
// tab 20, status "O", 4 people). Products P1..P6 by unit, PESO weighed, REF a refill item.
class ScreenFixture {
public:
    explicit ScreenFixture(DbKind kind = DbKind::SQLite);
    ~ScreenFixture();

    TestDatabase& db() { return *db_; }
    SalesBuilder& sales() { return *sales_; }
    platform::ui::ScriptedDialogs dialogs;

    // Writes PARAMETROSZEL.CDS / Dados/Cadastros/ControleAcess.cds beside the host folder.
    void writeParameters(const QString& branch = QStringLiteral("0001"),
                         const QString& till = QStringLiteral("003"),
                         const QString& store = QStringLiteral("01"),
                         const QString& couver = QStringLiteral("COUV"),
                         const QString& consum = QStringLiteral("CONS"),
                         const QString& consuf = QStringLiteral("CONF"));
    void writeAccessControl(const QString& code = QStringLiteral("77"),
                            const QString& name = QStringLiteral("Ana"));
    // Creates the data module (on the test database) the screen will reuse, the screen, and initialises it.
    Cli_Mvt04215::TfrmTrPosicao& open(const QString& origin = QStringLiteral("0045"),
                                      const QString& destination = QStringLiteral("0046"));
    Cli_Mvt04215::TfrmTrPosicao& screen() { return *screen_; }
    void closeScreen();

    // Sends a key to whatever has the focus on the screen, as the keyboard would.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(QChar character);

    const QString& folder() const { return folderPath_; }
    QStringList auditLines() const;

private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<SalesBuilder> sales_;
    QTemporaryDir folder_;
    QString folderPath_;
    std::unique_ptr<platform::ExecutableFolderOverride> beside_;
    std::unique_ptr<platform::ui::ProviderScope> provider_;
    std::unique_ptr<Cli_Mvt04215::TfrmTrPosicao> screen_;
};

} // namespace testsupport
