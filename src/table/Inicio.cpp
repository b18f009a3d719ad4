#include "table/Inicio.h"

#include <algorithm>
#include <stdexcept>

namespace dorvan {

const std::vector<std::string>& OrdemJanelas() {
    static const std::vector<std::string> ordem = {
        "TForm1",    "TfTipoTot",   "TEscolhe_Coluna", "TAbreDEF",      "TfBrowse",  "TfCamada",
        "TFFazDef",  "TfImprime",   "TfIndic",         "TInfo",         "TLog",      "TMapa",
        "TEscolheNome", "TFPmapa",  "TSimNao",         "TSobre",        "TTabula",   "TFEscala",
        "TfComprime", "TFChart",    "TfChartOp",       "TFChartAxis",   "TDualListDlg", "TFormR",
        "TRGrafico", "TFVerTabela", "TFCriaRScript",   "TFEscolheDiretorio", "TfSetas", "TfColuna",
        "TfCase",    "TfLigaCNV"};
    return ordem;
}

void InicioPrograma::RegistraJanela(const std::string& nome, std::function<void()> fabrica) {
    const auto& ordem = OrdemJanelas();
    if (std::find(ordem.begin(), ordem.end(), nome) == ordem.end())
        throw std::invalid_argument("janela fora da ordem de in\xED" "cio: " + nome);
    for (const auto& j : janelas_)
        if (j.nome == nome) throw std::invalid_argument("janela registrada duas vezes: " + nome);
    janelas_.push_back({nome, std::move(fabrica)});
}

void InicioPrograma::RegistraMotor(std::function<int()> inicia) { motor_ = std::move(inicia); }

void InicioPrograma::RegistraSQL(std::function<void()> criaConsulta, std::function<void()> mostraComandosSQL) {
    criaConsulta_ = std::move(criaConsulta);
    mostraSQL_ = std::move(mostraComandosSQL);
}

bool InicioPrograma::Executa() {
    if (executado_) return motorIniciado_;
    executado_ = true;
    for (const auto& nome : OrdemJanelas()) {
        auto j = std::find_if(janelas_.begin(), janelas_.end(), [&](const Janela& x) { return x.nome == nome; });
        if (j == janelas_.end()) continue;
        if (j->fabrica) j->fabrica();
        criadas_.push_back(nome);
    }
    // A failed engine start is silent: the SQL functions simply do not appear.
    int r = -1;
    if (motor_) {
        try {
            r = motor_();
        } catch (...) {
            r = -1;
        }
    }
    motorIniciado_ = r == 0;
    if (motorIniciado_) {
        if (criaConsulta_) {
            criaConsulta_();
            criadas_.push_back("TfQuery");
        }
        if (mostraSQL_) mostraSQL_();
    }
    return motorIniciado_;
}

} // namespace dorvan
