#include "output/ui/Exportacoes.h"

#include "output/GravaCNV.h"
#include "output/GravaPalm.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"

#include <QCoreApplication>
#include <QInputDialog>

namespace dorvan {

std::string PerguntaCategoriaSPRING(QWidget* pai, const TabelaResultados& t) {
    const std::string padrao = CategoriaPadraoSPRING(t);
    bool ok = false;
    const QString r = QInputDialog::getText(pai, ParaQString(TituloCategoriaSPRING), ParaQString(TextoCategoriaSPRING),
                                            QLineEdit::Normal, ParaQString(padrao), &ok);
    return ok ? DeQString(r) : padrao;
}

void GravaSPRINGPerguntando(QWidget* pai, const TabelaResultados& t, const std::string& arquivo) {
    const std::string categoria = PerguntaCategoriaSPRING(pai, t);
    CursorOcupado cursor;
    GravaSPRING(t, arquivo, categoria);
}

namespace {
void ProcessaEventos() { QCoreApplication::processEvents(); }
} // namespace

bool GravaPalmNaJanela(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor) {
    CursorOcupado cursor;
    return GravaPalm(t, arquivo, conversor, ProcessaEventos);
}

bool GravaMobileDBNaJanela(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor) {
    CursorOcupado cursor;
    return GravaMobileDB(t, arquivo, conversor, ProcessaEventos);
}

} // namespace dorvan
