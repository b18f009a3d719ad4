#include "table/OperacoesColunas.h"

#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "table/Estatisticas.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace dorvan {

const std::array<std::string, NumEscalas> EscalasIndicador = {
    " por 1", " por 10", " por 100", " por 1.000", " por 10.000", " por 100.000", " por 1.000.000",
};

const std::array<std::string, 4> NomesCriterios = {"Igual a", "Maior que", "Menor que", "Diferente de"};

namespace {

bool ColunaValida(const TabelaResultados& t, std::int32_t c) { return c >= 1 && c <= t.NumColunas(); }

bool TodasValidas(const TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    if (colunas.empty()) return false;
    return std::all_of(colunas.begin(), colunas.end(), [&](std::int32_t c) { return ColunaValida(t, c); });
}

// Overflowing products and the like never reach a cell.
double Finito(double v) { return std::isfinite(v) ? v : 0.0; }

double Quociente(double a, double b) { return b == 0 ? 0.0 : Finito(a / b); }

std::int32_t Comprimento(const std::string& s) { return static_cast<std::int32_t>(s.size()); }

// Width that shows both the total and the title.
std::int32_t LarguraPara(const ColunaResultados& col) {
    return std::max(LarguraValor(col.Decimais, col.Total), Comprimento(col.NomeColuna) + 1);
}

// Appends a column and returns it, or nullptr at the column limit.
ColunaResultados* Nova(TabelaResultados& t, std::string_view titulo, std::int32_t decimais) {
    if (!AcrescentaColuna(t, titulo, decimais)) return nullptr;
    return &t.Coluna(t.NumColunas());
}

// The last steps every new column shares: total, kind, width, and the table changed.
void Conclui(TabelaResultados& t, ColunaResultados& col, double total, TipoTotal tipo) {
    col.Total = Finito(total);
    col.TipoTotal = tipo;
    col.Largura = LarguraPara(col);
    t.Modificada = true;
}

double SomaDados(const TabelaResultados& t, const ColunaResultados& col) {
    double s = 0;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        s += col.Dados[static_cast<std::size_t>(r)];
    return Finito(s);
}

// A column computed from one other, row by row.
bool Derivada(TabelaResultados& t, std::int32_t a, const std::string& prefixo, std::int32_t decimais,
              const std::function<double(double)>& f) {
    if (!ColunaValida(t, a)) return false;
    const ColunaResultados& origem = t.Coluna(a);
    ColunaResultados* col = Nova(t, prefixo + origem.NomeColuna, decimais);
    if (!col) return false;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        col->Dados[static_cast<std::size_t>(r)] = Finito(f(origem.Dados[static_cast<std::size_t>(r)]));
    Conclui(t, *col, SomaDados(t, *col), TipoTotal::Soma);
    return true;
}

// A column computed from two others, row by row and over their totals.
bool DeDuas(TabelaResultados& t, std::int32_t a, std::int32_t b, std::string_view titulo, std::int32_t decimais,
            TipoTotal tipo, const std::function<double(double, double)>& f) {
    if (!ColunaValida(t, a) || !ColunaValida(t, b)) return false;
    const ColunaResultados& ca = t.Coluna(a);
    const ColunaResultados& cb = t.Coluna(b);
    ColunaResultados* col = Nova(t, titulo, decimais);
    if (!col) return false;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        auto i = static_cast<std::size_t>(r);
        col->Dados[i] = Finito(f(ca.Dados[i], cb.Dados[i]));
    }
    Conclui(t, *col, f(ca.Total, cb.Total), tipo);
    return true;
}

// The data row at display position k (1 = the top row of the grid, grid row 2).
std::int32_t LinhaNaPosicao(const TabelaResultados& t, std::int32_t k) { return LinhaReal(t, k + 1); }

