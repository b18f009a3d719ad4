// An independent check of the run: a brute-force tabulator written with plain loops
// over the generated records (its own idea of the tables, nothing of the run's code)
// against the run's table, cell by cell, for many random choices over DBF and DBC
// files and one or several threads.
#include "ApoioTabulacao.h"
#include "data/Ucomprim.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

namespace dorvan::teste {
namespace {

// A record with its numbers kept apart, so the brute force never reads text as a number.
struct Amostra {
    Reg reg;
    double valor = 0; // VALOR (multiples of 0.25: sums stay exact in any order)
    double dias = 0;  // DIAS
};

// What the brute force knows of a table: how many categories, their labels, how a
// code is classified (N+1 = unclassified), the roll-up values and whether codes
// can be listed one by one (key tables).
struct Tabela {
    std::string titulo;
    std::vector<std::string> rotulos; // [k-1] = label of k
    std::function<int(const Amostra&)> categoria;
    std::vector<int> valores; // [k-1]
    bool chave = false;
    std::function<std::string(const Amostra&)> codigo; // the whole field text
    int N() const { return static_cast<int>(rotulos.size()); }
};

bool Entre(const std::string& c, const char* de, const char* ate) { return c >= de && c <= ate; }

std::map<std::string, Tabela> Tabelas() {
    std::map<std::string, Tabela> t;
    t["Sexo"] = {"Sexo",
                 {"Masculino", "Feminino"},
                 [](const Amostra& a) { return a.reg.sexo == "1"   ? 1
                                               : a.reg.sexo == "2" ? 2
                                                                   : 3; },
                 {0, 0},
                 false,
                 nullptr};
    auto faixa = [](const Amostra& a) {
        const std::string& c = a.reg.idade;
        return Entre(c, "000", "019") ? 1 : Entre(c, "020", "059") ? 2 : Entre(c, "060", "120") ? 3 : 4;
    };
    t["Faixa etaria"] = {
        "Faixa etaria", {"0-19", "20-59", "60+"}, faixa, {0, 0, 0}, true, [](const Amostra& a) { return a.reg.idade; }};
    t["Causa"] = {"Causa",
                  {"Grupo A", "B000"},
                  [](const Amostra& a) {
                      return Entre(a.reg.causa, "A000", "A099") ? 1 : a.reg.causa == "B000" ? 2 : 3;
                  },
                  {0, 0},
                  true,
                  [](const Amostra& a) { return a.reg.causa; }};
    t["UF"] = {"UF",
               {"33 Rio de Janeiro", "35 Sao Paulo"},
               [](const Amostra& a) { return a.reg.uf == "33"   ? 1
                                             : a.reg.uf == "35" ? 2
                                                                : 3; },
               {0, 0},
               false,
               nullptr};
    auto faixav = [](const Amostra& a) {
        const std::string& c = a.reg.idade;
        return c == "997"               ? 1
               : c == "998"             ? 2
               : Entre(c, "000", "019") ? 3
               : Entre(c, "020", "059") ? 4
               : Entre(c, "060", "120") ? 5
               : Entre(c, "121", "130") ? 6
                                        : 7;
    };
    t["Faixa com total"] = {"Faixa com total",
                            {"Todas", "Jovens", "0-19", "20-59", "60+", "Erro"},
                            faixav,
                            {0, 1, 2, 1, -1, 9},
                            true,
                            [](const Amostra& a) { return a.reg.idade; }};
    // A table of upper bounds on VALOR (a blank value reads as 0).
    t["Valor faixa"] = {"Valor faixa",
                        {"Ate zero", "Ate 100", "Ate 1000"},
                        [](const Amostra& a) {
                            return a.valor <= 0 ? 1 : a.valor <= 100 ? 2 : a.valor <= 1000 ? 3 : 4;
                        },
                        {0, 0, 0},
                        false,
                        nullptr};
    // A DBF table: key UF, label "<key> <NOME>", codes listed one by one like any key table.
    t["UF DBF"] = {"UF DBF",
                   {"33 Rio", "35 SP"},
                   [](const Amostra& a) { return a.reg.uf == "33"   ? 1
                                                 : a.reg.uf == "35" ? 2
                                                                    : 3; },
                   {0, 0},
                   true,
                   [](const Amostra& a) { return a.reg.uf; }};
    return t;
}

struct Escolha {
    std::string linha, coluna;            // coluna empty: "Não ativa"
    std::vector<std::string> incrementos; // "Freq", "Valor", "Dias"
    std::vector<std::pair<std::string, std::vector<int>>> selecoes;
    int modo = 0;
    bool supLinhas = false, supColunas = true;
};

// The table as lines "label;v1;v2...", titles first, totals last.
std::vector<std::string> ForcaBruta(const std::vector<std::vector<Amostra>>& arquivos, const Escolha& e,
                                    std::int64_t& lidos) {
    auto tabs = Tabelas();
    const Tabela& L = tabs.at(e.linha);
    const Tabela* C = e.coluna.empty() ? nullptr : &tabs.at(e.coluna);
    const int N = L.N();
    std::vector<std::string> titulos;
    if (C)
        titulos = C->rotulos;
    else if (e.incrementos.empty())
        titulos = {"Freq\xFC\xEAncia"};
    else
        for (const auto& i : e.incrementos)
            titulos.push_back(i == "Freq" ? "Freq\xFC\xEAncia" : i);
    const int ncol = static_cast<int>(titulos.size());
    // Rows: 1..N, then N+1 "Não classificados" (Incluir) or one row per new code.
    std::vector<std::vector<double>> cel(static_cast<std::size_t>(N) + 2, std::vector<double>(ncol + 2, 0.0));
    std::vector<std::string> novos;
    bool linhaNaoClass = false, colunaNaoClass = false;
    auto valorDe = [](const Amostra& a, const std::string& i) {
        return i == "Valor" ? a.valor : i == "Dias" ? a.dias : 1.0;
    };
    lidos = 0;
    for (const auto& arq : arquivos) {
        for (const auto& a : arq) {
            if (a.reg.apagado) continue;
            ++lidos;
            bool passa = true;
            for (const auto& [nome, marcas] : e.selecoes) {
                int k = tabs.at(nome).categoria(a);
                if (std::find(marcas.begin(), marcas.end(), k) == marcas.end()) passa = false;
            }
            if (!passa) continue;
            std::size_t r = static_cast<std::size_t>(L.categoria(a));
            if (static_cast<int>(r) > N) {
                if (e.modo == 1) {
                    linhaNaoClass = true;
                } else if (e.modo == 2 && L.chave) {
                    std::string cod = L.codigo(a);
                    auto it = std::find(novos.begin(), novos.end(), cod);
                    if (it == novos.end()) {
                        novos.push_back(cod);
                        cel.emplace_back(ncol + 2, 0.0);
                        it = novos.end() - 1;
                    }
                    r = static_cast<std::size_t>(N) + 2 + static_cast<std::size_t>(it - novos.begin());
                } else {
                    continue;
                }
            }
            std::size_t c = static_cast<std::size_t>(ncol);
            if (C) {
                c = static_cast<std::size_t>(C->categoria(a));
                if (static_cast<int>(c) > ncol) {
                    if (e.modo == 0) continue;
                    colunaNaoClass = true;
                    c = static_cast<std::size_t>(ncol) + 1;
                }
            }
            if (e.incrementos.empty())
                cel[r][c] += 1;
            else if (C || e.incrementos.size() == 1)
                cel[r][c] += valorDe(a, e.incrementos[0]);
            else
                for (std::size_t k = 0; k < e.incrementos.size(); ++k)
                    cel[r][k + 1] += valorDe(a, e.incrementos[k]);
        }
    }
    // The shown rows and columns.
    std::vector<std::string> rotulos(L.rotulos);
    std::vector<std::vector<double>> linhas;
    std::vector<int> valores(L.valores);
    std::vector<int> colunas;
    for (int c = 1; c <= ncol; ++c)
        colunas.push_back(c);
    if (colunaNaoClass) {
        colunas.push_back(ncol + 1);
        titulos.push_back("N\xE3o classificados");
    }
    auto pega = [&](const std::vector<double>& v) {
        std::vector<double> r;
        for (int c : colunas)
            r.push_back(v[static_cast<std::size_t>(c)]);
        return r;
    };
    for (int k = 1; k <= N; ++k)
        linhas.push_back(pega(cel[static_cast<std::size_t>(k)]));
    if (linhaNaoClass) {
        rotulos.push_back("N\xE3o classificados");
        linhas.push_back(pega(cel[static_cast<std::size_t>(N) + 1]));
    }
    for (std::size_t i = 0; i < novos.size(); ++i) {
        rotulos.push_back(novos[i]);
        linhas.push_back(pega(cel[static_cast<std::size_t>(N) + 2 + i]));
    }
    const std::size_t nl = linhas.size();
    // Totals: listed rows with a negative value stay out.
    std::vector<double> totais(titulos.size(), 0.0);
    for (std::size_t j = 0; j < titulos.size(); ++j)
        for (std::size_t k = 0; k < nl; ++k)
            if (k >= static_cast<std::size_t>(N) || valores[k] >= 0) totais[j] += linhas[k][j];
    if (C && e.supColunas) {
        for (std::size_t j = titulos.size(); j-- > 0;) {
            if (totais[j] != 0) continue;
            titulos.erase(titulos.begin() + static_cast<std::ptrdiff_t>(j));
            totais.erase(totais.begin() + static_cast<std::ptrdiff_t>(j));
            for (auto& l : linhas)
                l.erase(l.begin() + static_cast<std::ptrdiff_t>(j));
        }
    }
    for (int k = N; k >= 1; --k) {
        int alvo = valores[static_cast<std::size_t>(k) - 1];
        if (alvo <= 0 || alvo > N || alvo == k) continue;
        for (std::size_t j = 0; j < titulos.size(); ++j)
            linhas[static_cast<std::size_t>(alvo) - 1][j] += linhas[static_cast<std::size_t>(k) - 1][j];
    }
    if (C && titulos.size() > 1) {
        double tt = 0;
        for (double x : totais)
            tt += x;
        for (auto& l : linhas) {
            double s = 0;
            for (double x : l)
                s += x;
            l.push_back(s);
        }
        titulos.push_back("Total");
        totais.push_back(tt);
    }
    std::vector<std::string> r;
    std::string cab = L.titulo;
    for (const auto& ti : titulos)
        cab += ";" + ti;
    r.push_back(cab);
    for (std::size_t k = 0; k < nl; ++k) {
        if (e.supLinhas && std::all_of(linhas[k].begin(), linhas[k].end(), [](double x) { return x == 0; })) continue;
        std::string s = rotulos[k];
        for (double x : linhas[k])
            s += ";" + NumeroCurto(x);
        r.push_back(s);
    }
    std::string tot = "Total";
    for (double x : totais)
        tot += ";" + NumeroCurto(x);
    r.push_back(tot);
    return r;
}

std::vector<Amostra> Gera(std::mt19937& g, int n) {
    auto um = [&](std::initializer_list<const char*> v) {
        return std::string(*(v.begin() + std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(g)));
    };
    auto ate = [&](int m) { return std::uniform_int_distribution<int>(0, m)(g); };
    std::vector<Amostra> r;
    for (int i = 0; i < n; ++i) {
        Amostra a;
        a.reg.sexo = um({"1", "2", "1", "2", "9", " "});
        int idade = ate(140);
        a.reg.idade = idade > 135 ? um({"   ", "ABC", "997", "998", "12 "}) : Zeros(idade, 3);
        a.reg.causa = std::string(1, static_cast<char>('A' + ate(4))) + Zeros(ate(ate(1) ? 120 : 5), 3);
        a.reg.uf = um({"33", "35", "35", "31", " 3"});
        int q = ate(4000) - 400;
        a.valor = q / 4.0;
        std::string frac[4] = {"00", "25", "50", "75"};
        int aq = q < 0 ? -q : q;
        a.reg.valor = (q < 0 ? "-" : "") + std::to_string(aq / 4) + "." + frac[aq % 4];
        if (ate(30) == 0) {
            a.reg.valor.clear();
            a.valor = 0;
        }
        a.dias = ate(999);
        a.reg.dias = std::to_string(static_cast<int>(a.dias));
        a.reg.apagado = ate(19) == 0;
        r.push_back(a);
    }
    return r;
}

TEST_F(TabulacaoTeste, RandomChoicesMatchABruteForceCountCellByCell) {
    GravaCnv("VALORF.CNV", {"3 8 F", LinhaCNV("", "1", "Ate zero", "       0"),
                            LinhaCNV("", "2", "Ate 100", "     100"), LinhaCNV("", "3", "Ate 1000", "    1000")});
    pasta.Grava("UFTAB.DBF", MontaDBF({{"UF", 'C', 2}, {"NOME", 'C', 20}}, {"33Rio", "35SP", "33Repetido ignorado"}));
    GravaDef({";Obitos de teste", "LSexo,SEXO,SEXO.CNV", "TFaixa etaria,IDADE,FAIXA.CNV", "LCausa,CAUSA,CAUSA.CNV",
              "XUF,UF,UF.CNV", "LFaixa com total,IDADE,FAIXAV.CNV", "SSexo,SEXO,SEXO.CNV",
              "SFaixa etaria,IDADE,FAIXA.CNV", "TValor faixa,VALOR,1,VALORF.CNV", "XUF DBF,UF,NOME,UFTAB.DBF",
              "IValor,VALOR", "IDias,DIAS", "Adados/*.*"});
    std::mt19937 g(20261209);
    auto ate = [&](int m) { return std::uniform_int_distribution<int>(0, m)(g); };
    // Four files; each also as DBC.
    std::vector<std::vector<Amostra>> arquivos;
    std::vector<std::string> dbf, dbc;
    for (int f = 0; f < 4; ++f) {
        arquivos.push_back(Gera(g, 300 + 250 * f));
        std::vector<Reg> regs;
        for (const auto& a : arquivos.back())
            regs.push_back(a.reg);
        std::string nome = "R" + std::to_string(f);
        std::string caminho = GravaDados(nome + ".DBF", regs);
        ASSERT_TRUE(ComprimeDBF(caminho, pasta / ("dados/" + nome + ".DBC"), SemProgresso(), false).Ok());
        dbf.push_back(nome + ".DBF");
        dbc.push_back(nome + ".DBC");
    }
    const std::vector<std::string> linhasDisp{"Sexo",        "Faixa etaria", "Causa", "UF", "Faixa com total",
                                              "Valor faixa", "UF DBF"};
    const std::vector<std::string> colunasDisp{"", "Faixa etaria", "UF", "Valor faixa", "UF DBF"};
    for (int caso = 0; caso < 80; ++caso) {
        Escolha e;
        e.linha = linhasDisp[static_cast<std::size_t>(ate(static_cast<int>(linhasDisp.size()) - 1))];
        e.coluna = colunasDisp[static_cast<std::size_t>(ate(static_cast<int>(colunasDisp.size()) - 1))];
        e.modo = ate(2);
        e.supLinhas = ate(2) == 0;
        e.supColunas = ate(1) == 0;
        const std::vector<std::string> incrs{"Freq", "Valor", "Dias"};
        int nIncr = e.coluna.empty() ? ate(3) : ate(1);
        for (const auto& i : incrs)
            if (static_cast<int>(e.incrementos.size()) < nIncr && ate(1)) e.incrementos.push_back(i);
        while (!def.ListSelecao.empty())
            DeSeleciona(def, 0);
        for (const char* s : {"Sexo", "Faixa etaria", "UF DBF"}) {
            if (ate(2) != 0) continue;
            int n = std::string(s) == "Faixa etaria" ? 3 : 2;
            std::vector<int> marcas;
            for (int k = 1; k <= n; ++k)
                if (ate(2) != 0) marcas.push_back(k);
            if (marcas.empty()) marcas.push_back(1 + ate(n - 1));
            e.selecoes.push_back({s, marcas});
            Seleciona(s, marcas);
        }
        const bool comDbc = ate(1) == 0;
        const int primeiro = ate(2);
        const int ultimo = primeiro + ate(3 - primeiro);
        std::vector<std::vector<Amostra>> usados(arquivos.begin() + primeiro, arquivos.begin() + ultimo + 1);
        std::int64_t lidos = 0;
        const auto esperado = ForcaBruta(usados, e, lidos);

        op = {};
        op.Legenda = arquivoDef;
        op.Linha = Item(def.ListLinha, e.linha);
        op.Coluna = e.coluna.empty() ? 0 : Item(def.ListColunas, e.coluna);
        op.Incrementos.clear();
        for (const auto& i : e.incrementos)
            op.Incrementos.push_back(i == "Freq" ? 0 : Item(def.ListIncr, i));
        std::sort(op.Incrementos.begin(), op.Incrementos.end());
        op.ModoNaoClassificados = e.modo;
        op.SupLinhas = e.supLinhas;
        op.SupColunas = e.supColunas;
        for (int f = primeiro; f <= ultimo; ++f)
            op.Arquivos.push_back(comDbc ? dbc[static_cast<std::size_t>(f)] : dbf[static_cast<std::size_t>(f)]);
        for (int threads : {1, 3}) {
            op.Threads = threads;
            ResultadoTabulacao r = Roda();
            const std::string onde = "caso " + std::to_string(caso) + " linha " + e.linha + " coluna " + e.coluna +
                                     " modo " + std::to_string(e.modo) + " fios " + std::to_string(threads) +
                                     (comDbc ? " DBC" : " DBF");
            EXPECT_EQ(r.RegistrosLidos, lidos) << onde;
            if (esperado.size() == 2) {
                // Every row suppressed.
                EXPECT_EQ(r.Fim, FimTabulacao::Suprimida) << onde;
                continue;
            }
            EXPECT_EQ(r.Fim, FimTabulacao::Pronta) << onde;
            EXPECT_EQ(Linhas(), esperado) << onde;
        }
    }
}

} // namespace
} // namespace dorvan::teste
