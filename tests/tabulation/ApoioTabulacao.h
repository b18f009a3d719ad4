#pragma once
// A small tabulation setting for the run tests: CNV tables, a DEF and DBF files of
// death-like records, built in code; and the table written as text lines.
#include "ApoioDimensao.h"
#include "data/ArquivosDBFTeste.h"
#include "platform/Numeros.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "tabulation/ExecutaTabulacao.h"

#include <filesystem>

namespace dorvan::teste {

// SEXO C1, IDADE C3, CAUSA C4, UF C2, VALOR N7.2, DIAS N3
struct Reg {
    std::string sexo, idade, causa, uf, valor, dias;
    bool apagado = false;
};

inline std::string Ajusta(std::string s, std::size_t n, bool direita = false) {
    if (s.size() >= n) return s.substr(0, n);
    return direita ? std::string(n - s.size(), ' ') + s : s + std::string(n - s.size(), ' ');
}

inline std::string Zeros(int n, std::size_t largura) {
    std::string s = std::to_string(n);
    return s.size() >= largura ? s : std::string(largura - s.size(), '0') + s;
}

inline std::string MontaRegistros(const std::vector<Reg>& regs, bool semIdade = false) {
    std::vector<CampoBruto> campos{{"SEXO", 'C', 1}, {"IDADE", 'C', 3}, {"CAUSA", 'C', 4},
                                   {"UF", 'C', 2},   {"VALOR", 'N', 7, 2}, {"DIAS", 'N', 3}};
    if (semIdade) campos.erase(campos.begin() + 1);
    std::vector<std::string> linhas;
    for (const auto& r : regs) {
        std::string s = r.apagado ? "*" : " ";
        s += Ajusta(r.sexo, 1);
        if (!semIdade) s += Ajusta(r.idade, 3);
        s += Ajusta(r.causa, 4) + Ajusta(r.uf, 2) + Ajusta(r.valor, 7, true) + Ajusta(r.dias, 3, true);
        linhas.push_back(s);
    }
    return MontaDBF(campos, linhas);
}

// The records of file A: see the expected tables in the tests.
inline std::vector<Reg> RegistrosA() {
    return {
        {"1", "025", "A010", "35", "10.50", "2"}, {"2", "070", "A050", "35", "5.25", "1"},
        {"1", "010", "B000", "33", "-1.00", "4"}, {"3", "030", "C999", "33", "2.00", "0"},
        {"1", "025", "A010", "35", "100.00", "10", true}, {"2", "050", "D123", "35", "1.25", "3"},
    };
}

class TabulacaoTeste : public DimensaoTeste {
protected:
    void SetUp() override {
        DimensaoTeste::SetUp();
        std::filesystem::create_directories(pasta.Caminho() / "dados");
        GravaCnv("SEXO.CNV", {"2 1", LinhaCNV("", "1", "Masculino", "1"), LinhaCNV("", "2", "Feminino", "2")});
        GravaCnv("FAIXA.CNV", {"3 3 L", LinhaCNV("", "1", "0-19", "000-019"), LinhaCNV("", "2", "20-59", "020-059"),
                               LinhaCNV("", "3", "60+", "060-120")});
        GravaCnv("CAUSA.CNV", {"2 4 L", LinhaCNV("", "1", "Grupo A", "A000-A099"), LinhaCNV("", "2", "B000", "B000")});
        GravaCnv("UF.CNV", {"2 2", LinhaCNV("", "1", "33 Rio de Janeiro", "33"), LinhaCNV("", "2", "35 Sao Paulo", "35")});
        GravaCnv("FAIXAV.CNV", {"6 3 L", LinhaCNV("", "1", "Todas", "997"), LinhaCNV("  1", "2", "Jovens", "998"),
                                LinhaCNV("  2", "3", "0-19", "000-019"), LinhaCNV("  1", "4", "20-59", "020-059"),
                                LinhaCNV(" -1", "5", "60+", "060-120"), LinhaCNV("  9", "6", "Erro", "121-130")});
        GravaDef({";Obitos de teste", "LSexo,SEXO,SEXO.CNV", "TFaixa etaria,IDADE,FAIXA.CNV", "LCausa,CAUSA,CAUSA.CNV",
                  "XUF,UF,UF.CNV", "LFaixa com total,IDADE,FAIXAV.CNV", "SSexo,SEXO,SEXO.CNV",
                  "SFaixa etaria,IDADE,FAIXA.CNV", "IValor,VALOR", "IDias,DIAS", "Adados/*.*",
                  "RFonte: teste"});
        DirMapas = "/mapas";
        t.Titulo1 = "velho";
        t.Rodape = "velho";
    }
    void TearDown() override {
        DirMapas.clear();
        DimensaoTeste::TearDown();
    }

    void GravaDef(const std::vector<std::string>& linhas) {
        std::string s;
        for (const auto& l : linhas) s += l + "\r\n";
        arquivoDef = pasta.Grava("obitos.def", s);
        def.UltimoDEF.clear();
        ASSERT_TRUE(LeDEF(def, arquivoDef));
        op.Legenda = arquivoDef;
    }

    std::string GravaDados(const std::string& nome, const std::vector<Reg>& regs, bool semIdade = false) {
        return pasta.Grava("dados/" + nome, MontaRegistros(regs, semIdade));
    }

    int Item(const std::vector<std::string>& lista, const std::string& titulo) {
        for (std::size_t i = 0; i < lista.size(); ++i)
            if (TiraBrancosDir(lista[i].substr(0, 19)) == titulo) return static_cast<int>(i);
        ADD_FAILURE() << "sem item " << titulo;
        return -1;
    }

    // Activates a selection and marks the categories given (1-based).
    void Seleciona(const std::string& titulo, const std::vector<int>& marcas) {
        int pos = dorvan::Seleciona(def, Item(def.ListInicial, titulo));
        ASSERT_GE(pos, 0);
        for (int k : marcas) def.Selecao(pos).Marcadas[static_cast<std::size_t>(k - 1)] = 1;
    }

    ResultadoTabulacao Roda(Progresso& p = SemProgresso()) { return ExecutaTabulacao(def, op, t, log, ui, p); }

    // "label;v1;v2..." for each row, then "Total;t1;t2...", with the titles first.
    std::vector<std::string> Linhas() const {
        std::vector<std::string> r;
        std::string cab = t.NomeColuna(0);
        for (int c = 1; c <= t.NumColunas(); ++c) cab += ";" + t.NomeColuna(c);
        r.push_back(cab);
        for (int k = 1; k <= t.NumLinhas; ++k) {
            std::string s = t.Rotulo(t.Ordem(k));
            for (int c = 1; c <= t.NumColunas(); ++c) s += ";" + NumeroCurto(t.Dado(c, t.Ordem(k)));
            r.push_back(s);
        }
        std::string tot = "Total";
        for (int c = 1; c <= t.NumColunas(); ++c) tot += ";" + NumeroCurto(t.Coluna(c).Total);
        r.push_back(tot);
        return r;
    }

    // The log without the elapsed time, which no test can fix.
    std::vector<std::string> LogSemTempo() const {
        std::vector<std::string> r;
        for (const auto& l : log.Linhas())
            if (!l.starts_with("Tempo_Decorrido= ")) r.push_back(l);
        return r;
    }

    std::string arquivoDef;
    DefTabulacao def;
    OpcoesTabulacao op;
    TabelaResultados t;
    LogExecucao log;
    InterfaceTabulacao ui;
};

} // namespace dorvan::teste