// A column folding the marked columns row by row, from the first one's value on,
// with the decimals of the last marked column; nullptr when nothing was added.
ColunaResultados* Combina(TabelaResultados& t, const std::vector<std::int32_t>& colunas, std::string_view titulo,
                          double (*junta)(double acumulado, double valor)) {
    if (!TodasValidas(t, colunas)) return nullptr;
    std::vector<const ColunaResultados*> origens;
    for (std::int32_t c : colunas)
        origens.push_back(&t.Coluna(c));
    ColunaResultados* col = Nova(t, titulo, origens.back()->Decimais);
    if (!col) return nullptr;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        auto i = static_cast<std::size_t>(r);
        double m = origens.front()->Dados[i];
        for (std::size_t k = 1; k < origens.size(); ++k)
            m = junta(m, origens[k]->Dados[i]);
        col->Dados[i] = Finito(m);
    }
    return col;
}

} // namespace

// ---- input routines -----------------------------------------------------------

std::string EntraTexto(const std::string& pergunta, const std::string& padrao) {
    return MensagensAtuais().EntraTexto(pergunta, padrao);
}

bool LeNumeroDigitado(std::string_view resposta, double& valor, std::int32_t& decimais) {
    std::string s;
    for (char ch : resposta) {
        if (ch == ' ' || ch == '\t' || ch == '.') continue;
        s += ch == ',' ? '.' : ch;
    }
    auto lido = LeNumeroMaquina(s);
    if (!lido || !std::isfinite(*lido)) return false;
    std::int32_t d = 0;
    auto ponto = s.find('.');
    if (ponto != std::string::npos)
        for (std::size_t i = ponto + 1; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            ++d;
    valor = *lido;
    decimais = d;
    return true;
}

std::string NumeroParaDigitar(double valor) {
    std::string s = NumeroCurto(valor);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

bool EntraNumero(const std::string& pergunta, double& valor, std::int32_t& decimais) {
    std::string resposta;
    if (!MensagensAtuais().PerguntaNumero(pergunta, NumeroParaDigitar(valor), resposta)) return false;
    return LeNumeroDigitado(resposta, valor, decimais);
}

// ---- new columns ----------------------------------------------------------------

bool Divide(TabelaResultados& t, std::int32_t a, std::int32_t b) {
    if (!ColunaValida(t, a) || !ColunaValida(t, b)) return false;
    std::int32_t d = std::max({1, t.Coluna(a).Decimais, t.Coluna(b).Decimais});
    return DeDuas(t, a, b, "Quociente", d, TipoTotal::PreCalculado, Quociente);
}

bool Multiplica(TabelaResultados& t, std::int32_t a, std::int32_t b) {
    if (!ColunaValida(t, a) || !ColunaValida(t, b)) return false;
    std::int32_t d = std::max(t.Coluna(a).Decimais, t.Coluna(b).Decimais);
    return DeDuas(t, a, b, "Produto", d, TipoTotal::PreCalculado, [](double x, double y) { return x * y; });
}

bool Subtrai(TabelaResultados& t, std::int32_t a, std::int32_t b) {
    if (!ColunaValida(t, a) || !ColunaValida(t, b)) return false;
    std::int32_t d = std::max({1, t.Coluna(a).Decimais, t.Coluna(b).Decimais});
    return DeDuas(t, a, b,
                  "Diferen\xE7"
                  "a",
                  d, TipoTotal::Soma, [](double x, double y) { return x - y; });
}

bool SomaColunas(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    ColunaResultados* col = Combina(t, colunas, "Soma", [](double s, double v) { return s + v; });
    if (!col) return false;
    double total = 0;
    for (std::int32_t c : colunas)
        total += t.Coluna(c).Total;
    Conclui(t, *col, total, TipoTotal::Soma);
    return true;
}

// The first column's value is replaced only by a strictly smaller (larger) later one.
bool MinimoColunas(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    ColunaResultados* col = Combina(t, colunas, "Menor", [](double m, double v) { return v < m ? v : m; });
    if (!col) return false;
    Conclui(t, *col, SomaDados(t, *col), TipoTotal::Soma);
    return true;
}

bool MaximoColunas(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    ColunaResultados* col = Combina(t, colunas, "Maior", [](double m, double v) { return v > m ? v : m; });
    if (!col) return false;
    Conclui(t, *col, SomaDados(t, *col), TipoTotal::Soma);
    return true;
}

bool Percentagem(TabelaResultados& t, std::int32_t a) {
    if (!ColunaValida(t, a)) return false;
    const ColunaResultados& origem = t.Coluna(a);
    const double base = origem.Total;
    ColunaResultados* col = Nova(t, "%" + origem.NomeColuna, 2);
    if (!col) return false;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        auto i = static_cast<std::size_t>(r);
        col->Dados[i] = Quociente(origem.Dados[i], base) * 100;
    }
    // Against a zero total every share is 0, and so is their sum.
    Conclui(t, *col, base == 0 ? 0.0 : 100.0, TipoTotal::Soma);
    col->Largura = 8;
    return true;
}

bool Acumula(TabelaResultados& t, std::int32_t a) {
    if (!ColunaValida(t, a)) return false;
    const ColunaResultados& origem = t.Coluna(a);
    ColunaResultados* col = Nova(t, "A." + origem.NomeColuna, origem.Decimais);
    if (!col) return false;
    double s = 0;
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k) {
        auto i = static_cast<std::size_t>(LinhaNaPosicao(t, k));
        s += origem.Dados[i];
        col->Dados[i] = Finito(s);
    }
    Conclui(t, *col, origem.Total, TipoTotal::PreCalculado);
    return true;
}

