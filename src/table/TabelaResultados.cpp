#include "table/TabelaResultados.h"

#include "platform/Mensagens.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unistd.h>

namespace dorvan {

namespace {

std::string Corta(std::string_view texto, std::size_t maximo) {
    return std::string(texto.substr(0, std::min(texto.size(), maximo)));
}

// NaN above every number and equal to itself, so the order stays a strict weak
// order and the partition scans below never run past their ends.
bool Menor(double a, double b) {
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

} // namespace

const std::string& NomeTipoTotal(TipoTotal tipo) {
    static const std::string nomes[NumTiposTotal] = {
        "Sem Total",
        "Soma",
        "Produto",
        "M\xE9"
        "dia",
        "Inicial",
        "Final",
        "M\xEDnimo",
        "M\xE1ximo",
        "Pr\xE9 Calculado",
    };
    static const std::string vazio;
    auto i = static_cast<int>(tipo);
    return i >= 0 && i < NumTiposTotal ? nomes[i] : vazio;
}

TipoTotal TipoTotalDeNumero(int numero) {
    if (numero < 0 || numero >= NumTiposTotal) return TipoTotal::Soma;
    return static_cast<TipoTotal>(numero);
}

TabelaResultados::TabelaResultados() : rotulos_(1), ordem_(1) {
    colunas_.push_back(std::make_unique<ColunaResultados>());
    Classe[0] = -1e20;
}

TabelaResultados::TabelaResultados(const TabelaResultados& outra)
    : NumLinhas(outra.NumLinhas), OrdemDecrescente(outra.OrdemDecrescente), ColunaOrdem(outra.ColunaOrdem),
      TamCodigo(outra.TamCodigo), MostraCodigo(outra.MostraCodigo), Titulo1(outra.Titulo1), Titulo2(outra.Titulo2),
      Rodape(outra.Rodape), Modificada(outra.Modificada), ArquivoAtual(outra.ArquivoAtual),
      Selecionadas(outra.Selecionadas), NomeMapa(outra.NomeMapa), ColunaMapa(outra.ColunaMapa),
      NumClasses(outra.NumClasses), IndCor(outra.IndCor), SemClasses(outra.SemClasses), Cor(outra.Cor),
      Classe(outra.Classe), MaximoMapa(outra.MaximoMapa), MinimoMapa(outra.MinimoMapa),
      IndiceLinhas(outra.IndiceLinhas), rotulos_(outra.rotulos_), ordem_(outra.ordem_), notas_(outra.notas_) {
    colunas_.reserve(outra.colunas_.size());
    for (const auto& c : outra.colunas_)
        colunas_.push_back(std::make_unique<ColunaResultados>(*c));
}

TabelaResultados& TabelaResultados::operator=(const TabelaResultados& outra) {
    if (this != &outra) *this = TabelaResultados(outra);
    return *this;
}

void TabelaResultados::DefineNomeColuna(std::int32_t c, std::string_view titulo) {
    Coluna(c).NomeColuna = Corta(titulo, MaxTituloColuna);
}

void TabelaResultados::AlocaLinhas(std::int32_t capLinhas, std::int32_t numLinhas) {
    LiberaTabela(*this);
    DefineCapLinhas(capLinhas);
    NumLinhas = std::clamp(numLinhas, 0, CapLinhas());
}

void TabelaResultados::DefineCapLinhas(std::int32_t capLinhas) {
    if (capLinhas < 0) capLinhas = 0;
    auto tamanho = static_cast<std::size_t>(capLinhas) + 1;
    auto antigo = ordem_.size();
    rotulos_.resize(tamanho);
    ordem_.resize(tamanho);
    for (std::size_t k = antigo; k < tamanho; ++k)
        ordem_[k] = static_cast<std::int32_t>(k);
    // A shrunken table must not keep positions that name rows no longer there.
    if (tamanho < antigo) {
        bool valida = true;
        for (std::size_t k = 1; k < tamanho; ++k)
            if (ordem_[k] < 1 || static_cast<std::size_t>(ordem_[k]) >= tamanho) valida = false;
        if (!valida) std::iota(ordem_.begin(), ordem_.end(), 0);
    }
    for (std::size_t c = 1; c < colunas_.size(); ++c)
        colunas_[c]->Dados.resize(tamanho, 0.0);
    NumLinhas = std::min(NumLinhas, capLinhas);
}

bool TabelaResultados::DefineNumNotas(std::int32_t n) {
    bool cabe = n <= MaxNotas;
    notas_.resize(static_cast<std::size_t>(std::clamp(n, 0, MaxNotas)));
    return cabe;
}

TabelaResultados& TabelaAtual() {
    static TabelaResultados tabela;
    return tabela;
}

bool AcrescentaColuna(TabelaResultados& t, std::string_view titulo, std::int32_t decimais) {
    if (t.NumColunas() >= MaxColunas) return false;
    auto nova = std::make_unique<ColunaResultados>();
    nova->NomeColuna = Corta(titulo, MaxTituloColuna);
    nova->Decimais = decimais;
    nova->Dados.assign(static_cast<std::size_t>(t.CapLinhas()) + 1, 0.0);
    t.colunas_.push_back(std::move(nova));
    return true;
}

bool CabeNaMemoria(std::int64_t linhas, std::int64_t colunas) {
    if (linhas < 0 || colunas < 0) return false;
    // One cell per row and column, plus each row's label, order and unused slot 0.
    const double bytes = (static_cast<double>(linhas) + 1) * (static_cast<double>(colunas) * sizeof(double) +
                                                              sizeof(std::string) + sizeof(std::int32_t));
    double limite = static_cast<double>(MaxBytesCelulas);
    const long paginas = sysconf(_SC_PHYS_PAGES), tamanho = sysconf(_SC_PAGE_SIZE);
    if (paginas > 0 && tamanho > 0) limite = std::min(limite, static_cast<double>(paginas) * static_cast<double>(tamanho) / 2);
    return bytes <= limite;
}

bool ComColunaDUMMY(const TabelaResultados& t) {
    return t.NumColunas() == 0 || t.NomeColuna(t.NumColunas()) == "DUMMY";
}

void RemoveUltimaColuna(TabelaResultados& t) {
    if (t.NumColunas() >= 1) EliminaColuna(t, t.NumColunas());
}

void LiberaTabela(TabelaResultados& t) {
    t.colunas_.resize(1);
    t.colunas_.shrink_to_fit();
    t.rotulos_.assign(1, std::string());
    t.rotulos_.shrink_to_fit();
    t.ordem_.assign(1, 0);
    t.ordem_.shrink_to_fit();
    t.notas_.clear();
    t.NumLinhas = 0;
}

void CalculaTotal(TabelaResultados& t, std::int32_t c) {
    if (c < 1 || c > t.NumColunas()) return;
    ColunaResultados& col = t.Coluna(c);
    if (col.TipoTotal == TipoTotal::SemTotal || col.TipoTotal == TipoTotal::PreCalculado) return;
    const std::int32_t n = t.NumLinhas;
    if (n < 1) {
        col.Total = 0;
        return;
    }
    const std::vector<double>& v = col.Dados;
    switch (col.TipoTotal) {
    case TipoTotal::Soma:
    case TipoTotal::Media: {
        double soma = 0;
        for (std::int32_t r = 1; r <= n; ++r)
            soma += v[static_cast<std::size_t>(r)];
        col.Total = col.TipoTotal == TipoTotal::Media ? soma / n : soma;
        break;
    }
    case TipoTotal::Produto: {
        double produto = 1;
        for (std::int32_t r = 1; r <= n; ++r)
            produto *= v[static_cast<std::size_t>(r)];
        col.Total = produto;
        break;
    }
    case TipoTotal::Inicial:
        col.Total = v[static_cast<std::size_t>(t.Ordem(1))];
        break;
    case TipoTotal::Final:
        col.Total = v[static_cast<std::size_t>(t.Ordem(n))];
        break;
    case TipoTotal::Minimo:
    case TipoTotal::Maximo: {
        double m = v[1];
        bool minimo = col.TipoTotal == TipoTotal::Minimo;
        for (std::int32_t r = 2; r <= n; ++r) {
            double x = v[static_cast<std::size_t>(r)];
            if (minimo ? x < m : x > m) m = x;
        }
        col.Total = m;
        break;
    }
    case TipoTotal::SemTotal:
    case TipoTotal::PreCalculado:
        break;
    }
    // A product or sum past the double range would put an infinity in the totals row.
    if (!std::isfinite(col.Total)) col.Total = 0;
}

void OrdenaIndice(std::span<const double> valores, std::span<std::int32_t> indice, std::int32_t inicio,
                  std::int32_t fim) {
    auto valor = [&](std::int32_t k) { return valores[static_cast<std::size_t>(indice[static_cast<std::size_t>(k)])]; };
    // Hoare partition around the middle entry. The smaller part is sorted by
    // recursion and the larger by the loop, so the stack stays logarithmic even
    // on inputs that defeat the middle pivot.
    while (inicio < fim) {
        std::int32_t i = inicio;
        std::int32_t j = fim;
        const double pivo = valor(inicio + (fim - inicio) / 2);
        do {
            while (Menor(valor(i), pivo))
                ++i;
            while (Menor(pivo, valor(j)))
                --j;
            if (i <= j) {
                std::swap(indice[static_cast<std::size_t>(i)], indice[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - inicio < fim - i) {
            if (inicio < j) OrdenaIndice(valores, indice, inicio, j);
            inicio = i;
        } else {
            if (i < fim) OrdenaIndice(valores, indice, i, fim);
            fim = j;
        }
    }
}

void OrdenaPorColuna(TabelaResultados& t, std::int32_t c) {
    if (c != 0) {
        OrdenaIndice(t.Coluna(c).Dados, t.Ordem(), 1, t.NumLinhas);
    } else {
        for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
            t.Ordem(k) = k;
    }
    t.ColunaOrdem = c;
}

std::int32_t LinhaReal(const TabelaResultados& t, std::int32_t g) {
    if (g == 1) return LinhaTotais;
    if (g < 2 || g > t.NumLinhas + 1) return 0;
    return t.OrdemDecrescente ? t.Ordem(t.NumLinhas - g + 2) : t.Ordem(g - 1);
}

bool AchaNota(const TabelaResultados& t, std::int32_t linha, std::int32_t coluna, std::int32_t& numero) {
    for (std::int32_t n = 1; n <= t.NumNotas(); ++n) {
        const Nota& nota = t.Notas(n);
        if (nota.Linha == linha && nota.Coluna == coluna) {
            numero = n;
            return true;
        }
    }
    numero = 0;
    return false;
}

void ApagaNota(TabelaResultados& t, std::int32_t n) {
    if (n < 1 || n > t.NumNotas()) return;
    t.notas_.erase(t.notas_.begin() + (n - 1));
}

std::int32_t AcrescentaNota(TabelaResultados& t, std::int32_t linha, std::int32_t coluna, std::string_view texto) {
    if (t.NumNotas() >= MaxNotas) {
        MensagensAtuais().Mostra("M\xE1ximo de notas foi atingido.");
        return 0;
    }
    t.notas_.push_back(Nota{linha, coluna, Corta(texto, MaxTextoNota)});
    return t.NumNotas();
}

void DetectaCodigo(TabelaResultados& t) {
    const std::int32_t n = std::min(t.NumLinhas, t.CapLinhas());
    t.TamCodigo = SemCodigo;
    if (n < 1) return;
    const std::string& primeiro = t.Rotulo(1);
    std::size_t p = primeiro.find(' ');
    if (p == std::string::npos || p == 0) return;
    // A code longer than the marker value itself cannot be told from "no code".
    if (p >= static_cast<std::size_t>(SemCodigo)) return;
    const std::size_t tam = p;
    for (std::int32_t r = 2; r <= n; ++r) {
        const std::string& rotulo = t.Rotulo(r);
        if (rotulo.size() < tam) return;
        if (rotulo.size() > tam && rotulo[tam] != ' ') return;
    }
    // A prefix shared by the first and the last row is no code.
    if (t.Rotulo(n).compare(0, tam, primeiro, 0, tam) == 0) return;
    t.TamCodigo = static_cast<std::int32_t>(tam);
}

std::int32_t LarguraValor(std::int32_t decimais, double valor) {
    std::int32_t d = 0;
    if (std::isfinite(valor)) {
        double v = std::fabs(valor);
        while (v >= 1) {
            v /= 10;
            ++d;
        }
    } else {
        d = 3; // "inf" or "nan" as the number formatter writes them
    }
    if (d < 1) d = 1;
    std::int32_t largura = d + d / 3 + 1;
    if (decimais > 0) largura += decimais + 1;
    return largura;
}

namespace {

// The new number of every column after a move or an erasure: mapa[old] = new,
// 0 for an erased column; mapa[0] = 0.
void RenumeraColunas(TabelaResultados& t, std::vector<Nota>& notas, const std::vector<std::int32_t>& mapa) {
    std::erase_if(notas, [&](const Nota& n) {
        return n.Coluna > 0 && n.Coluna < static_cast<std::int32_t>(mapa.size()) &&
               mapa[static_cast<std::size_t>(n.Coluna)] == 0;
    });
    for (Nota& n : notas)
        if (n.Coluna > 0 && n.Coluna < static_cast<std::int32_t>(mapa.size()))
            n.Coluna = mapa[static_cast<std::size_t>(n.Coluna)];
    auto segue = [&](std::int32_t c) {
        return c > 0 && c < static_cast<std::int32_t>(mapa.size()) ? mapa[static_cast<std::size_t>(c)] : c;
    };
    t.ColunaOrdem = segue(t.ColunaOrdem);
    t.ColunaMapa = segue(t.ColunaMapa);
}

} // namespace

void PermutaColunas(TabelaResultados& t, const std::vector<std::int32_t>& novaOrdem) {
    const std::int32_t n = t.NumColunas();
    if (static_cast<std::int32_t>(novaOrdem.size()) != n) return;
    std::vector<std::int32_t> mapa(static_cast<std::size_t>(n) + 1, 0);
    for (std::int32_t i = 1; i <= n; ++i) {
        std::int32_t antiga = novaOrdem[static_cast<std::size_t>(i - 1)];
        if (antiga < 1 || antiga > n || mapa[static_cast<std::size_t>(antiga)] != 0) return;
        mapa[static_cast<std::size_t>(antiga)] = i;
    }
    std::vector<std::unique_ptr<ColunaResultados>> novas;
    novas.reserve(t.colunas_.size());
    novas.push_back(std::move(t.colunas_[0]));
    for (std::int32_t antiga : novaOrdem)
        novas.push_back(std::move(t.colunas_[static_cast<std::size_t>(antiga)]));
    t.colunas_ = std::move(novas);
    RenumeraColunas(t, t.notas_, mapa);
}

void MoveColuna(TabelaResultados& t, std::int32_t de, std::int32_t para) {
    const std::int32_t n = t.NumColunas();
    if (de < 1 || de > n || para < 1 || para > n || de == para) return;
    std::vector<std::int32_t> ordem(static_cast<std::size_t>(n));
    std::iota(ordem.begin(), ordem.end(), 1);
    ordem.erase(ordem.begin() + (de - 1));
    ordem.insert(ordem.begin() + (para - 1), de);
    PermutaColunas(t, ordem);
}

void EliminaColunas(TabelaResultados& t, std::vector<std::int32_t> colunas) {
    const std::int32_t n = t.NumColunas();
    std::vector<char> apaga(static_cast<std::size_t>(n) + 1, 0);
    bool alguma = false;
    for (std::int32_t c : colunas)
        if (c >= 1 && c <= n) apaga[static_cast<std::size_t>(c)] = 1, alguma = true;
    if (!alguma) return;
    const bool ordenada = t.ColunaOrdem != 0;
    std::vector<std::int32_t> mapa(static_cast<std::size_t>(n) + 1, 0);
    std::vector<std::unique_ptr<ColunaResultados>> novas;
    novas.push_back(std::move(t.colunas_[0]));
    for (std::int32_t c = 1; c <= n; ++c) {
        if (apaga[static_cast<std::size_t>(c)]) continue;
        novas.push_back(std::move(t.colunas_[static_cast<std::size_t>(c)]));
        mapa[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(novas.size()) - 1;
    }
    t.colunas_ = std::move(novas);
    RenumeraColunas(t, t.notas_, mapa);
    // An order by a column that no longer exists could not be reversed or redone.
    if (ordenada && t.ColunaOrdem == 0) {
        OrdenaPorColuna(t, 0);
        t.OrdemDecrescente = false;
    }
}

void MantemLinhas(TabelaResultados& t, const std::vector<std::int32_t>& linhas) {
    const std::int32_t n = t.NumLinhas;
    std::vector<std::int32_t> mapa(static_cast<std::size_t>(n) + 1, 0);
    std::int32_t novo = 0;
    std::int32_t anterior = 0;
    for (std::int32_t r : linhas) {
        if (r < 1 || r > n || r <= anterior) continue; // keep ascending, no repeats
        anterior = r;
        mapa[static_cast<std::size_t>(r)] = ++novo;
    }
    for (std::int32_t r = 1; r <= n; ++r) {
        std::int32_t destino = mapa[static_cast<std::size_t>(r)];
        if (destino == 0 || destino == r) continue;
        t.rotulos_[static_cast<std::size_t>(destino)] = std::move(t.rotulos_[static_cast<std::size_t>(r)]);
        for (std::size_t c = 1; c < t.colunas_.size(); ++c)
            t.colunas_[c]->Dados[static_cast<std::size_t>(destino)] = t.colunas_[c]->Dados[static_cast<std::size_t>(r)];
    }
    // Rows past the kept ones are cleared so a later append starts from nothing.
    for (std::int32_t r = novo + 1; r <= n; ++r) {
        t.rotulos_[static_cast<std::size_t>(r)].clear();
        for (std::size_t c = 1; c < t.colunas_.size(); ++c)
            t.colunas_[c]->Dados[static_cast<std::size_t>(r)] = 0;
    }
    std::erase_if(t.notas_, [&](const Nota& nota) {
        return nota.Linha >= 1 && nota.Linha <= n && mapa[static_cast<std::size_t>(nota.Linha)] == 0;
    });
    for (Nota& nota : t.notas_)
        if (nota.Linha >= 1 && nota.Linha <= n) nota.Linha = mapa[static_cast<std::size_t>(nota.Linha)];
    t.NumLinhas = novo;
    for (std::int32_t k = 1; k <= t.CapLinhas(); ++k)
        t.ordem_[static_cast<std::size_t>(k)] = k;
    t.OrdemDecrescente = false;
    t.ColunaOrdem = 0;
}

} // namespace dorvan
