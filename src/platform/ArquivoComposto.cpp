#include "platform/ArquivoComposto.h"

#include "platform/Arquivos.h"
#include "platform/Texto.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace dorvan {

namespace {

constexpr std::uint32_t Livre = 0xFFFFFFFFu;       // free sector / no entry
constexpr std::uint32_t FimCadeia = 0xFFFFFFFEu;   // end of a chain
constexpr std::uint32_t SetorTabela = 0xFFFFFFFDu; // sector of the allocation table
constexpr std::uint32_t SetorDifat = 0xFFFFFFFCu;  // sector of the table's extension list
constexpr std::size_t Setor = 512;
constexpr std::size_t MiniSetor = 64;
constexpr std::size_t LimiteMini = 4096;
constexpr std::size_t EntradasPorSetor = Setor / 4;
constexpr std::size_t DifatNoCabecalho = 109;
constexpr unsigned char Assinatura[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

std::size_t Teto(std::size_t a, std::size_t b) { return (a + b - 1) / b; }

void Poe16(std::string& s, std::size_t pos, std::uint16_t v) {
    s[pos] = static_cast<char>(v & 0xFF);
    s[pos + 1] = static_cast<char>(v >> 8);
}
void Poe32(std::string& s, std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint16_t Le16(std::string_view s, std::size_t pos) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[pos]) |
                                      (static_cast<unsigned char>(s[pos + 1]) << 8));
}
std::uint32_t Le32(std::string_view s, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[pos + i]);
    return v;
}

// Directory order: shorter names first, then by upper-cased characters.
bool NomeMenor(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = MaiusculaAscii(a[i]), y = MaiusculaAscii(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return false;
}

void ValidaNome(const std::string& nome) {
    if (nome.empty() || nome.size() > 31) throw std::invalid_argument("nome de fluxo invalido: " + nome);
    for (char c : nome)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E || c == '/' || c == '\\' ||
            c == ':' || c == '!')
            throw std::invalid_argument("nome de fluxo invalido: " + nome);
}

struct Entrada {
    std::string nome;
    std::uint8_t tipo = 0; // 1 storage, 2 stream, 5 root
    std::uint8_t cor = 1;  // 0 red, 1 black
    std::uint32_t esquerda = Livre, direita = Livre, filho = Livre;
    std::uint32_t inicio = FimCadeia;
    std::uint32_t tamanho = 0;
};

void GravaEntrada(std::string& s, std::size_t pos, const Entrada& e) {
    for (std::size_t i = 0; i < e.nome.size(); ++i) Poe16(s, pos + 2 * i, static_cast<unsigned char>(e.nome[i]));
    Poe16(s, pos + 64, static_cast<std::uint16_t>(2 * (e.nome.size() + 1)));
    s[pos + 66] = static_cast<char>(e.tipo);
    s[pos + 67] = static_cast<char>(e.cor);
    Poe32(s, pos + 68, e.esquerda);
    Poe32(s, pos + 72, e.direita);
    Poe32(s, pos + 76, e.filho);
    Poe32(s, pos + 116, e.inicio);
    Poe32(s, pos + 120, e.tamanho);
}

// Balanced binary tree over the sorted entries, red at the deepest level so every
// path holds the same number of black entries.
std::uint32_t MontaArvore(std::vector<Entrada>& ent, const std::vector<std::uint32_t>& ordem, std::size_t ini,
                          std::size_t fim, int prof, int profMax) {
    if (ini >= fim) return Livre;
    const std::size_t meio = ini + (fim - ini) / 2;
    const std::uint32_t no = ordem[meio];
    ent[no].cor = (profMax > 0 && prof == profMax) ? 0 : 1;
    ent[no].esquerda = MontaArvore(ent, ordem, ini, meio, prof + 1, profMax);
    ent[no].direita = MontaArvore(ent, ordem, meio + 1, fim, prof + 1, profMax);
    return no;
}

int Profundidade(std::size_t n) { // depth of the deepest node of a balanced tree of n nodes
    int p = -1;
    while (n > 0) {
        n /= 2;
        ++p;
    }
    return p;
}

} // namespace