bool Inteiro(TabelaResultados& t, std::int32_t a) {
    return Derivada(t, a, "Int.", 0, [](double v) { return std::trunc(v); });
}

bool Absoluto(TabelaResultados& t, std::int32_t a) {
    if (!ColunaValida(t, a)) return false;
    return Derivada(t, a, "Abs.", t.Coluna(a).Decimais, [](double v) { return std::fabs(v); });
}

bool Sequencia(TabelaResultados& t) {
    if (t.NumLinhas < 1) return false;
    ColunaResultados* col = Nova(t, "Seq\xFC\xEAncia", 0);
    if (!col) return false;
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
        col->Dados[static_cast<std::size_t>(LinhaNaPosicao(t, k))] = k;
    Conclui(t, *col, t.NumLinhas, TipoTotal::PreCalculado);
    col->Largura = LarguraInicial;
    return true;
}

std::int32_t Normaliza(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    if (!TodasValidas(t, colunas)) return 0;
    const std::int32_t n = t.NumLinhas;
    std::int32_t novas = 0;
    for (std::int32_t a : colunas) {
        const ColunaResultados& origem = t.Coluna(a);
        ColunaResultados* col = Nova(t, "Z" + origem.NomeColuna, 3);
        if (!col) break;
        const SomasColuna somas = SomasCentradas(t, origem);
        const double m = somas.media;
        // One row or a constant column has no spread: every score is 0.
        const double s = n > 1 ? std::sqrt(somas.quadrados / (n - 1)) : 0.0;
        for (std::int32_t r = 1; r <= n; ++r) {
            auto i = static_cast<std::size_t>(r);
            col->Dados[i] = Quociente(origem.Dados[i] - m, s);
        }
        Conclui(t, *col, 0.0, TipoTotal::Soma);
        col->Largura = std::max(8, Comprimento(col->NomeColuna));
        ++novas;
    }
    return novas;
}

std::string TituloIndicador(const TabelaResultados& t, std::int32_t numerador, std::int32_t denominador,
                            std::int32_t escala) {
    if (!ColunaValida(t, numerador) || !ColunaValida(t, denominador)) return {};
    escala = std::clamp(escala, 0, NumEscalas - 1);
    return t.NomeColuna(numerador) + "/" + t.NomeColuna(denominador) +
           EscalasIndicador[static_cast<std::size_t>(escala)];
}

