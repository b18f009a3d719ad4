#include "data/CompressaoLote.h"

#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace dorvan {

namespace fs = std::filesystem;

namespace {

std::string Junta(const std::string& pasta, const std::string& nome) { return (fs::path(pasta) / nome).string(); }

std::vector<EntradaLista> Lista(const std::string& pasta, const char* mascara) {
    std::vector<EntradaLista> r;
    for (auto& n : ListaArquivos(pasta, mascara))
        r.push_back({std::move(n), false});
    return r;
}

// Keeps a flag up for one scope, down again on every path.
class Levanta {
public:
    Levanta(bool& flag, bool valor) : flag_(flag), antes_(flag) { flag_ = valor; }
    ~Levanta() { flag_ = antes_; }
    Levanta(const Levanta&) = delete;
    Levanta& operator=(const Levanta&) = delete;

private:
    bool& flag_;
    bool antes_;
};

// Shows the file under way for one scope; the label and gauge go away however it ends.
class MostraDurante {
public:
    MostraDurante(const std::function<void(const std::string&)>& mostra, const std::string& texto) : mostra_(mostra) {
        if (mostra_) mostra_(texto);
    }
    ~MostraDurante() {
        if (mostra_) mostra_({});
    }
    MostraDurante(const MostraDurante&) = delete;
    MostraDurante& operator=(const MostraDurante&) = delete;

private:
    const std::function<void(const std::string&)>& mostra_;
};

} // namespace

bool CompressaoLote::MudaDirDBF(const std::string& pasta) {
    if (ocupado_) return false;
    dirDBF_ = pasta.empty() ? "." : pasta;
    ListaDBF = Lista(dirDBF_, "*.dbf");
    if (ListasMudaram) ListasMudaram();
    return true;
}

bool CompressaoLote::MudaDirDBC(const std::string& pasta) {
    if (ocupado_) return false;
    dirDBC_ = pasta.empty() ? "." : pasta;
    ListaDBC = Lista(dirDBC_, "*.dbc");
    if (ListasMudaram) ListasMudaram();
    return true;
}

void CompressaoLote::Acrescenta(std::vector<EntradaLista>& lista, const std::string& nome) {
    if (std::any_of(lista.begin(), lista.end(), [&](const EntradaLista& e) { return e.nome == nome; })) return;
    lista.push_back({nome, false});
    if (ListasMudaram) ListasMudaram();
}

bool CompressaoLote::Comprime(const std::string& nome, Progresso& progresso) {
    const std::string saida = NomeDeSaida(dirDBC_, TrocaExtensao(nome, ".dbc"));
    MostraDurante mostrando(MostraArquivo, "Comprimindo " + DeUtf8(nome));
    const std::string dbc = Junta(dirDBC_, saida);
    escritos_.erase(dbc);
    ResultadoCodec r = ComprimeDBF(Junta(dirDBF_, nome), dbc, progresso);
    if (!r.Ok()) return false;
    std::error_code ec1, ec2;
    Escrito e{fs::file_size(dbc, ec1), fs::last_write_time(dbc, ec2)};
    if (!ec1 && !ec2) escritos_[dbc] = e;
    Acrescenta(ListaDBC, saida);
    return true;
}

// The DBF may go only when its data is safe in a DBC: one this run wrote, not
// touched since, whose stream still expands to its CRC.
bool CompressaoLote::ConfereEscrito(const std::string& dbc, Progresso& progresso) {
    auto it = escritos_.find(dbc);
    if (it == escritos_.end()) return false;
    std::error_code ec1, ec2;
    const auto tamanho = fs::file_size(dbc, ec1);
    const auto data = fs::last_write_time(dbc, ec2);
    if (ec1 || ec2 || tamanho != it->second.tamanho || data != it->second.data) return false;
    return ExpandeDBC(dbc, std::string(), progresso).Ok();
}

bool CompressaoLote::Expande(const std::string& nome, Progresso& progresso) {
    const std::string saida = grava_ ? NomeDeSaida(dirDBF_, TrocaExtensao(nome, ".dbf")) : std::string();
    MostraDurante mostrando(MostraArquivo, "Expandindo " + DeUtf8(nome));
    ResultadoCodec r =
        ExpandeDBC(Junta(dirDBC_, nome), saida.empty() ? std::string() : Junta(dirDBF_, saida), progresso);
    if (!r.Ok()) return false;
    if (grava_) Acrescenta(ListaDBF, saida);
    return true;
}

template <typename F> void CompressaoLote::Percorre(const std::vector<EntradaLista>& lista, F&& trabalho) {
    Levanta ocupado(ocupado_, true);
    // An abort pressed after the last file of the previous walk is not this walk's.
    abortar_ = false;
    // The walk goes over the list as it was when the button was pressed: files it
    // adds to the other list, or a list refilled meanwhile, do not change it.
    const std::vector<EntradaLista> itens = lista;
    for (const auto& e : itens) {
        if (ProcessaEventos) ProcessaEventos();
        if (abortar_) {
            abortar_ = false;
            break;
        }
        if (e.marcado) trabalho(e.nome);
    }
}

void CompressaoLote::ComprimeMarcados(Progresso& progresso) {
    if (ocupado_) return;
    Percorre(ListaDBF, [&](const std::string& nome) { Comprime(nome, progresso); });
}

void CompressaoLote::ExpandeMarcados(Progresso& progresso) {
    if (ocupado_) return;
    Percorre(ListaDBC, [&](const std::string& nome) { Expande(nome, progresso); });
}

void CompressaoLote::TestaCRC(Progresso& progresso) {
    if (ocupado_) return;
    Levanta semGravar(grava_, false);
    ExpandeMarcados(progresso);
}

void CompressaoLote::RemoveDBF(Progresso& progresso) {
    if (ocupado_) return;
    Levanta ocupado(ocupado_, true);
    const std::vector<EntradaLista> itens = ListaDBF;
    for (const auto& e : itens) {
        if (!e.marcado) continue;
        const std::string dbc = Junta(dirDBC_, NomeDeSaida(dirDBC_, TrocaExtensao(e.nome, ".dbc")));
        if (!ConfereEscrito(dbc, progresso)) {
            const std::string pergunta =
                "Aten\xE7\xE3o! " + DeUtf8(e.nome) + " n\xE3o foi comprimido ainda! Deseja comprimi-lo agora?";
            const bool sim = MensagensAtuais().Confirma("Confirm", pergunta, {"&Yes", "&No"}) == 0;
            // A DBF without a DBC checked now is the only sure copy of its data: it stays.
            if (!sim || !Comprime(e.nome, progresso) || !ConfereEscrito(dbc, progresso)) continue;
        }
        std::error_code ec;
        const std::string arquivo = Junta(dirDBF_, e.nome);
        if (!fs::remove(arquivo, ec) && ec) throw ErroES::DoSistema(arquivo, ec.value());
        auto it =
            std::find_if(ListaDBF.begin(), ListaDBF.end(), [&](const EntradaLista& x) { return x.nome == e.nome; });
        if (it != ListaDBF.end()) ListaDBF.erase(it);
        if (ListasMudaram) ListasMudaram();
    }
}

} // namespace dorvan