std::string MontaArquivoComposto(const std::vector<FluxoComposto>& fluxos) {
    for (std::size_t i = 0; i < fluxos.size(); ++i) {
        ValidaNome(fluxos[i].Nome);
        if (fluxos[i].Dados.size() > 0x7FFFFFFFu) throw std::invalid_argument("fluxo grande demais: " + fluxos[i].Nome);
        for (std::size_t j = 0; j < i; ++j)
            if (!NomeMenor(fluxos[i].Nome, fluxos[j].Nome) && !NomeMenor(fluxos[j].Nome, fluxos[i].Nome))
                throw std::invalid_argument("nome de fluxo repetido: " + fluxos[i].Nome);
    }

    // Sector counts of each part, in the order they are laid out.
    std::size_t setoresGrandes = 0, miniSetores = 0;
    for (const auto& f : fluxos) {
        if (f.Dados.size() >= LimiteMini) setoresGrandes += Teto(f.Dados.size(), Setor);
        else miniSetores += Teto(f.Dados.size(), MiniSetor);
    }
    const std::size_t setoresMini = Teto(miniSetores * MiniSetor, Setor);
    const std::size_t setoresMiniTabela = Teto(miniSetores * 4, Setor);
    const std::size_t setoresDir = Teto(fluxos.size() + 1, Setor / 128);
    const std::size_t dados = setoresGrandes + setoresMini + setoresMiniTabela + setoresDir;
    std::size_t setoresTabela = 0, setoresDifat = 0;
    for (;;) {
        const std::size_t total = dados + setoresTabela + setoresDifat;
        const std::size_t precisa = Teto(total, EntradasPorSetor);
        const std::size_t difat =
            precisa > DifatNoCabecalho ? Teto(precisa - DifatNoCabecalho, EntradasPorSetor - 1) : 0;
        if (precisa == setoresTabela && difat == setoresDifat) break;
        setoresTabela = std::max(setoresTabela, precisa);
        setoresDifat = std::max(setoresDifat, difat);
    }
    const std::size_t totalSetores = dados + setoresTabela + setoresDifat;

    std::string arq(Setor * (1 + totalSetores), '\0');
    std::vector<std::uint32_t> tabela(setoresTabela * EntradasPorSetor, Livre);
    auto Cadeia = [&tabela](std::size_t primeiro, std::size_t n) {
        for (std::size_t k = 0; k < n; ++k)
            tabela[primeiro + k] = (k + 1 == n) ? FimCadeia : static_cast<std::uint32_t>(primeiro + k + 1);
    };
    auto PosSetor = [](std::size_t s) { return Setor * (s + 1); };

    std::vector<Entrada> ent(fluxos.size() + 1);
    ent[0].nome = "Root Entry";
    ent[0].tipo = 5;
    ent[0].cor = 1;

    std::size_t proximo = 0;
    std::string mini;
    std::vector<std::uint32_t> miniTabela;
    for (std::size_t i = 0; i < fluxos.size(); ++i) {
        const auto& f = fluxos[i];
        Entrada& e = ent[i + 1];
        e.nome = f.Nome;
        e.tipo = 2;
        e.tamanho = static_cast<std::uint32_t>(f.Dados.size());
        if (f.Dados.size() >= LimiteMini) {
            const std::size_t n = Teto(f.Dados.size(), Setor);
            e.inicio = static_cast<std::uint32_t>(proximo);
            std::copy(f.Dados.begin(), f.Dados.end(), arq.begin() + static_cast<std::ptrdiff_t>(PosSetor(proximo)));
            Cadeia(proximo, n);
            proximo += n;
        } else if (!f.Dados.empty()) {
            const std::size_t n = Teto(f.Dados.size(), MiniSetor);
            const std::size_t primeiro = miniTabela.size();
            e.inicio = static_cast<std::uint32_t>(primeiro);
            for (std::size_t k = 0; k < n; ++k)
                miniTabela.push_back(k + 1 == n ? FimCadeia : static_cast<std::uint32_t>(primeiro + k + 1));
            mini += f.Dados;
            mini.resize(miniTabela.size() * MiniSetor, '\0');
        }
    }
    if (setoresMini > 0) {
        ent[0].inicio = static_cast<std::uint32_t>(proximo);
        ent[0].tamanho = static_cast<std::uint32_t>(mini.size());
        std::copy(mini.begin(), mini.end(), arq.begin() + static_cast<std::ptrdiff_t>(PosSetor(proximo)));
        Cadeia(proximo, setoresMini);
        proximo += setoresMini;
    }
    const std::size_t inicioMiniTabela = proximo;
    if (setoresMiniTabela > 0) {
        miniTabela.resize(setoresMiniTabela * EntradasPorSetor, Livre);
        for (std::size_t k = 0; k < miniTabela.size(); ++k) Poe32(arq, PosSetor(proximo) + 4 * k, miniTabela[k]);
        Cadeia(proximo, setoresMiniTabela);
        proximo += setoresMiniTabela;
    }

    // The directory: the root's child is the top of a tree of its streams.
    std::vector<std::uint32_t> ordem;
    for (std::size_t i = 1; i < ent.size(); ++i) ordem.push_back(static_cast<std::uint32_t>(i));
    std::sort(ordem.begin(), ordem.end(),
              [&ent](std::uint32_t a, std::uint32_t b) { return NomeMenor(ent[a].nome, ent[b].nome); });
    ent[0].filho = MontaArvore(ent, ordem, 0, ordem.size(), 0, Profundidade(ordem.size()));
    const std::size_t inicioDir = proximo;
    for (std::size_t i = 0; i < setoresDir * 4; ++i) {
        if (i < ent.size()) GravaEntrada(arq, PosSetor(proximo) + 128 * i, ent[i]);
        else { // unused entries: no name, no siblings
            Entrada vazia;
            vazia.cor = 0;
            vazia.inicio = 0;
            GravaEntrada(arq, PosSetor(proximo) + 128 * i, vazia);
            Poe16(arq, PosSetor(proximo) + 128 * i + 64, 0);
        }
    }
    Cadeia(proximo, setoresDir);
    proximo += setoresDir;

    const std::size_t inicioDifat = proximo;
    for (std::size_t k = 0; k < setoresDifat; ++k) tabela[proximo + k] = SetorDifat;
    proximo += setoresDifat;
    const std::size_t inicioTabela = proximo;
    for (std::size_t k = 0; k < setoresTabela; ++k) tabela[proximo + k] = SetorTabela;
    for (std::size_t k = 0; k < tabela.size(); ++k)
        Poe32(arq, PosSetor(inicioTabela) + 4 * k, tabela[k]);

    // The list of table sectors: 109 in the header, the rest in extension sectors.
    for (std::size_t k = 0; k < DifatNoCabecalho; ++k)
        Poe32(arq, 76 + 4 * k, k < setoresTabela ? static_cast<std::uint32_t>(inicioTabela + k) : Livre);
    for (std::size_t d = 0; d < setoresDifat; ++d) {
        const std::size_t pos = PosSetor(inicioDifat + d);
        for (std::size_t k = 0; k < EntradasPorSetor - 1; ++k) {
            const std::size_t t = DifatNoCabecalho + d * (EntradasPorSetor - 1) + k;
            Poe32(arq, pos + 4 * k, t < setoresTabela ? static_cast<std::uint32_t>(inicioTabela + t) : Livre);
        }
        Poe32(arq, pos + Setor - 4, d + 1 < setoresDifat ? static_cast<std::uint32_t>(inicioDifat + d + 1) : FimCadeia);
    }

    std::copy(std::begin(Assinatura), std::end(Assinatura), arq.begin());
    Poe16(arq, 24, 0x003E);
    Poe16(arq, 26, 0x0003);
    Poe16(arq, 28, 0xFFFE);
    Poe16(arq, 30, 9);
    Poe16(arq, 32, 6);
    Poe32(arq, 44, static_cast<std::uint32_t>(setoresTabela));
    Poe32(arq, 48, static_cast<std::uint32_t>(inicioDir));
    Poe32(arq, 56, LimiteMini);
    Poe32(arq, 60, setoresMiniTabela > 0 ? static_cast<std::uint32_t>(inicioMiniTabela) : FimCadeia);
    Poe32(arq, 64, static_cast<std::uint32_t>(setoresMiniTabela));
    Poe32(arq, 68, setoresDifat > 0 ? static_cast<std::uint32_t>(inicioDifat) : FimCadeia);
    Poe32(arq, 72, static_cast<std::uint32_t>(setoresDifat));
    return arq;
}

