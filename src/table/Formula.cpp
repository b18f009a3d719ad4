#include "table/Formula.h"

#include "data/UConvert.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"
#include "table/OperacoesColunas.h"
#include "table/Utilidades.h"

#include <algorithm>
#include <cmath>

namespace dorvan {

namespace {

bool EhOperador(std::string_view s) { return s == "+" || s == "-" || s == "*" || s == "/" || s == "^"; }
bool EhFuncao(std::string_view s) { return s == "LN" || s == "EXP"; }

// Binding level of an operator or function: + - 4, * / 5, ^ LN EXP 6.
int Nivel(std::string_view s) {
    if (s == "+" || s == "-") return 4;
    if (s == "*" || s == "/") return 5;
    return 6;
}

// A constant with '.' or ',' as decimal mark: the later of the first '.' and the
// first ',' is the mark, the other character groups thousands. Rewritten in the
// typed form (',' the mark, '.' grouping) it reads as a typed number does.
bool LeConstante(const std::string& palavra, double& valor, std::int32_t& decimais) {
    const auto ponto = palavra.find('.');
    const auto virgula = palavra.find(',');
    if (ponto == std::string::npos || (virgula != std::string::npos && virgula > ponto))
        return LeNumeroDigitado(palavra, valor, decimais);
    std::string digitada;
    for (char ch : palavra)
        if (ch != ',') digitada += ch == '.' ? ',' : ch;
    return LeNumeroDigitado(digitada, valor, decimais);
}

// "C" followed by nothing but digits: the column number (huge ones held just past MaxColunas).
std::optional<std::int32_t> ReferenciaColuna(const std::string& palavra) {
    if (palavra.size() < 2 || palavra[0] != 'C') return std::nullopt;
    std::int64_t n = 0;
    for (std::size_t i = 1; i < palavra.size(); ++i) {
        char ch = palavra[i];
        if (ch < '0' || ch > '9') return std::nullopt;
        n = std::min<std::int64_t>(n * 10 + (ch - '0'), MaxColunas + 1);
    }
    return static_cast<std::int32_t>(n);
}

PassoFormula::Tipo TipoDoOperador(std::string_view s) {
    using T = PassoFormula::Tipo;
    if (s == "+") return T::Soma;
    if (s == "-") return T::Subtracao;
    if (s == "*") return T::Produto;
    if (s == "/") return T::Divisao;
    if (s == "^") return T::Potencia;
    if (s == "LN") return T::Ln;
    return T::Exp;
}

} // namespace

std::optional<std::string> PosFixa(std::string_view expressao) {
    // Blanks around every operator, so the tokens are blank-separated words. A '-'
    // after a blank belongs to the number or name that follows ("2 * -3").
    std::string espacado;
    for (char ch : expressao) {
        switch (ch) {
        case '(':
        case ')':
        case '*':
        case '+':
        case '/':
        case '^':
            espacado += ' ';
            espacado += ch;
            espacado += ' ';
            break;
        case '-':
            if (!espacado.empty() && espacado.back() == ' ')
                espacado += '-';
            else
                espacado += " - ";
            break;
        default:
            espacado += static_cast<char>(TabMaiuscula[static_cast<unsigned char>(ch)]);
        }
    }

    std::string saida;
    std::vector<std::string> pilha;
    auto emite = [&](const std::string& palavra) {
        saida += palavra;
        saida += ' ';
    };
    for (const std::string& palavra : Palavras(espacado)) {
        if (palavra == "(") {
            pilha.push_back(palavra);
        } else if (palavra == ")") {
            for (;;) {
                if (pilha.empty()) return std::nullopt;
                std::string topo = std::move(pilha.back());
                pilha.pop_back();
                if (topo == "(") break;
                emite(topo);
            }
        } else if (EhOperador(palavra) || EhFuncao(palavra)) {
            const int nivel = Nivel(palavra);
            while (!pilha.empty() && pilha.back() != "(" && Nivel(pilha.back()) >= nivel &&
                   !(nivel == 6 && Nivel(pilha.back()) == 6)) {
                emite(pilha.back());
                pilha.pop_back();
            }
            pilha.push_back(palavra);
        } else {
            emite(palavra);
        }
    }
    while (!pilha.empty()) {
        emite(pilha.back());
        pilha.pop_back();
    }
    return saida;
}

bool ValidaExpressao(const TabelaResultados& t, std::int32_t numColunas, const std::string& posfixa,
                     std::int32_t& decimais, std::string& nova, Formula& formula) {
    using T = PassoFormula::Tipo;
    numColunas = std::clamp(numColunas, 0, t.NumColunas());
    decimais = 0;
    nova.clear();
    formula.clear();
    std::vector<std::string> titulos(static_cast<std::size_t>(numColunas) + 1);
    for (std::int32_t c = 1; c <= numColunas; ++c)
        titulos[static_cast<std::size_t>(c)] = Converte(TabMaiuscula, t.NomeColuna(c));

    for (const std::string& bruta : Palavras(posfixa)) {
        const std::string palavra = Converte(TabMaiuscula, bruta);
        PassoFormula passo;
        std::string reescrita = palavra;
        if (EhOperador(palavra) || EhFuncao(palavra)) {
            passo.tipo = TipoDoOperador(palavra);
        } else {
            std::int32_t coluna = 0;
            for (std::int32_t c = 1; c <= numColunas && coluna == 0; ++c)
                if (titulos[static_cast<std::size_t>(c)] == palavra) coluna = c;
            if (coluna == 0) {
                auto ref = ReferenciaColuna(palavra);
                if (ref && *ref >= 1 && *ref <= numColunas) coluna = *ref;
            }
            double valor = 0;
            std::int32_t casas = 0;
            if (coluna > 0) {
                passo.tipo = T::Coluna;
                passo.coluna = coluna;
                reescrita = "C" + std::to_string(coluna);
                decimais = std::max(decimais, t.Coluna(coluna).Decimais);
            } else if (LeConstante(palavra, valor, casas)) {
                passo.tipo = T::Constante;
                passo.valor = valor;
                decimais = std::max(decimais, casas);
            } else {
                MensagensAtuais().Mostra(bruta + " n\xE3o identificado");
                return false;
            }
        }
        formula.push_back(passo);
        nova += reescrita;
        nova += ' ';
    }

    // Every operator must find its operands and exactly one value must remain, so
    // that evaluation never reads an empty stack or drops a value silently.
    std::int32_t pilha = 0;
    for (const PassoFormula& passo : formula) {
        switch (passo.tipo) {
        case T::Constante:
        case T::Coluna:
            ++pilha;
            break;
        case T::Ln:
        case T::Exp:
            if (pilha < 1) {
                MensagensAtuais().Mostra(std::string("Fun\xE7\xE3o ") + (passo.tipo == T::Ln ? "LN" : "EXP") +
                                         " necessita de um operando!");
                return false;
            }
            break;
        default: {
            if (pilha < 2) {
                static const char simbolos[] = {'+', '-', '*', '/', '^'};
                const char s = simbolos[static_cast<int>(passo.tipo) - static_cast<int>(T::Soma)];
                MensagensAtuais().Mostra(std::string("Opera\xE7\xE3o ") + s + " necessita de dois operandos!");
                return false;
            }
            --pilha;
        }
        }
    }
    if (pilha == 0) {
        MensagensAtuais().Mostra("Express\xE3o vazia");
        return false;
    }
    if (pilha > 1) {
        MensagensAtuais().Mostra("Falta operador na express\xE3o");
        return false;
    }
    return true;
}

double AvaliaFormula(const Formula& formula, const std::function<double(std::int32_t)>& valor) {
    using T = PassoFormula::Tipo;
    std::vector<double> pilha;
    pilha.reserve(formula.size());
    auto tira = [&]() {
        if (pilha.empty()) return 0.0;
        double v = pilha.back();
        pilha.pop_back();
        return v;
    };
    for (const PassoFormula& passo : formula) {
        switch (passo.tipo) {
        case T::Constante:
            pilha.push_back(passo.valor);
            break;
        case T::Coluna:
            pilha.push_back(valor(passo.coluna));
            break;
        case T::Ln: {
            double v = tira();
            pilha.push_back(v > 0 ? std::log(v) : 0.0);
            break;
        }
        case T::Exp:
            pilha.push_back(std::exp(tira()));
            break;
        default: {
            const double y = tira();
            const double x = tira();
            double r = 0;
            switch (passo.tipo) {
            case T::Soma:
                r = x + y;
                break;
            case T::Subtracao:
                r = x - y;
                break;
            case T::Produto:
                r = x * y;
                break;
            case T::Divisao:
                r = y == 0 ? 0.0 : x / y;
                break;
            case T::Potencia:
                r = Potencia(y, x);
                break;
            default:
                break;
            }
            pilha.push_back(r);
        }
        }
    }
    const double r = pilha.empty() ? 0.0 : pilha.back();
    return std::isfinite(r) ? r : 0.0;
}

bool ColunaDeExpressao(TabelaResultados& t, std::string_view expressao) {
    auto posfixa = PosFixa(expressao);
    if (!posfixa) {
        MensagensAtuais().Mostra(") n\xE3o identificado");
        return false;
    }
    const std::int32_t antes = t.NumColunas();
    std::int32_t decimais = 0;
    std::string nova;
    Formula formula;
    if (!ValidaExpressao(t, antes, *posfixa, decimais, nova, formula)) return false;
    if (!AcrescentaColuna(t, expressao, decimais)) return false;
    ColunaResultados& col = t.Coluna(t.NumColunas());
    std::vector<const ColunaResultados*> colunas(static_cast<std::size_t>(antes) + 1, nullptr);
    for (std::int32_t c = 1; c <= antes; ++c)
        colunas[static_cast<std::size_t>(c)] = &t.Coluna(c);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const auto i = static_cast<std::size_t>(r);
        col.Dados[i] =
            AvaliaFormula(formula, [&](std::int32_t n) { return colunas[static_cast<std::size_t>(n)]->Dados[i]; });
    }
    col.Total = AvaliaFormula(formula, [&](std::int32_t n) { return colunas[static_cast<std::size_t>(n)]->Total; });
    t.Modificada = true;
    return true;
}

bool NovaColuna(TabelaResultados& t, std::string_view resposta) {
    std::string titulo;
    std::string_view expressao = resposta;
    if (auto igual = resposta.find('='); igual != std::string_view::npos) {
        std::string_view antes = resposta.substr(0, igual);
        titulo = TiraBrancos(antes, EEspaco);
        expressao = resposta.substr(igual + 1);
    }
    if (!ColunaDeExpressao(t, expressao)) return false;
    ColunaResultados& col = t.Coluna(t.NumColunas());
    col.TipoTotal = TipoTotal::PreCalculado;
    if (!titulo.empty()) t.DefineNomeColuna(t.NumColunas(), titulo);
    return true;
}

} // namespace dorvan
