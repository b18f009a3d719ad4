// ARC/INFO export files (.E00): the arcs, centroids or label points of a coverage,
// then its attribute tables. Polygons are assembled by joining the arcs that bound
// them; codes and names come from the items of the coverage's attribute table.
#include "maps/ImportaComum.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"

#include <algorithm>
#include <list>

namespace dorvan {

using namespace importa;

namespace {

constexpr int MaxArcos = 32767;

struct Arco {
    long long Esquerda = 0, Direita = 0;
    std::vector<PontoMapa> Pontos;
    bool Existe = false;
};

struct ItemE00 {
    std::string Nome;
    std::size_t Inicio = 0, Largura = 0; // 0-based start in the record text
};

class LeitorE00 {
public:
    explicit LeitorE00(const std::string& nome) : nome_(nome), dados_(LeArquivoInteiro(nome)) {}

    // The next line: at most 82 bytes up to a line feed (a CR before it dropped).
    bool LeLinha(std::string& linha) {
        if (pos_ >= dados_.size()) return false;
        ++linha_;
        const std::size_t n = std::min<std::size_t>(82, dados_.size() - pos_);
        const std::size_t lf = dados_.find('\n', pos_);
        std::size_t fim, proximo;
        if (lf != std::string::npos && lf < pos_ + n) {
            fim = lf;
            proximo = lf + 1;
        } else {
            fim = proximo = pos_ + n; // a line with no end within reach is cut there
        }
        if (fim > pos_ && dados_[fim - 1] == '\r') --fim;
        linha.assign(dados_, pos_, fim - pos_);
        pos_ = proximo;
        return true;
    }
    std::string Exige() {
        std::string l;
        if (!LeLinha(l)) {
            ++linha_;
            Falha("fim do arquivo inesperado");
        }
        return l;
    }
    bool Procura(const std::string& prefixo, std::string& linha) {
        while (LeLinha(linha))
            if (linha.compare(0, prefixo.size(), prefixo) == 0) return true;
        return false;
    }
    // Complaints name the line last read, as a text editor counts them.
    [[noreturn]] void Falha(const std::string& motivo) const {
        throw ErroES(nome_, "linha " + std::to_string(linha_) + ": " + motivo);
    }
    long long Inteiro(const std::string& linha, std::size_t inicio, std::size_t n) const {
        const std::string t = inicio < linha.size() ? linha.substr(inicio, n) : std::string();
        long long v = 0;
        if (!TextoInteiro(t, v)) Falha("'" + t + "' n\xE3o \xE9 um n\xFAmero inteiro v\xE1lido");
        return v;
    }

private:
    std::string nome_;
    std::string dados_;
    std::size_t pos_ = 0;
    std::size_t linha_ = 0; // number of the line last read, from 1
};

std::string Campo(const std::string& s, std::size_t inicio, std::size_t n) {
    return inicio < s.size() ? s.substr(inicio, n) : std::string();
}

bool BrancoDesde(const std::string& s, std::size_t i) {
    for (; i < s.size(); ++i)
        if (s[i] != ' ') return false;
    return true;
}

// Builds polygon p from the arcs that bound it, ring by ring.
void MontaPoligono(const std::vector<Arco>& arcos, long long p, RegistroMapa& r) {
    std::list<const Arco*> lista;
    for (const Arco& a : arcos)
        if (a.Existe && (a.Esquerda == p || a.Direita == p)) lista.push_back(&a);
    auto poe = [&](PontoMapa v) { Acrescenta(r, v); };
    while (!lista.empty()) {
        for (const PontoMapa& v : lista.front()->Pontos)
            poe(v);
        lista.pop_front();
        bool continua = true;
        while (continua && !r.Pontos.empty()) {
            continua = false;
            const PontoMapa ultimo = r.Pontos.back();
            for (auto it = lista.begin(); it != lista.end(); ++it) {
                const auto& v = (*it)->Pontos;
                if (v.empty()) continue;
                if (v.front() == ultimo) {
                    for (std::size_t i = 1; i < v.size(); ++i)
                        poe(v[i]);
                } else if (v.back() == ultimo) {
                    for (std::size_t i = v.size() - 1; i-- > 0;)
                        poe(v[i]);
                } else {
                    continue;
                }
                lista.erase(it);
                continua = true;
                break;
            }
        }
        if (!r.Pontos.empty() && !(r.Pontos.back() == r.Pontos.front())) poe(r.Pontos.front());
    }
}

} // namespace

std::string ImportaE00(const std::string& arquivo, const EscolheNomeFn& escolhe) {
    LeitorE00 e(arquivo);
    std::size_t largura = 14;
    std::vector<Arco> arcos(1);             // by arc number; 0 unused
    std::vector<PontoMapa> pontos;          // centroids or label points, in file order
    std::vector<long long> identificadores; // of the label points
    bool temCNT = false;
    std::string linha;
    bool achouIFO = false;
    while (e.LeLinha(linha)) {
        const std::string secao = linha.substr(0, 3);
        if (secao == "IFO") {
            achouIFO = true;
            break;
        }
        if (secao == "ARC") {
            largura = Campo(linha, 5, 1) == "3" ? 21 : 14;
            long long ultimo = 0;
            for (;;) {
                const std::string cab = e.Exige();
                const long long numero = e.Inteiro(cab, 5, 5);
                if (numero <= 0) break;
                if (numero > MaxArcos) {
                    MensagensAtuais().Mostra("Excedeu m\xE1ximo de arcos");
                    break;
                }
                const long long esquerda = e.Inteiro(cab, 45, 5);
                const long long direita = e.Inteiro(cab, 55, 5);
                const long long n = e.Inteiro(cab, 65, 5);
                Arco a;
                a.Existe = true;
                a.Esquerda = esquerda;
                a.Direita = direita;
                std::string l;
                std::size_t pos = 0;
                for (long long i = 0; i < n; ++i) {
                    if (BrancoDesde(l, pos)) {
                        l = e.Exige();
                        pos = 0;
                    }
                    const float x = Coordenada(Campo(l, pos, largura));
                    const float y = Coordenada(Campo(l, pos + largura, largura));
                    pos += 2 * largura;
                    a.Pontos.push_back({x, y});
                }
                if (static_cast<std::size_t>(numero) >= arcos.size())
                    arcos.resize(static_cast<std::size_t>(numero) + 1);
                arcos[static_cast<std::size_t>(numero)] = std::move(a);
                ultimo = numero;
            }
            // The number of the last arc read is the number of arcs.
            arcos.resize(static_cast<std::size_t>(ultimo) + 1);
        } else if (secao == "CNT") {
            // The label points read so far would stand for centroids they are not.
            if (!identificadores.empty()) e.Falha("se\xE7\xE3o CNT depois da se\xE7\xE3o LAB");
            temCNT = true;
            pontos.clear();
            bool primeiro = true;
            for (;;) {
                const std::string l = e.Exige();
                if (e.Inteiro(l, 0, 10) < 0) break;
                pontos.push_back({Coordenada(Campo(l, 10, largura)), Coordenada(Campo(l, 10 + largura, largura))});
                if (!primeiro) e.Exige();
                primeiro = false;
            }
        } else if (secao == "LAB" && !temCNT) {
            largura = Campo(linha, 5, 1) == "3" ? 21 : 14;
            for (;;) {
                const std::string l = e.Exige();
                const long long id = e.Inteiro(l, 0, 10);
                if (id < 0) break;
                identificadores.push_back(id);
                pontos.push_back({Coordenada(Campo(l, 20, largura)), Coordenada(Campo(l, 20 + largura, largura))});
                e.Exige();
                if (largura == 21) e.Exige();
            }
        }
    }
    const bool temArcos = arcos.size() > 1;
    std::string tabela;
    bool achouTabela = achouIFO && e.LeLinha(tabela);
    std::string cobertura;
    if (achouTabela) {
        cobertura = tabela.substr(0, std::min<std::size_t>(tabela.find('.'), 20));
        if (temCNT || !temArcos) {
            const std::string alvo = cobertura + ".PAT";
            if (tabela.compare(0, alvo.size(), alvo) != 0) achouTabela = e.Procura(alvo, tabela);
        }
    }
    if (!achouTabela) {
        MensagensAtuais().Mostra("Arquivo n\xE3o importado! Falta tabela de atributos.");
        return {};
    }
    const long long numItens = InteiroOuZero(Campo(tabela, 36, 2));
    // Redefined items add definition lines after the items but no record text.
    const long long numDefinicoes = std::max(numItens, InteiroOuZero(Campo(tabela, 38, 4)));
    const long long numRegistros = InteiroOuZero(Campo(tabela, 52, 4));
    std::vector<ItemE00> itens;
    std::vector<std::string> candidatos;
    int itemId = -1;
    std::size_t inicio = 0;
    for (long long i = 0; i < numItens; ++i) {
        const std::string d = e.Exige();
        ItemE00 it;
        it.Nome = d.substr(0, d.find(' '));
        const char tipo = d.size() > 35 ? d[35] : ' ';
        switch (tipo) {
        case '1':
            it.Largura = 8;
            break;
        case '4':
        case '6':
            it.Largura = largura == 21 ? 24 : 14;
            break;
        case '5':
            it.Largura = 11;
            break;
        default:
            it.Largura = static_cast<std::size_t>(std::max<long long>(0, InteiroOuZero(Campo(d, 29, 3))));
            break;
        }
        it.Inicio = inicio;
        inicio += it.Largura;
        if (itemId < 0 && d.compare(0, cobertura.size() + 3, cobertura + "-ID") == 0)
            itemId = static_cast<int>(itens.size());
        if (itemId >= 0) candidatos.push_back(it.Nome);
        itens.push_back(it);
    }
    for (long long i = numItens; i < numDefinicoes; ++i)
        e.Exige();
    if (itemId < 0 && !itens.empty()) {
        itemId = static_cast<int>(itens.size()) - 1;
        candidatos.push_back(itens.back().Nome);
    }
    const std::size_t larguraRegistro = inicio;
    const EscolhaCampos esc = Escolhe(escolhe, candidatos, PadraoDoisPrimeiros(candidatos.size(), false));
    auto itemDe = [&](int candidato) -> const ItemE00* {
        if (candidato < 0 || static_cast<std::size_t>(candidato) >= candidatos.size()) return nullptr;
        return &itens[static_cast<std::size_t>(itemId + candidato)];
    };
    const ItemE00* itCodigo = itemDe(esc.Codigo);
    const ItemE00* itNome = itemDe(esc.Nome);

    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida);
    for (long long reg = 1; reg <= numRegistros; ++reg) {
        std::string texto;
        while (texto.size() < larguraRegistro) {
            std::string l = e.Exige();
            l.resize(std::max<std::size_t>(l.size(), 80), ' ');
            texto += l;
        }
        RegistroMapa r;
        if (itCodigo) {
            std::string c = Campo(texto, itCodigo->Inicio, itCodigo->Largura);
            std::size_t i = 0;
            while (i < c.size() && c[i] == ' ' && c.size() - i > 4)
                ++i;
            r.Codigo = c.substr(i, MaxCodigoMapa);
        }
        if (itNome) {
            std::string n = Campo(texto, itNome->Inicio, std::min<std::size_t>(itNome->Largura, MaxNomeMapa));
            while (n.size() > 1 && n.back() == ' ')
                n.pop_back();
            r.Nome = n;
        }
        const std::size_t k = static_cast<std::size_t>(reg - 1);
        if (!temArcos) {
            // A table without items names no label point for any record.
            if (itemId < 0) continue;
            const ItemE00& id = itens[static_cast<std::size_t>(itemId)];
            long long identificador = 0;
            const std::string t = Campo(texto, id.Inicio, id.Largura);
            if (!TextoInteiro(t, identificador))
                e.Falha("registro " + std::to_string(reg) + ": '" + t + "' n\xE3o \xE9 um n\xFAmero inteiro v\xE1lido");
            const auto achado = std::find(identificadores.begin(), identificadores.end(), identificador);
            const auto indice = static_cast<std::size_t>(achado - identificadores.begin());
            if (achado == identificadores.end() || indice >= pontos.size()) continue; // no label point to put it at
            r.Tipo = TipoPonto;
            r.Pontos.push_back(pontos[indice]);
            RotuloPelasRegras(r);
        } else if (temCNT) {
            if (reg == 1) continue; // the region outside every polygon
            MontaPoligono(arcos, reg, r);
            r.Tipo = TipoPoligono;
            if (k < pontos.size()) {
                r.RotuloX = pontos[k].X;
                r.RotuloY = pontos[k].Y;
            } else {
                RotuloPelasRegras(r);
            }
        } else {
            // A line coverage's arc table lists its arcs in arc-number order.
            if (static_cast<std::size_t>(reg) >= arcos.size()) continue;
            for (const PontoMapa& v : arcos[static_cast<std::size_t>(reg)].Pontos)
                Acrescenta(r, v);
            r.Tipo = TipoLinha;
            RotuloPelasRegras(r);
        }
        g.Grava(r);
    }
    g.Fecha();
    return saida;
}

} // namespace dorvan