bool Indicador(TabelaResultados& t, std::int32_t numerador, std::int32_t denominador, std::int32_t escala,
               std::int32_t decimais, std::string_view titulo) {
    if (escala < 0 || escala >= NumEscalas) return false;
    const double f = std::pow(10.0, escala);
    return DeDuas(t, numerador, denominador, titulo, std::max(decimais, 0), TipoTotal::PreCalculado,
                  [f](double num, double den) { return den == 0 ? 0.0 : f * num / den; });
}

// ---- column attributes ------------------------------------------------------------

void MultiplicaColunaPorFator(TabelaResultados& t, std::int32_t a, double f) {
    if (!ColunaValida(t, a)) return;
    ColunaResultados& col = t.Coluna(a);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        double& v = col.Dados[static_cast<std::size_t>(r)];
        v = Finito(v * f);
    }
    if (col.TipoTotal == TipoTotal::SemTotal || col.TipoTotal == TipoTotal::PreCalculado)
        col.Total = Finito(col.Total * f);
    else
        CalculaTotal(t, a);
    t.DefineNomeColuna(a, col.NomeColuna + "*" + NumeroCurtoLocal(f));
    col.Largura = LarguraPara(col);
    t.Modificada = true;
}

bool MultiplicaPorFator(TabelaResultados& t, std::int32_t a) {
    if (!ColunaValida(t, a)) return false;
    double f = 1;
    std::int32_t decimais = 0;
    if (!EntraNumero("multiplicar " + t.NomeColuna(a) + " por", f, decimais)) return false;
    MultiplicaColunaPorFator(t, a, f);
    return true;
}

void RecalculaTotais(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    for (std::int32_t c : colunas)
        if (ColunaValida(t, c)) CalculaTotal(t, c);
    t.Modificada = true;
}

bool DefineDecimais(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    if (!TodasValidas(t, colunas)) return false;
    double valor = t.Coluna(colunas.front()).Decimais;
    std::int32_t lidos = 0;
    if (!EntraNumero("N\xFAmero de decimais ", valor, lidos)) return false;
    const auto decimais = static_cast<std::int32_t>(std::clamp(std::round(valor), 0.0, 10.0));
    for (std::int32_t c : colunas) {
        ColunaResultados& col = t.Coluna(c);
        col.Decimais = decimais;
        col.Largura = LarguraPara(col);
    }
    t.Modificada = true;
    return true;
}

bool DefineLarguras(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    if (colunas.empty()) return false;
    for (std::int32_t c : colunas)
        if (c < 0 || c > t.NumColunas()) return false;
    double valor = t.Coluna(colunas.front()).Largura;
    std::int32_t lidos = 0;
    if (!EntraNumero("Nova Largura ", valor, lidos)) return false;
    for (std::int32_t c : colunas)
        DefineLargura(t, c, valor);
    return true;
}

void DefineLargura(TabelaResultados& t, std::int32_t c, double caracteres) {
    t.Coluna(c).Largura = static_cast<std::int32_t>(std::clamp(std::round(caracteres), 1.0, 100.0));
    t.Modificada = true;
}

void DefineTipoTotal(TabelaResultados& t, const std::vector<std::int32_t>& colunas, TipoTotal tipo) {
    for (std::int32_t c : colunas) {
        if (!ColunaValida(t, c)) continue;
        t.Coluna(c).TipoTotal = tipo;
        CalculaTotal(t, c);
    }
    t.Modificada = true;
}

bool EditaTituloColuna(TabelaResultados& t, std::int32_t c) {
    if (c < 0 || c > t.NumColunas()) return false;
    t.DefineNomeColuna(c, EntraTexto("Edite o titulo da Coluna", t.NomeColuna(c)));
    if (c > 0) t.Coluna(c).Largura = LarguraPara(t.Coluna(c));
    t.Modificada = true;
    return true;
}

