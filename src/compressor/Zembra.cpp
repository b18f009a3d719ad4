#include "compressor/Zembra.h"

#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace dorvan::zembra {

namespace {

const char* const TRACOS = "-----------------------------------------------------------------------";
const char* const APAGA = "\b\b\b\b\b\b";

// Console text: the program's texts are 1252, file names are the system's (UTF-8).
void Escreve(std::FILE* f, const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), f); }
void Linha(std::FILE* f, const std::string& texto1252) { Escreve(f, ParaUtf8(texto1252) + "\n"); }

std::string ADireita(const std::string& s, std::size_t largura) {
    return s.size() >= largura ? s : std::string(largura - s.size(), ' ') + s;
}

// Size of one file against another in percent; an empty file counts as 0.
double Razao(std::uint64_t parte, std::uint64_t todo) {
    return todo ? static_cast<double>(parte) * 100.0 / static_cast<double>(todo) : 0.0;
}

std::string Porcento(double valor, std::size_t largura) { return ADireita(NumeroMaquina(valor, 2), largura); }

bool TemCuringa(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

std::string Extensao(const std::string& nome) {
    auto p = nome.find_last_of("./");
    if (p == std::string::npos || nome[p] != '.') return {};
    return MaiusculasAscii(nome.substr(p));
}

// The last argument names the output folder (or -t) only when it cannot be a file
// of the walk: -t, an existing folder, or a name that is neither .dbf nor .dbc.
bool EhDestino(const std::string& a) {
    if (MaiusculasAscii(a) == "-T") return true;
    std::error_code ec;
    if (fs::is_directory(a, ec)) return true;
    std::string ext = Extensao(a);
    return ext != ".DBF" && ext != ".DBC" && !TemCuringa(a);
}

struct Arquivo {
    std::string pasta; // with its '/' when not empty
    std::string nome;
};

// Shows the read progress as a percentage that overwrites the previous one.
class ProgressoConsole : public Progresso {
public:
    explicit ProgressoConsole(std::FILE* f) : Progresso(std::chrono::milliseconds(0)), f_(f) {}

protected:
    void Mostra(std::uint64_t feito, std::uint64_t total, const std::string&) override {
        double v = total ? static_cast<double>(feito) * 100.0 / static_cast<double>(total) : 0.0;
        Escreve(f_, APAGA + Porcento(v, 6));
        std::fflush(f_);
    }

private:
    std::FILE* f_;
};

// Record count from the header (0 when the file is too short to have one).
std::int64_t ContagemDoCabecalho(const std::string& nome) {
    std::FILE* f = std::fopen(nome.c_str(), "rb");
    if (!f) throw ErroES::DoSistema(nome, errno);
    char c[32] = {};
    std::size_t n = std::fread(c, 1, sizeof c, f);
    std::fclose(f);
    if (n < 8) return 0;
    return DecodificaCabecalhoDBF(c).NumRegs;
}

// The output of a file: in the output folder, with the other extension; an existing
// file there whose name differs only in case is the one overwritten.
std::string Saida(const std::string& destino, const std::string& nome, const std::string& ext) {
    return destino + NomeDeSaida(destino, TrocaExtensao(nome, ext));
}

std::uint64_t Tamanho(const std::string& nome) {
    std::error_code ec;
    auto t = fs::file_size(nome, ec);
    if (ec) throw ErroES::DoSistema(nome, ec.value());
    return t;
}

} // namespace