void GravaArquivoComposto(const std::string& arquivo, const std::vector<FluxoComposto>& fluxos) {
    GravaArquivoInteiro(arquivo, MontaArquivoComposto(fluxos));
}

namespace {

[[noreturn]] void Falha(const std::string& m) { throw std::runtime_error("arquivo composto: " + m); }

struct Leitor {
    std::string_view arq;
    std::size_t setores = 0;
    std::vector<std::uint32_t> tabela, miniTabela;
    std::vector<Entrada> ent;
    std::string mini;

    std::string_view SetorEm(std::uint32_t s) const {
        if (s >= setores) Falha("setor fora do arquivo");
        return arq.substr(Setor * (s + 1), Setor);
    }
    std::vector<std::uint32_t> Segue(const std::vector<std::uint32_t>& t, std::uint32_t ini, std::size_t limite) const {
        std::vector<std::uint32_t> cadeia;
        std::vector<bool> visto(t.size(), false);
        for (std::uint32_t s = ini; s != FimCadeia;) {
            if (s >= t.size() || visto[s]) Falha("cadeia invalida");
            if (cadeia.size() >= limite) Falha("cadeia longa demais");
            visto[s] = true;
            cadeia.push_back(s);
            s = t[s];
        }
        return cadeia;
    }
    std::string LeCadeia(std::uint32_t ini) const {
        std::string s;
        for (std::uint32_t k : Segue(tabela, ini, setores)) s += SetorEm(k);
        return s;
    }

