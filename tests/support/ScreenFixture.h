#pragma once

#include "ListContents.h"
#include "SalesBuilder.h"
#include "ScreenWidgets.h"
#include "ScriptedDialogs.h"
#include "TestDatabase.h"

#include "client/TfrmTrPosicao.h"
#include "platform/Runtime.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class QAbstractButton;

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
    ScriptedDialogs dialogs;

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

    // Clicks a button with the mouse, as the operator would.
    void click(QAbstractButton* button);
    // Both lists' data packets: equal texts mean that no record of either list changed.
    QByteArray listsState() const;

    // Opens the screen the way the host does (CriaTrPosicao, modal) on a data module of the test database.
    // `whileOpen` runs once the screen shows; the screen is then rejected unless it closed.
    // Returns whether the screen showed.
    bool runModal(const std::function<void(Cli_Mvt04215::TfrmTrPosicao&)>& whileOpen = {},
                  const char* origin = "0045", const char* destination = "0046");

    const QString& folder() const { return folderPath_; }
    QStringList auditLines() const;

private:
    QWidget* keyTarget() const;

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<SalesBuilder> sales_;
    QTemporaryDir folder_;
    QString folderPath_;
    std::unique_ptr<platform::ExecutableFolderOverride> beside_;
    std::unique_ptr<platform::ui::ProviderScope> provider_;
    std::unique_ptr<Cli_Mvt04215::TfrmTrPosicao> screen_;
};

// A test on the screen from 0045 to 0046 with the parameters file written, and the operator's moves.
class ScreenTest : public ::testing::Test {
protected:
    ScreenTest() { f.writeParameters(); }
    Cli_Mvt04215::TfrmTrPosicao& s() { return f.screen(); }
    // Makes an item current in its list's grid and types the operation's key there.
    void add(const QString& tab, const QString& item) { keyOn(s().lists().origin(), tab, item, u'a'); }
    void remove(const QString& tab, const QString& item) {
        keyOn(s().lists().destination(), tab, item, u'e');
    }
    void keyOn(platform::Dataset& list, const QString& tab, const QString& item, QChar key);
    QStringList originList() { return listContents(s().lists().origin()); }
    QStringList destinationList() { return listContents(s().lists().destination()); }
    void expectNoErrors();

    ScreenFixture f;
};

} // namespace testsupport