int Executa(const std::vector<std::string>& argumentos, std::FILE* saida, std::FILE* erros) {
    Linha(saida, "Kalvero Zembra 1.0: Comprime arquivos DBF e Expande arquivos DBC");
    if (argumentos.empty()) {
        Linha(saida, "Sintaxe:");
        Linha(saida, "Zembra <Especifica\xE7"
                     "ao de arquivos> [<Diret\xF3rio de sa\xED"
                     "da>|-t]");
        Linha(saida, "Op\xE7"
                     "ao -t: Testa integridade do CRC em arquivos DBC, sem expandi-los ");
        return SAIDA_OK;
    }

    std::vector<std::string> especificacoes = argumentos;
    bool soTesta = false;
    std::string destino;
    if (argumentos.size() >= 2 && EhDestino(argumentos.back())) {
        especificacoes.pop_back();
        if (MaiusculasAscii(argumentos.back()) == "-T")
            soTesta = true;
        else
            destino = argumentos.back();
    }

    int codigo = SAIDA_OK;
    try {
        if (!destino.empty()) {
            std::error_code ec;
            if (!fs::is_directory(destino, ec)) {
                Escreve(saida, ParaUtf8("Criando diret\xF3rio ") + destino + "\n");
                fs::create_directories(destino, ec);
                if (ec) throw ErroES::DoSistema(destino, ec.value());
            }
            if (destino.back() != '/') destino += '/';
        }

        Escreve(saida, std::string(TRACOS) + "\n");
        Escreve(saida, "                regs       bytes arquivo\n");
        Escreve(saida, std::string(TRACOS) + "\n");

        // Every match is taken before any file is written, so outputs of this run
        // are never picked up as inputs.
        std::vector<Arquivo> arquivos;
        std::set<std::string> vistos;
        for (const std::string& espec : especificacoes) {
            auto barra = espec.find_last_of('/');
            std::string pasta = barra == std::string::npos ? std::string() : espec.substr(0, barra + 1);
            std::string padrao = barra == std::string::npos ? espec : espec.substr(barra + 1);
            std::vector<std::string> nomes;
            std::error_code ec;
            if (!pasta.empty() && !fs::is_directory(pasta, ec)) {
                std::string achada = ResolveNome(pasta);
                if (!achada.empty()) pasta = achada + "/";
            }
            if (TemCuringa(padrao)) {
                nomes = ListaArquivos(pasta, padrao);
            } else {
                std::string real = fs::is_regular_file(espec, ec) ? espec : ResolveNome(espec);
                if (!real.empty() && fs::is_regular_file(real, ec)) nomes.push_back(fs::path(real).filename().string());
                if (!real.empty()) {
                    auto b = real.find_last_of('/');
                    pasta = b == std::string::npos ? std::string() : real.substr(0, b + 1);
                }
            }
            if (nomes.empty()) {
                Escreve(saida, "Arquivo " + espec + " nao encontrado.\n");
                codigo = SAIDA_ERRO;
                continue;
            }
            for (const auto& n : nomes)
                if (vistos.insert(pasta + n).second) arquivos.push_back({pasta, n});
        }

        // An output that is itself an input of this run (X.DBC expanded over the X.DBF
        // the same run compresses) would destroy that input's data: it is skipped.
        auto eEntrada = [&](const std::string& arquivo) {
            std::error_code ec;
            return std::any_of(arquivos.begin(), arquivos.end(), [&](const Arquivo& b) {
                return fs::equivalent(b.pasta + b.nome, arquivo, ec) && !ec;
            });
        };
        ProgressoConsole progresso(saida);
        for (const Arquivo& a : arquivos) {
            const std::string ext = Extensao(a.nome);
            const std::string entrada = a.pasta + a.nome;
            if (!soTesta && (ext == ".DBF" || ext == ".DBC")) {
                const std::string alvo = Saida(destino, a.nome, ext == ".DBF" ? ".dbc" : ".dbf");
                if (eEntrada(alvo)) {
                    Linha(saida, DeUtf8(a.nome) + " n\xE3o convertido: " + DeUtf8(fs::path(alvo).filename().string()) +
                                     " \xE9 tamb\xE9m um arquivo de entrada e n\xE3o ser\xE1 sobrescrito");
                    codigo = std::max(codigo, SAIDA_FALHA_ARQUIVO);
                    continue;
                }
            }
            // -t only checks DBC files: a DBF has no CRC, and compressing it would write a file.
            if (ext == ".DBF" && !soTesta) {
                const std::uint64_t tam = Tamanho(entrada);
                Escreve(saida, "DBF ==> DBC " + ADireita(std::to_string(ContagemDoCabecalho(entrada)), 8) +
                                   ADireita(std::to_string(tam), 12) + " " + a.nome + " ......");
                std::fflush(saida);
                ResultadoCodec r = ComprimeDBF(entrada, Saida(destino, a.nome, ".dbc"), progresso, false);
                Escreve(saida, APAGA + Porcento(Razao(r.bytesSaida, tam), 6) + "%");
                if (r.Ok()) {
                    Escreve(saida, " OK\n");
                } else {
                    Escreve(saida, "Erro na compressao dos dados no arquivo " + a.nome + "!\n");
                    codigo = std::max(codigo, SAIDA_FALHA_ARQUIVO);
                }
            } else if (ext == ".DBC") {
                const std::uint64_t tam = Tamanho(entrada);
                Escreve(saida, "DBC ==> DBF " + ADireita(std::to_string(ContagemDoCabecalho(entrada)), 8) +
                                   ADireita(std::to_string(tam), 12) + " " + a.nome + " ......");
                std::fflush(saida);
                ResultadoCodec r =
                    ExpandeDBC(entrada, soTesta ? std::string() : Saida(destino, a.nome, ".dbf"), progresso, false);
                if (soTesta)
                    Escreve(saida, std::string(APAGA) + " CRC");
                else
                    Escreve(saida, APAGA + Porcento(Razao(r.bytesSaida, tam), 7) + "%");
                if (!r.crcConfere)
                    Escreve(saida, " Erro de CRC: expansao cancelada\n");
                else if (r.codigo != 0)
                    Escreve(saida, "Erro na expansao do arquivo comprimido !\n");
                else
                    Escreve(saida, " OK\n");
                if (!r.Ok()) codigo = std::max(codigo, SAIDA_FALHA_ARQUIVO);
            }
            std::fflush(saida);
        }
    } catch (const std::exception& e) {
        std::fflush(saida);
        Escreve(erros, "\n" + ParaUtf8(e.what()) + "\n");
        std::fflush(erros);
        return SAIDA_ERRO;
    }
    std::fflush(saida);
    return codigo;
}

} // namespace dorvan::zembra