    explicit Leitor(std::string_view a) : arq(a) {
        if (arq.size() < Setor || !std::equal(std::begin(Assinatura), std::end(Assinatura), arq.begin(),
                                                    [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }))
            Falha("assinatura ausente");
        if (Le16(arq, 26) != 3 || Le16(arq, 28) != 0xFFFE || Le16(arq, 30) != 9 || Le16(arq, 32) != 6 ||
            Le32(arq, 56) != LimiteMini)
            Falha("cabecalho invalido");
        if ((arq.size() % Setor) != 0) Falha("tamanho nao multiplo do setor");
        setores = arq.size() / Setor - 1;
        const std::uint32_t nTabela = Le32(arq, 44);
        // Counts beyond the sectors there are would only walk (or loop) through garbage.
        if (nTabela > setores || Le32(arq, 72) > setores) Falha("contagem de setores maior que o arquivo");
        std::vector<std::uint32_t> setoresTabela;
        for (std::size_t k = 0; k < DifatNoCabecalho && setoresTabela.size() < nTabela; ++k)
            setoresTabela.push_back(Le32(arq, 76 + 4 * k));
        std::uint32_t difat = Le32(arq, 68);
        for (std::uint32_t d = 0; d < Le32(arq, 72); ++d) {
            const std::string_view s = SetorEm(difat);
            for (std::size_t k = 0; k + 1 < EntradasPorSetor && setoresTabela.size() < nTabela; ++k)
                setoresTabela.push_back(Le32(s, 4 * k));
            difat = Le32(s, Setor - 4);
        }
        if (setoresTabela.size() != nTabela) Falha("lista da tabela incompleta");
        for (std::uint32_t s : setoresTabela) {
            const std::string_view d = SetorEm(s);
            for (std::size_t k = 0; k < EntradasPorSetor; ++k) tabela.push_back(Le32(d, 4 * k));
        }
        // Every sector number below is then an index of the table.
        if (tabela.size() < setores) Falha("tabela menor que o arquivo");
        for (std::uint32_t s : setoresTabela)
            if (tabela[s] != SetorTabela) Falha("setor da tabela nao marcado");
        tabela.resize(setores);

        const std::string dir = LeCadeia(Le32(arq, 48));
        for (std::size_t p = 0; p + 128 <= dir.size(); p += 128) {
            Entrada e;
            const std::uint16_t tam = Le16(dir, p + 64);
            if (tam > 64 || (tam % 2) != 0) Falha("nome de entrada invalido");
            for (std::size_t i = 0; i + 2 < tam; i += 2) e.nome += static_cast<char>(Le16(dir, p + i) & 0xFF);
            e.tipo = static_cast<std::uint8_t>(dir[p + 66]);
            e.cor = static_cast<std::uint8_t>(dir[p + 67]);
            e.esquerda = Le32(dir, p + 68);
            e.direita = Le32(dir, p + 72);
            e.filho = Le32(dir, p + 76);
            e.inicio = Le32(dir, p + 116);
            e.tamanho = Le32(dir, p + 120);
            if (Le32(dir, p + 124) != 0) Falha("tamanho de fluxo acima de 32 bits");
            ent.push_back(e);
        }
        if (ent.empty() || ent[0].tipo != 5) Falha("entrada raiz ausente");
        if (ent[0].tamanho > 0) {
            mini = LeCadeia(ent[0].inicio);
            if (mini.size() < ent[0].tamanho) Falha("mini fluxo curto");
            mini.resize(ent[0].tamanho);
            if (Le32(arq, 64) > 0) {
                const std::string t = LeCadeia(Le32(arq, 60));
                for (std::size_t k = 0; k + 4 <= t.size(); k += 4) miniTabela.push_back(Le32(t, k));
            }
        }
    }