void DefineCabecalho(TabelaResultados& t, Cabecalho qual, std::string_view texto) {
    std::string s(texto.substr(0, std::min(texto.size(), MaxCabecalho)));
    switch (qual) {
    case Cabecalho::Titulo1:
        t.Titulo1 = std::move(s);
        break;
    case Cabecalho::Titulo2:
        t.Titulo2 = std::move(s);
        break;
    case Cabecalho::Rodape:
        t.Rodape = std::move(s);
        break;
    }
    t.Modificada = true;
}

void AlternaMostraCodigo(TabelaResultados& t) {
    if (t.TamCodigo == SemCodigo) return;
    t.MostraCodigo = !t.MostraCodigo;
    t.Coluna(0).Largura += t.MostraCodigo ? t.TamCodigo + 1 : -(t.TamCodigo + 1);
}

std::string TextoMostrarChave(const TabelaResultados& t) {
    if (t.TamCodigo == SemCodigo) return {};
    return t.MostraCodigo ? "Esconder C&have" : "Mostrar C&have";
}

bool FixaComprimentoChave(TabelaResultados& t) {
    double valor = t.TamCodigo;
    std::int32_t decimais = 0;
    if (!EntraNumero("Comprimento da chave de compara\xE7\xE3o", valor, decimais)) return false;
    t.TamCodigo = static_cast<std::int32_t>(std::clamp(std::trunc(valor), 0.0, static_cast<double>(SemCodigo)));
    return true;
}

// ---- deleting, moving and ordering --------------------------------------------------

bool EliminaColunasMarcadas(TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    if (std::none_of(colunas.begin(), colunas.end(), [&](std::int32_t c) { return ColunaValida(t, c); })) return false;
    EliminaColunas(t, colunas);
    t.Modificada = true;
    return true;
}

bool MoveColunaPara(TabelaResultados& t, std::int32_t de, std::int32_t para) {
    if (!ColunaValida(t, de) || !ColunaValida(t, para)) return false;
    if (de == para) return true;
    MoveColuna(t, de, para);
    t.Modificada = true;
    return true;
}

void OrdenaTabela(TabelaResultados& t, std::int32_t c) {
    if (c < 0 || c > t.NumColunas()) return;
    if (c == t.ColunaOrdem) {
        t.OrdemDecrescente = !t.OrdemDecrescente;
    } else if (c > 0) {
        OrdenaIndice(t.Coluna(c).Dados, t.Ordem(), 1, t.NumLinhas);
        t.OrdemDecrescente = true;
    } else {
        for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
            t.Ordem(k) = k;
        t.OrdemDecrescente = false;
    }
    t.ColunaOrdem = c;
}

// ---- suppressing rows ---------------------------------------------------------------

ResultadoSupressao SuprimeLinhas(TabelaResultados& t, std::int32_t c, CriterioSupressao criterio, double x) {
    if (!ColunaValida(t, c)) return ResultadoSupressao::Cancelada;
    const std::int32_t antes = t.NumLinhas;
    const ColunaResultados& col = t.Coluna(c);
    std::vector<std::int32_t> mantidas;
    for (std::int32_t r = 1; r <= antes; ++r) {
        const double v = col.Dados[static_cast<std::size_t>(r)];
        bool sai = false;
        switch (criterio) {
        case CriterioSupressao::IgualA:
            sai = v == x;
            break;
        case CriterioSupressao::MaiorQue:
            sai = v > x;
            break;
        case CriterioSupressao::MenorQue:
            sai = v < x;
            break;
        case CriterioSupressao::DiferenteDe:
            sai = v != x;
            break;
        }
        if (!sai) mantidas.push_back(r);
    }
    MantemLinhas(t, mantidas);
    if (t.NumLinhas < antes) t.Modificada = true;
    if (t.NumLinhas == 0) return ResultadoSupressao::TabelaVazia;
    return ResultadoSupressao::Feita;
}

