#include "tabulation/ExportacaoRegistros.h"

#include "platform/Arquivos.h"
#include "tabulation/RoteiroArquivos.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace dorvan::tabulacao {

namespace {

bool MesmoArquivo(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

} // namespace

void Exportacao::Fecha() {
    // A run that ended early keeps no partial export: what was there stays.
    AbandonaDBF(arquivo);
    ativa = false;
}

void PreparaExportacao(const DefTabulacao& def, const OpcoesTabulacao& op, InterfaceTabulacao& ui, Mensagens& msg,
                       Exportacao& exp) {
    const std::string pastaDados = PastaDaCuringa(def);
    dbfRecord& exportacao = exp.arquivo;
    bool& exporta = exp.ativa;
    std::vector<CampoDBF>& camposExp = exp.campos;

    std::string nomeSaida;
    if (ui.EscolheArquivoExportacao(nomeSaida)) {
        // Every file the run reads, list files included, is kept from being overwritten.
        std::vector<std::string> entradas;
        for (const auto& item : op.Arquivos)
            if (!EArquivoDados(item)) entradas.push_back(NomeReal(pastaDados, item));
        {
            Roteiro todos(def, op.Arquivos);
            for (auto p = todos.Proximos(); !p.empty(); p = todos.Proximos())
                for (auto& passo : p)
                    if (passo.tipo == Passo::Arquivo) entradas.push_back(passo.texto);
        }
        std::string primeiro;
        const std::string& item = op.Arquivos.front();
        if (EArquivoDados(item)) {
            primeiro = NomeReal(pastaDados, item);
        } else {
            try {
                Roteiro r(def, op.Arquivos);
                for (auto& l : Roteiro::Linhas(LeArquivoInteiro(NomeReal(pastaDados, item)))) {
                    if (MaiusculasAscii(l.substr(0, 4)) == "PAUS") continue;
                    auto a = r.ArquivosDaLinha(l);
                    if (!a.empty()) {
                        primeiro = a.front();
                        break;
                    }
                }
            } catch (const std::exception& e) {
                msg.Mostra(e.what());
            }
        }
        bool entrada = std::any_of(entradas.begin(), entradas.end(),
                                   [&](const std::string& e) { return MesmoArquivo(e, nomeSaida); });
        if (entrada) {
            msg.Mostra(nomeSaida + " \xE9 um dos arquivos de dados: Registros n\xE3o ser\xE3o salvos");
        } else if (!primeiro.empty()) {
            dbfRecord fonte;
            OpenDBF(fonte, primeiro, true);
            if (fonte.Estado != 0) {
                std::vector<std::string> nomes, escolhidos;
                for (const auto& c : fonte.Campos)
                    nomes.push_back(c.Nome);
                if (ui.EscolheCampos(nomes, escolhidos) && !escolhidos.empty()) {
                    for (const auto& e : escolhidos) {
                        int n = FieldDBF(fonte, e);
                        if (n == 0) continue;
                        CampoDBF c = fonte.Campo(n);
                        camposExp.push_back(c);
                    }
                }
                if (!camposExp.empty()) {
                    CreateDBF(exportacao, nomeSaida, camposExp, fonte.Idioma);
                    camposExp = exportacao.Campos;
                    exporta = true;
                } else {
                    msg.Mostra("Nenhum campo selecionado: Registros n\xE3o ser\xE3o salvos");
                }
                CloseDBF(fonte);
            }
        }
    }
}

void GravaExportados(Exportacao& exp, const std::vector<char>& registros, std::int64_t n) {
    dbfRecord& exportacao = exp.arquivo;
    for (std::int64_t k = 0; k < n; ++k)
        AppendDBF(exportacao, registros.data() + k * exportacao.TamRegistro);
}

void ConcluiExportacao(Exportacao& exp, LogExecucao& log, InterfaceTabulacao& ui, ResultadoTabulacao& res) {
    dbfRecord& exportacao = exp.arquivo;
    std::int64_t n = exportacao.NumRegs;
    CloseDBF(exportacao);
    res.ArquivoExportado = exportacao.Nome;
    log.Acrescenta("Criado " + exportacao.Nome + " com " + std::to_string(n) + " registros");
    ui.MostraExportacao(exportacao.Nome);
}

} // namespace dorvan::tabulacao