    // The streams of the root in tree order, checking the order and that no entry repeats.
    void Percorre(std::uint32_t no, std::vector<bool>& visto, std::vector<std::uint32_t>& saida) const {
        if (no == Livre) return;
        if (no >= ent.size() || visto[no]) Falha("arvore do diretorio invalida");
        visto[no] = true;
        const Entrada& e = ent[no];
        if (e.esquerda != Livre && e.esquerda < ent.size() && !NomeMenor(ent[e.esquerda].nome, e.nome))
            Falha("arvore fora de ordem");
        if (e.direita != Livre && e.direita < ent.size() && !NomeMenor(e.nome, ent[e.direita].nome))
            Falha("arvore fora de ordem");
        Percorre(e.esquerda, visto, saida);
        saida.push_back(no);
        Percorre(e.direita, visto, saida);
    }
    std::vector<std::uint32_t> Fluxos() const {
        std::vector<bool> visto(ent.size(), false);
        std::vector<std::uint32_t> saida;
        Percorre(ent[0].filho, visto, saida);
        return saida;
    }

    std::string Dados(const Entrada& e) const {
        if (e.tipo != 2) Falha("entrada nao e fluxo");
        if (e.tamanho >= LimiteMini) {
            std::string s = LeCadeia(e.inicio);
            if (s.size() != Teto(e.tamanho, Setor) * Setor) Falha("cadeia nao confere com o tamanho");
            s.resize(e.tamanho);
            return s;
        }
        if (e.tamanho == 0) return {};
        std::string s;
        for (std::uint32_t k : Segue(miniTabela, e.inicio, miniTabela.size())) {
            if ((k + 1) * MiniSetor > mini.size()) Falha("mini setor fora do mini fluxo");
            s += mini.substr(k * MiniSetor, MiniSetor);
        }
        if (s.size() != Teto(e.tamanho, MiniSetor) * MiniSetor) Falha("mini cadeia nao confere com o tamanho");
        s.resize(e.tamanho);
        return s;
    }
};

} // namespace

std::string LeFluxoComposto(std::string_view arquivo, std::string_view nome) {
    const Leitor l(arquivo);
    const std::string procurado(nome);
    for (std::uint32_t i : l.Fluxos())
        if (!NomeMenor(l.ent[i].nome, procurado) && !NomeMenor(procurado, l.ent[i].nome)) return l.Dados(l.ent[i]);
    Falha("fluxo ausente: " + procurado);
}

std::vector<std::string> ListaFluxosCompostos(std::string_view arquivo) {
    const Leitor l(arquivo);
    std::vector<std::string> nomes;
    for (std::uint32_t i : l.Fluxos()) nomes.push_back(l.ent[i].nome);
    return nomes;
}

} // namespace dorvan