bool AgregaLinhasEliminadas(TabelaResultados& t, std::int32_t linhasAntes) {
    if (t.NumLinhas < 1 || t.NumLinhas >= linhasAntes) return false;
    if (!MensagensAtuais().SimOuNao("Aten\xE7\xE3o!", "Criar linha com o agregado das linhas eliminadas")) return false;
    std::string rotulo = EntraTexto("Entre com a descri\xE7\xE3o da linha", "Outras");
    // Rows were removed, so the storage has room for one more.
    const std::int32_t r = t.NumLinhas + 1;
    t.Rotulo(r) = std::move(rotulo);
    for (std::int32_t k = 1; k <= t.NumColunas(); ++k) {
        ColunaResultados& coluna = t.Coluna(k);
        double s = 0;
        for (std::int32_t i = 1; i < r; ++i)
            s += coluna.Dados[static_cast<std::size_t>(i)];
        coluna.Dados[static_cast<std::size_t>(r)] = Finito(coluna.Total - s);
    }
    t.Ordem(r) = r;
    t.NumLinhas = r;
    return true;
}

ResultadoSupressao SuprimeLinhasPergunta(TabelaResultados& t, std::int32_t c, CriterioSupressao criterio) {
    if (!ColunaValida(t, c)) return ResultadoSupressao::Cancelada;
    double x = 0;
    std::int32_t decimais = 0;
    if (!EntraNumero("Entre Valor para comparar com " + t.NomeColuna(c), x, decimais))
        return ResultadoSupressao::Cancelada;
    return SuprimeLinhas(t, c, criterio, x);
}

// ---- transposing ---------------------------------------------------------------------

bool Transpoe(TabelaResultados& t) {
    const std::int32_t linhas = t.NumLinhas;
    const std::int32_t colunas = t.NumColunas();
    if (linhas >= MaxColunas) {
        MensagensAtuais().Mostra("N\xFAmero de linhas do quadro excede o m\xE1ximo permitido de colunas: " +
                                 std::to_string(MaxColunas));
        return false;
    }
    if (linhas < 1 || colunas < 1) return false;
    std::int32_t decimais = 0;
    for (std::int32_t c = 1; c <= colunas; ++c)
        decimais = std::max(decimais, t.Coluna(c).Decimais);

    // The new table is built beside the old one, which stays whole until the swap.
    TabelaResultados n;
    n.AlocaLinhas(colunas, colunas);
    n.DefineNomeColuna(0, t.NomeColuna(0));
    std::int32_t larguraRotulos = Comprimento(n.NomeColuna(0));
    for (std::int32_t c = 1; c <= colunas; ++c) {
        n.Rotulo(c) = t.NomeColuna(c);
        larguraRotulos = std::max(larguraRotulos, Comprimento(n.Rotulo(c)));
    }
    n.Coluna(0).Largura = larguraRotulos;
    for (std::int32_t r = 1; r <= linhas; ++r) {
        ColunaResultados* col = Nova(n, t.Rotulo(r), decimais);
        for (std::int32_t c = 1; c <= colunas; ++c)
            col->Dados[static_cast<std::size_t>(c)] = t.Coluna(c).Dados[static_cast<std::size_t>(r)];
        col->Total = SomaDados(n, *col);
        col->Largura = LarguraPara(*col);
    }
    n.Titulo1 = t.Titulo1;
    n.Titulo2 = t.Titulo2;
    n.Rodape = t.Rodape;
    n.ArquivoAtual = t.ArquivoAtual;
    n.MostraCodigo = t.MostraCodigo;
    DetectaCodigo(n);
    if (n.TamCodigo != SemCodigo) n.MostraCodigo = true;
    n.ColunaMapa = n.NumColunas();
    n.Modificada = true;
    t = std::move(n);
    return true;
}

} // namespace dorvan
