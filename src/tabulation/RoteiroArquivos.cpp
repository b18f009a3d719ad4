#include "tabulation/RoteiroArquivos.h"

#include "platform/Arquivos.h"
#include "platform/Texto1252.h"

namespace dorvan::tabulacao {

namespace {

std::string PastaDe(const std::string& caminho) {
    std::string c = BarrasNormais(caminho);
    std::size_t barra = c.find_last_of('/');
    return barra == std::string::npos ? std::string() : c.substr(0, barra + 1);
}

// The folder part of a wildcard as it was written, separators untouched.
std::string PastaEscrita(const std::string& curinga) {
    std::size_t barra = curinga.find_last_of("/\\");
    return barra == std::string::npos ? std::string() : curinga.substr(0, barra + 1);
}

} // namespace

std::string SemPasta(const std::string& caminho) {
    std::size_t barra = caminho.find_last_of("/\\");
    return barra == std::string::npos ? caminho : caminho.substr(barra + 1);
}

bool EArquivoDados(const std::string& nome) {
    std::string m = MaiusculasAscii(nome);
    return m.size() >= 4 && (m.ends_with(".DBC") || m.ends_with(".DBF"));
}

Roteiro::Roteiro(const DefTabulacao& def, const std::vector<std::string>& itens)
    : def_(def), itens_(itens), pasta_(PastaDaCuringa(def)) {}

std::vector<Passo> Roteiro::Proximos() {
    std::vector<Passo> passos;
    while (true) {
        if (listaAberta_) {
            while (linha_ < linhasLista_.size()) {
                std::string l = linhasLista_[linha_++];
                if (TiraBrancos(l).empty()) continue;
                if (MaiusculasAscii(l.substr(0, 4)) == "PAUS") {
                    passos.push_back({Passo::Pausa, l.size() > 6 ? l.substr(6) : std::string()});
                    return passos;
                }
                passos.push_back({Passo::Log, "Espec=" + l});
                const std::string escrita = PastaEscrita(TiraBrancos(l));
                for (auto& a : ArquivosDaLinha(l))
                    passos.push_back({Passo::Arquivo, a, escrita + SemPasta(a)});
            }
            listaAberta_ = false;
        }
        if (item_ >= itens_.size()) return passos;
        const std::string& item = itens_[item_++];
        passos.push_back({Passo::Log, item});
        std::string caminho = NomeReal(pasta_, item);
        if (EArquivoDados(item)) {
            passos.push_back({Passo::Arquivo, caminho, PastaEscrita(def_.EspecArquivos) + item});
            continue;
        }
        try {
            std::string texto = LeArquivoInteiro(caminho);
            linhasLista_ = Linhas(texto);
            linha_ = 0;
            listaAberta_ = true;
        } catch (const std::exception& e) {
            passos.push_back({Passo::Mensagem, e.what()});
            return passos;
        }
    }
}

std::vector<std::string> Roteiro::Linhas(const std::string& texto) { return LinhasDoTexto(texto, 255); }

std::vector<std::string> Roteiro::ArquivosDaLinha(const std::string& linha) const {
    std::string l = BarrasNormais(TiraBrancos(linha));
    std::string pasta = PastaDe(l);
    std::string padrao = l.substr(pasta.size());
    if (!pasta.empty() && pasta[0] != '/' && !def_.PastaDEF.empty()) pasta = def_.PastaDEF + pasta;
    if (pasta.empty()) pasta = def_.PastaDEF;
    if (!pasta.empty()) {
        std::string real = ResolveNome(pasta);
        if (!real.empty()) pasta = real.back() == '/' ? real : real + '/';
    }
    std::vector<std::string> r;
    for (auto& n : ListaArquivos(pasta, padrao))
        r.push_back(pasta + n);
    return r;
}

} // namespace dorvan::tabulacao
