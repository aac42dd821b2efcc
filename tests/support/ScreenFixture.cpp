#include "ScreenFixture.h"

#include "client/Cli_Mvt04215.h"
#include "host/DemoSeed.h"
#include "platform/AuditLog.h"
#include "platform/Dataset.h"
#include "server/TrdmTrPosicao.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace testsupport {

ScreenFixture::ScreenFixture(DbKind kind) {
    db_ = std::make_unique<TestDatabase>(kind);
    sales_ = std::make_unique<SalesBuilder>(db_->admin());
    folderPath_ = folder_.path();
    beside_ = std::make_unique<platform::ExecutableFolderOverride>(folderPath_);
    provider_ = std::make_unique<platform::ui::ProviderScope>(dialogs);

    SalesBuilder& b = *sales_;
    for (int i = 1; i <= 6; ++i)
        b.product(QStringLiteral("P%1").arg(i), QStringLiteral("Produto %1").arg(i));
    b.product(QStringLiteral("PESO"), QStringLiteral("Picanha kg"),
              {{QStringLiteral("IDPESAPROD"), QStringLiteral("S")}});
    b.product(QStringLiteral("REF"), QStringLiteral("Refrigerante refil"));
    b.product(QStringLiteral("COUV"), QStringLiteral("Couvert"));
    b.table(QStringLiteral("0045")).table(QStringLiteral("0046"));
    b.sale(QStringLiteral("100"), QStringLiteral("0045")).sale(QStringLiteral("200"), QStringLiteral("0046"));
    b.tab(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("Comanda 10"))
        .tab(QStringLiteral("11"), QStringLiteral("100"), QStringLiteral("Comanda 11"))
        .tab(QStringLiteral("20"), QStringLiteral("200"), QStringLiteral("Comanda 20"));
}

ScreenFixture::~ScreenFixture() {
    closeScreen();
}

void ScreenFixture::writeParameters(const QString& branch, const QString& till, const QString& store,
                                    const QString& couver, const QString& consum, const QString& consuf) {
    host::demo::writeParametersFile(folderPath_, branch, till, store, QStringLiteral("1"), consum, consuf,
                                    couver);
}

void ScreenFixture::writeAccessControl(const QString& code, const QString& name) {
    host::demo::writeAccessFile(folderPath_, code, name);
}

Cli_Mvt04215::TfrmTrPosicao& ScreenFixture::open(const QString& origin, const QString& destination) {
    closeScreen();
    auto* dm = new Srv_Mvt04215::TrdmTrPosicao();
    dm->connectionStringOverride = db_->connectionString();
    Srv_Mvt04215::rdmTrPosicao = dm;
    screen_ = std::make_unique<Cli_Mvt04215::TfrmTrPosicao>();
    screen_->InicializaForm(QString(), QString(), origin, destination, QString());
    screen_->show();
    QApplication::setActiveWindow(screen_.get());
    originGrid(*screen_)->setFocus();
    return *screen_;
}

void ScreenFixture::closeScreen() {
    screen_.reset();
    delete Srv_Mvt04215::rdmTrPosicao;
    Srv_Mvt04215::rdmTrPosicao = nullptr;
}

// The focused widget of the screen open: the fixture's own, else the one the host call opened.
QWidget* ScreenFixture::keyTarget() const {
    QWidget* screen = screen_ ? screen_.get() : Cli_Mvt04215::frmTrPosicao;
    return screen->focusWidget() ? screen->focusWidget() : screen;
}

void ScreenFixture::press(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(keyTarget(), Qt::Key(key), modifiers);
}

void ScreenFixture::type(QChar character) {
    QTest::keyClick(keyTarget(), character.toLatin1());
}

void ScreenFixture::click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

QByteArray ScreenFixture::listsState() const {
    return screen_->lists().origin().packetJson() + '\n' + screen_->lists().destination().packetJson();
}

bool ScreenFixture::runModal(const std::function<void(Cli_Mvt04215::TfrmTrPosicao&)>& whileOpen,
                             const char* origin, const char* destination) {
    closeScreen();
    auto* dm = new Srv_Mvt04215::TrdmTrPosicao();
    dm->connectionStringOverride = db_->connectionString();
    Srv_Mvt04215::rdmTrPosicao = dm;
    bool shown = false;
    // owned here, so that it never fires into a later test when the screen did not show
    QTimer watcher;
    watcher.setSingleShot(true);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        Cli_Mvt04215::TfrmTrPosicao* s = Cli_Mvt04215::frmTrPosicao;
        if (!s || !s->isVisible())
            return;
        shown = true;
        QApplication::setActiveWindow(s);
        originGrid(*s)->setFocus();
        if (whileOpen)
            whileOpen(*s);
        if (Cli_Mvt04215::frmTrPosicao && Cli_Mvt04215::frmTrPosicao->isVisible())
            Cli_Mvt04215::frmTrPosicao->reject();
    });
    watcher.start(0);
    Cli_Mvt04215::CriaTrPosicao("", "", origin, destination, "", "log");
    return shown;
}

void ScreenTest::keyOn(platform::Dataset& list, const QString& tab, const QString& item, QChar key) {
    (&list == &s().lists().origin() ? originGrid(s()) : destinationGrid(s()))->setFocus();
    selectItem(list, tab, item);
    f.type(key);
}

void ScreenTest::expectNoErrors() {
    EXPECT_TRUE(f.dialogs.errorReports.isEmpty()) << f.dialogs.errorReports.join(u'\n').toStdString();
    EXPECT_TRUE(f.dialogs.exhausted()) << "a scripted answer was never asked for";
}

QStringList ScreenFixture::auditLines() const {
    QFile log(platform::auditLogPath());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    return lines;
}

} // namespace testsupport
