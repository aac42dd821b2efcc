#include "Cli_Mvt04215.h"

#include "TfrmTrPosicao.h"
#include "platform/Errors.h"
#include "platform/ui/Dialogs.h"
#include "server/Srv_Mvt04215.h"

#include <QApplication>

namespace Cli_Mvt04215 {

TfrmTrPosicao* frmTrPosicao = nullptr;
bool boCria = false;

void initializeUnit() {
    boCria = true;
}

void finalizeUnit() {}

namespace {

// The hourglass for as long as the screen is being prepared.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void restore() {
        if (active_) {
            active_ = false;
            QApplication::restoreOverrideCursor();
        }
    }

private:
    bool active_ = true;
};

QString text(const char* arg) {
    return arg ? QString::fromUtf8(arg) : QString();
}

// Each opening works on a fresh screen and a fresh data module.
void freeScreenAndDataModule() {
    Srv_Mvt04215::freeDataModule();
    delete frmTrPosicao;
    frmTrPosicao = nullptr;
}

} // namespace

void CriaTrPosicao(const char* arg1, const char* arg2, const char* origin, const char* destination,
                   const char* arg5, const char* paramLog) {
    try {
        BusyCursor busy;
        try {
            if (boCria || !frmTrPosicao) {
                frmTrPosicao = new TfrmTrPosicao();
                frmTrPosicao->setParamLog(text(paramLog));
                frmTrPosicao->InicializaForm(text(arg1), text(arg2), text(origin), text(destination),
                                             text(arg5));
                boCria = false;
            }
            frmTrPosicao->setWindowState(Qt::WindowNoState);
            busy.restore();
            if (frmTrPosicao->closedAtOpening())
                frmTrPosicao->FormClose(); // an origin table without items: the screen never shows
            else
                frmTrPosicao->exec();
        } catch (const platform::SilentAbort&) {
        } catch (const std::exception& e) {
            busy.restore();
            platform::ui::Mensagem(QString::fromUtf8(e.what()), QString(), QStringLiteral("N"),
                                   QStringLiteral("N"), 3, QString(), QString(), 0, nullptr);
        }
    } catch (...) {
        // nothing may leave the package towards a host that cannot know our exceptions
    }
    freeScreenAndDataModule();
}

} // namespace Cli_Mvt04215
