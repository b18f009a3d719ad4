// End-to-end runs over small DBF and DBC files, against tables counted by hand.
#include "ApoioTabulacao.h"
#include "data/LeDBF32.h"
#include "data/Ucomprim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>
#include <string>

namespace dorvan::teste {
namespace {

using Linhas_ = std::vector<std::string>;

TEST_F(TabulacaoTeste, RowByColumnCountsWithTotalColumnTitlesAndExactLog) {
    GravaDados("A.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Coluna = Item(def.ListColunas, "Faixa etaria");
    op.Arquivos = {"A.DBF"};
    op.Threads = 1;
    ResultadoTabulacao r = Roda();
    EXPECT_EQ(r.Fim, FimTabulacao::Pronta);
    EXPECT_EQ(r.RegistrosLidos, 5);
    EXPECT_EQ(Linhas(), (Linhas_{"Sexo;0-19;20-59;60+;Total", "Masculino;1;1;0;2", "Feminino;0;1;1;2",
                                 "Total;1;2;1;4"}));
    EXPECT_EQ(t.Titulo1, "Obitos de teste");
    EXPECT_EQ(t.Titulo2, "Freq\xFC\xEAncia por Faixa etaria segundo Sexo");
    EXPECT_EQ(t.Rodape, "Fonte: teste");
    EXPECT_EQ(LogSemTempo(), (Linhas_{"[op\xE7\xF5" "es]", "DEF=" + arquivoDef, "Linha=Sexo", "Coluna=Faixa etaria",
                                      "Incremento=Freq\xFC\xEAncia", "[Arquivos]", "A.DBF", "Registros_Processados= 5"}));
    EXPECT_EQ(log.Linhas().back().substr(0, 17), "Tempo_Decorrido= ");
    EXPECT_TRUE(msgs.Textos().empty());
    EXPECT_EQ(t.Coluna(0).Largura, 9);
    EXPECT_EQ(t.TamCodigo, SemCodigo);
}

TEST_F(TabulacaoTeste, EachUnclassifiedModeForRows) {
    GravaDados("A.DBF", RegistrosA());
    struct Caso {
        const char* linha;
        int modo;
        Linhas_ esperado;
    };
    const Caso casos[] = {
        {"Sexo", 0, {"Sexo;Freq\xFC\xEAncia", "Masculino;2", "Feminino;2", "Total;4"}},
        {"Sexo", 1, {"Sexo;Freq\xFC\xEAncia", "Masculino;2", "Feminino;2", "N\xE3o classificados;1", "Total;5"}},
        // A direct table cannot list codes one by one: like Ignorar.
        {"Sexo", 2, {"Sexo;Freq\xFC\xEAncia", "Masculino;2", "Feminino;2", "Total;4"}},
        {"Causa", 2, {"Causa;Freq\xFC\xEAncia", "Grupo A;2", "B000;1", "C999;1", "D123;1", "Total;5"}},
        {"Causa", 0, {"Causa;Freq\xFC\xEAncia", "Grupo A;2", "B000;1", "Total;3"}},
    };
    for (const auto& c : casos) {
        op = {};
        op.Legenda = arquivoDef;
        op.Linha = Item(def.ListLinha, c.linha);
        op.Incrementos = {};
        op.Arquivos = {"A.DBF"};
        op.ModoNaoClassificados = c.modo;
        Roda();
        EXPECT_EQ(Linhas(), c.esperado) << c.linha << " " << c.modo;
    }
}

TEST_F(TabulacaoTeste, UnclassifiedColumnIsAddedUnderIncluir) {
    GravaDados("A.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Faixa etaria");
    op.Coluna = Item(def.ListColunas, "UF");
    op.Arquivos = {"A.DBF"};
    std::vector<Reg> regs = RegistrosA();
    regs.push_back({"1", "012", "A010", "99", "1", "1"});
    GravaDados("A.DBF", regs);
    op.ModoNaoClassificados = 0;
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"Faixa etaria;33 Rio de Janeiro;35 Sao Paulo;Total", "0-19;1;0;1",
                                 "20-59;1;2;3", "60+;0;1;1", "Total;2;3;5"}));
    for (int modo : {1, 2}) { // Discriminar lists unlisted columns like Incluir
        op.ModoNaoClassificados = modo;
        Roda();
        EXPECT_EQ(Linhas(), (Linhas_{"Faixa etaria;33 Rio de Janeiro;35 Sao Paulo;N\xE3o classificados;Total",
                                     "0-19;1;0;1;2", "20-59;1;2;0;3", "60+;0;1;0;1", "Total;2;3;1;6"}));
    }
}

TEST_F(TabulacaoTeste, SeveralIncrementsTakeTheirFieldsDecimals) {
    GravaDados("A.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Incrementos = {0, Item(def.ListIncr, "Valor"), Item(def.ListIncr, "Dias")};
    op.Arquivos = {"A.DBF"};
    def.ListIncr[0] += " (obitos)"; // as a "G" line leaves it: still the frequency
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia;Valor;Dias", "Masculino;2;9.5;6", "Feminino;2;6.5;4",
                                 "Total;4;16;10"}));
    EXPECT_EQ(t.Coluna(1).Decimais, 0);
    EXPECT_EQ(t.Coluna(2).Decimais, 2);
    EXPECT_EQ(t.Coluna(3).Decimais, 0);
    EXPECT_EQ(t.Titulo2, "Freq\xFC\xEAncia Valor Dias segundo Sexo");
    EXPECT_EQ(LogSemTempo()[3], "Incremento=Freq\xFC\xEAncia");
    EXPECT_EQ(LogSemTempo()[4], "Incremento=Valor");
}

TEST_F(TabulacaoTeste, ChecksStopTheRunWithTheirMessages) {
    GravaDados("A.DBF", RegistrosA());
    struct Caso {
        std::function<void(OpcoesTabulacao&)> muda;
        std::string mensagem;
    };
    const Caso casos[] = {
        {[](OpcoesTabulacao& o) { o.Arquivos.clear(); }, "Nenhum arquivo selecionado!"},
        {[](OpcoesTabulacao& o) { o.Linha = -1; }, "Linha n\xE3o Selecionada"},
        {[](OpcoesTabulacao& o) { o.Coluna = 1, o.Incrementos = {0, 1}; },
         "M\xFAltiplas colunas \xE9 incompat\xEDvel com m\xFAltiplos incrementos"},
        {[](OpcoesTabulacao& o) { o.Incrementos = std::vector<int>(256, 0); },
         "Numero de incrementos selecionados excede 255"},
    };
    for (const auto& c : casos) {
        op.Linha = 0;
        op.Coluna = 0;
        op.Incrementos = {0};
        op.Arquivos = {"A.DBF"};
        c.muda(op);
        msgs.Limpa();
        EXPECT_EQ(Roda().Fim, FimTabulacao::Verificacao);
        EXPECT_EQ(msgs.Textos(), Linhas_{c.mensagem});
    }
    op.Incrementos = {0};
    Seleciona("Sexo", {});
    msgs.Limpa();
    EXPECT_EQ(Roda().Fim, FimTabulacao::Verificacao);
    EXPECT_EQ(msgs.Textos(), Linhas_{"Nenhuma categoria selecionada em Sexo" + std::string(14, ' ')});
}

TEST_F(TabulacaoTeste, NegativeValuesStayOutOfTotalsAndRollUpsChain) {
    GravaDados("A.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Faixa com total");
    op.Arquivos = {"A.DBF"};
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"Faixa com total;Freq\xFC\xEAncia", "Todas;4", "Jovens;1", "0-19;1", "20-59;3",
                                 "60+;1", "Erro;0", "Total;4"}));
    EXPECT_NE(std::find(log.Linhas().begin(), log.Linhas().end(), "Linha 6: subtotal na linha 9 ignorado"),
              log.Linhas().end());
}

TEST_F(TabulacaoTeste, SelectionsCombineWithAndAndAreLogged) {
    GravaDados("A.DBF", RegistrosA());
    Seleciona("Sexo", {2});
    Seleciona("Faixa etaria", {2, 3});
    op.Linha = Item(def.ListLinha, "UF");
    op.Arquivos = {"A.DBF"};
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"UF;Freq\xFC\xEAncia", "33 Rio de Janeiro;0", "35 Sao Paulo;2", "Total;2"}));
    EXPECT_EQ(t.TamCodigo, 2);
    EXPECT_TRUE(t.MostraCodigo);
    EXPECT_EQ(t.NomeMapa, "/mapas/brasil.map");
    Linhas_ l = LogSemTempo();
    EXPECT_EQ(Linhas_(l.begin() + 4, l.begin() + 8),
              (Linhas_{"[Sele\xE7\xF5" "es_ativas]", "Sexo: Feminino", "Faixa etaria: 20-59,60+", "[Arquivos]"}));
}

TEST_F(TabulacaoTeste, LongSelectionLogLinesWrapWithFourBlanks) {
    std::vector<std::string> cnv{"30 2"};
    for (int k = 1; k <= 30; ++k)
        cnv.push_back(LinhaCNV("", std::to_string(k), "Categoria " + std::to_string(k), (k < 10 ? "0" : "") + std::to_string(k)));
    GravaCnv("MUITAS.CNV", cnv);
    GravaDef({"LSexo,SEXO,SEXO.CNV", "SMuitas,UF,MUITAS.CNV", "Adados/*.*"});
    GravaDados("A.DBF", RegistrosA());
    std::vector<int> todas;
    for (int k = 1; k <= 30; ++k) todas.push_back(k);
    Seleciona("Muitas", todas);
    op.Linha = 0;
    op.Arquivos = {"A.DBF"};
    Roda();
    Linhas_ l = LogSemTempo();
    auto it = std::find(l.begin(), l.end(), "[Sele\xE7\xF5" "es_ativas]");
    ASSERT_NE(it, l.end());
    EXPECT_EQ(*(it + 1), "Muitas: Categoria 1,Categoria 2,Categoria 3,Categoria 4,Categoria 5,Categoria 6,");
    EXPECT_EQ((it + 2)->substr(0, 17), "    Categoria 7,C");
    for (auto j = it + 1; *j != "[Arquivos]"; ++j) EXPECT_LE(j->size(), 81u);
}

TEST_F(TabulacaoTeste, SuppressionFlagsAndAFreshRunAfterAllRowsWentAway) {
    GravaDados("A.DBF", RegistrosA());
    Seleciona("Sexo", {1});
    Seleciona("Faixa etaria", {3}); // no man of 60 or more
    op.Linha = Item(def.ListLinha, "UF");
    op.Coluna = Item(def.ListColunas, "Faixa etaria");
    op.Arquivos = {"A.DBF"};
    op.SupLinhas = true;
    EXPECT_EQ(Roda().Fim, FimTabulacao::Suprimida);
    EXPECT_EQ(t.NumColunas(), 0);
    EXPECT_EQ(t.NumLinhas, 0);
    EXPECT_EQ(msgs.Textos(), Linhas_{"Todas as linhas foram suprimidas por conter zeros!"});
    EXPECT_NE(std::find(log.Linhas().begin(), log.Linhas().end(), "NENHUM REGISTRO SELECIONADO"), log.Linhas().end());
    // The same dialog, another choice: nothing of the first run is left over.
    DeSeleciona(def, 1);
    DeSeleciona(def, 0);
    op.SupLinhas = false;
    EXPECT_EQ(Roda().Fim, FimTabulacao::Pronta);
    EXPECT_EQ(Linhas(), (Linhas_{"UF;0-19;20-59;60+;Total", "33 Rio de Janeiro;1;1;0;2", "35 Sao Paulo;0;2;1;3",
                                 "Total;1;3;1;5"}));
    // Without "Sup colunas zeradas" an empty column stays.
    Seleciona("Sexo", {1});
    op.SupColunas = false;
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"UF;0-19;20-59;60+;Total", "33 Rio de Janeiro;1;0;0;1", "35 Sao Paulo;0;1;0;1",
                                 "Total;1;1;0;2"}));
}

TEST_F(TabulacaoTeste, DbcGivesTheSameTableAsItsDbf) {
    std::vector<Reg> regs;
    for (int i = 0; i < 3000; ++i) {
        auto a = RegistrosA()[static_cast<std::size_t>(i % 6)];
        a.idade = Zeros(i % 121, 3);
        regs.push_back(a);
    }
    std::string dbf = GravaDados("G.DBF", regs);
    ASSERT_TRUE(ComprimeDBF(dbf, pasta / "dados/G.DBC", SemProgresso(), false).Ok());
    op.Linha = Item(def.ListLinha, "Faixa etaria");
    op.Coluna = Item(def.ListColunas, "UF");
    op.Incrementos = {Item(def.ListIncr, "Valor")};
    op.TestaCRC = true;
    op.Arquivos = {"G.DBF"};
    Roda();
    Linhas_ deDbf = Linhas();
    op.Arquivos = {"G.DBC"};
    ResultadoTabulacao r = Roda();
    EXPECT_EQ(r.RegistrosLidos, 2500);
    EXPECT_EQ(Linhas(), deDbf);
    // And the DBF the DBC expands to.
    ASSERT_TRUE(ExpandeDBC(pasta / "dados/G.DBC", pasta / "dados/E.DBF", SemProgresso(), false).Ok());
    op.Arquivos = {"E.DBF"};
    Roda();
    EXPECT_EQ(Linhas(), deDbf);
    EXPECT_EQ(t.Coluna(1).Decimais, 2);
}

TEST_F(TabulacaoTeste, DamagedDbcStopsTheRunWithTheCrcLine) {
    std::string dbf = GravaDados("G.DBF", RegistrosA());
    ASSERT_TRUE(ComprimeDBF(dbf, pasta / "dados/G.DBC", SemProgresso(), false).Ok());
    std::string b = pasta.Le("dados/G.DBC");
    b[b.size() - 3] ^= 0x55;
    pasta.Grava("dados/G.DBC", b);
    pasta.Grava("dados/H.DBF", MontaRegistros(RegistrosA()));
    op.Linha = 0;
    op.TestaCRC = true;
    op.Arquivos = {"G.DBC", "H.DBF"};
    ResultadoTabulacao r = Roda();
    EXPECT_TRUE(r.Cancelada);
    Linhas_ l = LogSemTempo();
    EXPECT_NE(std::find(l.begin(), l.end(), "*** Erro de CRC no arquivo G.DBC ***"), l.end());
    EXPECT_EQ(std::find(l.begin(), l.end(), "H.DBF"), l.end());
    EXPECT_EQ(l.back(), "TABULA\xC7\xC3O CANCELADA");
    EXPECT_EQ(msgs.Textos().back(), "Tabula\xE7\xE3o cancelada");
}

TEST_F(TabulacaoTeste, ADbcFailingItsCrcLeavesNothingInTheTableAndTheUserIsToldWhatItHolds) {
    std::vector<Reg> regs;
    for (int i = 0; i < 3000; ++i)
        regs.push_back(RegistrosA()[static_cast<std::size_t>(i % 6)]);
    std::string dbf = GravaDados("G.DBF", regs);
    ASSERT_TRUE(ComprimeDBF(dbf, pasta / "dados/G.DBC", SemProgresso(), false).Ok());
    std::filesystem::remove(dbf);
    std::string b = pasta.Le("dados/G.DBC");
    b[b.size() - 3] ^= 0x55;
    pasta.Grava("dados/G.DBC", b);
    GravaDados("A.DBF", RegistrosA());
    GravaDados("B.DBF", RegistrosA());
    GravaDados("H.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.TestaCRC = true;
    op.Arquivos = {"A.DBF", "B.DBF", "G.DBC", "H.DBF"};
    const std::string aviso = "Os registros de G.DBC ficaram fora da tabela, que cont\xE9m apenas os arquivos lidos "
                              "por inteiro: A.DBF, B.DBF";
    for (int threads : {1, 3}) {
        op.Threads = threads;
        msgs.Limpa();
        ResultadoTabulacao r = Roda();
        EXPECT_EQ(r.Fim, FimTabulacao::Pronta);
        EXPECT_TRUE(r.Cancelada);
        EXPECT_EQ(r.RegistrosLidos, 10) << threads;
        EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia", "Masculino;4", "Feminino;4", "Total;8"})) << threads;
        // After the codec's own messages about the damage.
        const Linhas_ m = msgs.Textos();
        ASSERT_GE(m.size(), 2u);
        EXPECT_EQ(Linhas_(m.end() - 2, m.end()), (Linhas_{aviso, "Tabula\xE7\xE3o cancelada"})) << threads;
        Linhas_ l = LogSemTempo();
        auto crc = std::find(l.begin(), l.end(), "*** Erro de CRC no arquivo G.DBC ***");
        ASSERT_NE(crc, l.end());
        EXPECT_EQ(*(crc + 1), aviso);
        EXPECT_EQ(std::find(l.begin(), l.end(), "Registros_Processados= 10"), crc + 2);
    }
    // The first file broken: no file is in the table.
    op.Arquivos = {"G.DBC", "A.DBF"};
    msgs.Limpa();
    Roda();
    const Linhas_ m = msgs.Textos();
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(m[m.size() - 2], "Os registros de G.DBC ficaram fora da tabela; nenhum arquivo foi lido por inteiro");
}

TEST_F(TabulacaoTeste, ListFileWithPauseAndSpecLinesAndAMissingFieldInTheSecondFile) {
    GravaDados("A1.DBF", RegistrosA());
    GravaDados("B1.DBF", RegistrosA());
    GravaDados("A2.DBF", RegistrosA());
    pasta.Grava("dados/LISTA.TXT", "dados/a*.dbf\r\nPAUS: Troque o disco\r\ndados/b1.DBF\r\n");
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Arquivos = {"LISTA.TXT"};
    ResultadoTabulacao r = Roda();
    EXPECT_EQ(r.RegistrosLidos, 15);
    EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia", "Masculino;6", "Feminino;6", "Total;12"}));
    EXPECT_EQ(msgs.Textos(), Linhas_{"Troque o disco"});
    Linhas_ l = LogSemTempo();
    EXPECT_EQ(Linhas_(l.begin() + 4, l.end()),
              (Linhas_{"[Arquivos]", "LISTA.TXT", "Espec=dados/a*.dbf", "Espec=dados/b1.DBF",
                       "Registros_Processados= 15"}));

    // Three files, the second without IDADE: the first counts, the third is not read.
    GravaDados("B.DBF", RegistrosA(), true);
    GravaDados("C.DBF", RegistrosA());
    op.Coluna = Item(def.ListColunas, "Faixa etaria");
    op.Arquivos = {"A1.DBF", "B.DBF", "C.DBF"};
    msgs.Limpa();
    r = Roda();
    EXPECT_TRUE(r.Cancelada);
    EXPECT_EQ(r.RegistrosLidos, 5);
    EXPECT_EQ(msgs.Textos(), (Linhas_{"IDADE nao encontrado em B.DBF", "Tabula\xE7\xE3o cancelada"}));
    l = LogSemTempo();
    EXPECT_EQ(Linhas_(l.begin() + 5, l.end()),
              (Linhas_{"[Arquivos]", "A1.DBF", "B.DBF", "Registros_Processados= 5", "TABULA\xC7\xC3O CANCELADA"}));
    EXPECT_EQ(Linhas(), (Linhas_{"Sexo;0-19;20-59;60+;Total", "Masculino;1;1;0;2", "Feminino;0;1;1;2",
                                 "Total;1;2;1;4"}));
}

// Cancels once the merge has reached the log line of a given file.
class CancelaNoArquivo : public Progresso {
public:
    CancelaNoArquivo(const LogExecucao& log, std::string item) : log_(log), item_(std::move(item)) {}
    bool Cancelado() const override {
        return std::find(log_.Linhas().begin(), log_.Linhas().end(), item_) != log_.Linhas().end();
    }

private:
    const LogExecucao& log_;
    std::string item_;
};

TEST_F(TabulacaoTeste, CancelDuringTheSecondOfThreeFilesFinishesItAndSkipsTheThird) {
    for (const char* n : {"A.DBF", "B.DBF", "C.DBF"}) GravaDados(n, RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Arquivos = {"A.DBF", "B.DBF", "C.DBF"};
    for (int threads : {1, 3}) {
        op.Threads = threads;
        CancelaNoArquivo cancela(log, "B.DBF");
        msgs.Limpa();
        ResultadoTabulacao r = Roda(cancela);
        EXPECT_TRUE(r.Cancelada);
        EXPECT_EQ(r.RegistrosLidos, 10) << threads;
        EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia", "Masculino;4", "Feminino;4", "Total;8"}));
        EXPECT_EQ(msgs.Textos(), Linhas_{"Tabula\xE7\xE3o cancelada"});
    }
}

// Cancels from the start and notes every record count the progress shows.
class AnotaContagens : public CancelaNoArquivo {
public:
    using CancelaNoArquivo::CancelaNoArquivo;
    std::vector<std::uint64_t> mostradas;

protected:
    void Mostra(std::uint64_t feito, std::uint64_t, const std::string&) override { mostradas.push_back(feito); }
};

// A file read ahead while the merge waits for an earlier one is left out by a cancel:
// the count shown never holds its records.
TEST_F(TabulacaoTeste, TheRecordCountShownHoldsOnlyRecordsMergedIntoTheTable) {
    std::vector<Reg> muitos;
    // Long enough for the small C.DBF to be read in full while the merge waits for it.
    for (int i = 0; i < 200000; ++i) muitos.push_back(RegistrosA()[static_cast<std::size_t>(i % 4)]);
    GravaDados("B.DBF", muitos);
    GravaDados("C.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Arquivos = {"B.DBF", "C.DBF"};
    op.Threads = 2;
    AnotaContagens anota(log, "B.DBF");
    ResultadoTabulacao r = Roda(anota);
    EXPECT_TRUE(r.Cancelada);
    ASSERT_EQ(r.RegistrosLidos, 200000);
    ASSERT_FALSE(anota.mostradas.empty());
    EXPECT_EQ(anota.mostradas.back(), 200000u);
    EXPECT_LE(*std::max_element(anota.mostradas.begin(), anota.mostradas.end()), 200000u);
}

// The time the user takes over the record export's questions is not the run's.
TEST_F(TabulacaoTeste, ElapsedTimeCountsFromTheReadingOfTheFiles) {
    struct Demora : InterfaceTabulacao {
        bool EscolheArquivoExportacao(std::string&) override {
            std::this_thread::sleep_for(std::chrono::milliseconds(1300));
            return false;
        }
    } demora;
    op.Linha = 0;
    op.Arquivos = {"A.DBF"};
    op.SalvaRegistros = true;
    GravaDados("A.DBF", RegistrosA());
    ExecutaTabulacao(def, op, t, log, demora, SemProgresso());
    EXPECT_EQ(log.Linhas().back(), "Tempo_Decorrido= 0:00");
}

// The period comes from the files as the DEF (or its list file) names them: the
// folders above, here ones whose names hold digits, never count.
TEST_F(TabulacaoTeste, PeriodFooterComesFromTheFilesAsTheDefNamesThem) {
    const std::string inst = "inst 3/v2019";
    std::filesystem::create_directories(pasta.Caminho() / inst / "dados");
    pasta.Grava(inst + "/SEXO.CNV", "2 1\r\n" + LinhaCNV("", "1", "Masculino", "1") + "\r\n");
    pasta.Grava(inst + "/dados/ANOS.LST", "dados\\DO04*.DBF\r\n");
    for (const char* n : {"DO0411.DBF", "DO0412.DBF", "DO0501.DBF"})
        pasta.Grava(inst + "/dados/" + n, MontaRegistros(RegistrosA()));
    struct Caso {
        const char* curinga;
        std::vector<std::string> arquivos; // empty: every file the wildcard lists
        const char* rodape;
    } casos[] = {
        {"Adados\\DO*.DBF", {}, "Fonte: SIM, per\xEDodo Nov/2004-Jan/2005"},
        {"Adados/*.LST", {"ANOS.LST"}, "Fonte: SIM, per\xEDodo Nov-Dez/2004"},
    };
    for (const auto& c : casos) {
        const std::string arquivo = pasta.Grava(
            inst + "/obitos.def", std::string("LSexo,SEXO,SEXO.CNV\r\n") + c.curinga + "\r\nRFonte: SIM, per\xEDodo\r\n");
        def.UltimoDEF.clear();
        ASSERT_TRUE(LeDEF(def, arquivo));
        op.Legenda = arquivo;
        op.Linha = 0;
        op.Arquivos = c.arquivos.empty() ? ListaArquivosDEF(def) : c.arquivos;
        ASSERT_FALSE(op.Arquivos.empty()) << c.curinga;
        for (int i = 0; i < 2; ++i) { // once per run, not once more on every run
            Roda();
            EXPECT_EQ(t.Rodape, c.rodape) << c.curinga;
        }
        EXPECT_EQ(def.Rodape, "Fonte: SIM, per\xEDodo");
    }
}

TEST_F(TabulacaoTeste, ADashPlaceholderCountsInTheCategoryOfCodeZero) {
    GravaCnv("SINAL.CNV", {"2 1", LinhaCNV("", "1", "Ignorado", "0"), LinhaCNV("", "2", "Masculino", "1")});
    GravaDef({"LSexo,SEXO,SINAL.CNV", "Adados/*.DBF"});
    GravaDados("A.DBF", {{"-", "025", "A010", "35", "1", "1"}, {"0", "025", "A010", "35", "1", "1"},
                         {"1", "025", "A010", "35", "1", "1"}, {"+", "025", "A010", "35", "1", "1"}});
    op.Linha = 0;
    op.Arquivos = {"A.DBF"};
    op.ModoNaoClassificados = 1;
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia", "Ignorado;3", "Masculino;1", "Total;4"}));
}

TEST_F(TabulacaoTeste, RecordExportWritesPassingRecordsInOrder) {
    GravaDados("A.DBF", RegistrosA());
    GravaDados("B.DBF", {{"2", "033", "A011", "35", "7", "7"}}, true);
    struct Escolhas : InterfaceTabulacao {
        std::string nome;
        std::vector<std::string> oferecidos, mostrado;
        bool EscolheArquivoExportacao(std::string& n) override {
            n = nome;
            return true;
        }
        bool EscolheCampos(const std::vector<std::string>& campos, std::vector<std::string>& escolhidos) override {
            oferecidos = campos;
            escolhidos = {"IDADE", "SEXO", "UF"};
            return true;
        }
        void MostraExportacao(const std::string& n) override { mostrado.push_back(n); }
    } escolhas;
    escolhas.nome = pasta / "saida.dbf";
    Seleciona("Sexo", {2});
    op.Linha = Item(def.ListLinha, "Causa"); // unclassified rows still go to the export
    op.Arquivos = {"A.DBF", "B.DBF"};
    op.SalvaRegistros = true;
    ResultadoTabulacao r = ExecutaTabulacao(def, op, t, log, escolhas, SemProgresso());
    EXPECT_EQ(escolhas.oferecidos, (Linhas_{"SEXO", "IDADE", "CAUSA", "UF", "VALOR", "DIAS"}));
    EXPECT_EQ(escolhas.mostrado, Linhas_{escolhas.nome});
    EXPECT_EQ(r.RegistrosExportados, 3);
    dbfRecord h;
    OpenDBF(h, escolhas.nome, true);
    ASSERT_EQ(h.NumRegs, 3);
    ASSERT_EQ(h.NumCampos, 3);
    EXPECT_EQ(h.Campo(1).Nome, "IDADE");
    std::vector<std::string> lidos;
    for (int i = 1; i <= 3; ++i) {
        readDBF(h, i);
        lidos.push_back(GetFieldDBF(h, 1) + "|" + GetFieldDBF(h, 2) + "|" + GetFieldDBF(h, 3));
    }
    EXPECT_EQ(lidos, (Linhas_{"070|2|35", "050|2|35", "   |2|35"}));
    CloseDBF(h);
    Linhas_ l = LogSemTempo();
    EXPECT_EQ(l.back(), "Criado " + escolhas.nome + " com 3 registros");

    // The export may not overwrite a data file.
    escolhas.nome = pasta / "dados/B.DBF";
    msgs.Limpa();
    std::string antes = pasta.Le("dados/B.DBF");
    ExecutaTabulacao(def, op, t, log, escolhas, SemProgresso());
    EXPECT_EQ(msgs.Textos().front(), escolhas.nome + " \xE9 um dos arquivos de dados: Registros n\xE3o ser\xE3o salvos");
    EXPECT_EQ(pasta.Le("dados/B.DBF"), antes);

    // Nor a list file the run reads.
    pasta.Grava("dados/LISTA.TXT", "dados/a.dbf\r\n");
    op.Arquivos = {"LISTA.TXT"};
    escolhas.nome = pasta / "dados/LISTA.TXT";
    msgs.Limpa();
    ExecutaTabulacao(def, op, t, log, escolhas, SemProgresso());
    ASSERT_FALSE(msgs.Textos().empty());
    EXPECT_EQ(msgs.Textos().front(), escolhas.nome + " \xE9 um dos arquivos de dados: Registros n\xE3o ser\xE3o salvos");
    EXPECT_EQ(pasta.Le("dados/LISTA.TXT"), "dados/a.dbf\r\n");
}

// A run that fails once its export has begun leaves no partial export: neither a
// new file under the chosen name nor a change to the file that was there.
TEST_F(TabulacaoTeste, ARunThatFailsAfterTheExportBeganLeavesNoPartialExport) {
    GravaDados("A.DBF", RegistrosA());
    GravaDados("B.DBF", RegistrosA(), true);
    struct Escolhas : InterfaceTabulacao {
        std::string nome;
        bool EscolheArquivoExportacao(std::string& n) override {
            n = nome;
            return true;
        }
        bool EscolheCampos(const std::vector<std::string>&, std::vector<std::string>& escolhidos) override {
            escolhidos = {"SEXO", "IDADE"};
            return true;
        }
    } escolhas;
    // Fails where the run looks for a cancel, once the export file is open.
    struct Falha : Progresso {
        bool Cancelado() const override { throw std::runtime_error("falhou no meio"); }
    };
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Arquivos = {"A.DBF", "B.DBF"};
    op.SalvaRegistros = true;
    for (bool existia : {false, true}) {
        SCOPED_TRACE(existia);
        escolhas.nome = pasta / (existia ? "velho.dbf" : "novo.dbf");
        const std::string antes = teste::MontaDBF({{"X", 'C', 1}}, {"x"});
        if (existia) pasta.Grava("velho.dbf", antes);
        Falha falha;
        EXPECT_THROW(ExecutaTabulacao(def, op, t, log, escolhas, falha), std::runtime_error);
        if (existia) {
            EXPECT_EQ(pasta.Le("velho.dbf"), antes);
        } else {
            EXPECT_FALSE(std::filesystem::exists(escolhas.nome));
        }
    }
}

TEST_F(TabulacaoTeste, ThreadedRunsEqualTheOneThreadRun) {
    // Files with codes that are new in different files and repeat across them.
    for (int f = 0; f < 9; ++f) {
        std::vector<Reg> regs;
        for (int i = 0; i < 400 + 37 * f; ++i) {
            Reg r = RegistrosA()[static_cast<std::size_t>((i + f) % 6)];
            if (i % 7 == 0) r.causa = "X" + Ajusta(std::to_string((i * 13 + f * 5) % 40), 3, true);
            r.idade = Zeros((i * 7 + f) % 130, 3);
            r.valor = std::to_string(i % 17);
            regs.push_back(r);
        }
        GravaDados("F" + std::to_string(f) + ".DBF", regs);
    }
    Seleciona("Faixa etaria", {1, 2});
    op.Linha = Item(def.ListLinha, "Causa");
    op.Coluna = Item(def.ListColunas, "UF");
    op.Incrementos = {Item(def.ListIncr, "Valor")};
    op.ModoNaoClassificados = 2;
    op.Arquivos = ListaArquivosDEF(def);
    op.Threads = 1;
    auto umFio = Roda();
    Linhas_ tab1 = Linhas(), log1 = LogSemTempo();
    EXPECT_GT(t.NumLinhas, 20) << ::testing::PrintToString(tab1);
    for (int threads : {2, 4, 8}) {
        op.Threads = threads;
        auto r = Roda();
        EXPECT_EQ(r.RegistrosLidos, umFio.RegistrosLidos);
        EXPECT_EQ(Linhas(), tab1) << threads;
        EXPECT_EQ(LogSemTempo(), log1) << threads;
    }
}

TEST_F(TabulacaoTeste, DiscriminarOverflowGoesToNaoClassificadosWithOneLogLine) {
    std::vector<Reg> regs;
    const std::string letras = "CDEFGHIJKLMNOPQRSTUVWXYZ";
    for (char l1 : letras)
        for (int n = 0; n < 700; ++n) regs.push_back({"1", "010", std::string(1, l1) + Ajusta(std::to_string(n), 3, true), "33", "1", "1"});
    regs.push_back({"1", "010", "C  0", "33", "1", "1"}); // a code already given a row
    GravaDados("M.DBF", regs);
    op.Linha = Item(def.ListLinha, "Causa");
    op.ModoNaoClassificados = 2;
    op.Arquivos = {"M.DBF"};
    Roda();
    const std::int32_t N = 2;
    EXPECT_EQ(t.NumLinhas, t.CapLinhas());
    EXPECT_EQ(t.CapLinhas(), N + 1 + LinhasDiscriminadas);
    EXPECT_EQ(t.Rotulo(N + 1), "C  0");
    EXPECT_EQ(t.Dado(1, N + 1), 2); // found again, never sent elsewhere
    EXPECT_EQ(t.Rotulo(t.CapLinhas()), "N\xE3o classificados");
    const int semLinha = static_cast<int>(letras.size()) * 700 - LinhasDiscriminadas;
    EXPECT_EQ(t.Dado(1, t.CapLinhas()), semLinha);
    int linhasLog = 0;
    for (const auto& l : log.Linhas())
        if (l.find("sem linha pr\xF3pria") != std::string::npos) {
            ++linhasLog;
            EXPECT_EQ(l, std::to_string(semLinha) + " c\xF3" "digos sem linha pr\xF3pria somados em N\xE3o classificados");
        }
    EXPECT_EQ(linhasLog, 1);

    // A second file: a code that found no row in the first is not counted again, a
    // code that got one still finds it, a new code is one more.
    GravaDados("N.DBF", {{"1", "010", "Z699", "33", "1", "1"}, {"1", "010", "Z699", "33", "1", "1"},
                         {"1", "010", "Z  5", "33", "1", "1"}, {"1", "010", "A999", "33", "1", "1"}});
    op.Arquivos = {"M.DBF", "N.DBF"};
    for (int threads : {1, 2}) {
        op.Threads = threads;
        Roda();
        EXPECT_EQ(t.Dado(1, t.CapLinhas()), semLinha + 3) << threads;
        EXPECT_EQ(t.Rotulo(N + 1 + 23 * 700 + 5), "Z  5");
        EXPECT_EQ(t.Dado(1, N + 1 + 23 * 700 + 5), 2);
        const std::string esperada =
            std::to_string(semLinha + 1) + " c\xF3" "digos sem linha pr\xF3pria somados em N\xE3o classificados";
        EXPECT_NE(std::find(log.Linhas().begin(), log.Linhas().end(), esperada), log.Linhas().end()) << threads;
    }
}

TEST(TempoDecorrido, ChangesOnTheTicksTheStatusBarShows) {
    EXPECT_EQ(TextoTempoDecorrido(0), "0:00");
    EXPECT_EQ(TextoTempoDecorrido(199), "0:00");
    EXPECT_EQ(TextoTempoDecorrido(1000), "0:00");
    EXPECT_EQ(TextoTempoDecorrido(1200), "0:01");
    EXPECT_EQ(TextoTempoDecorrido(61200), "1:01");
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

// The run classifies without Categoria's text work; odd codes must land where
// Categoria puts them, for direct and key tables alike.
TEST_F(TabulacaoTeste, OddCodesLandWhereCategoriaPutsThem) {
    const std::vector<std::string> valores = {"123", "A05", "Z99", " 7 ", "1X3", "-12", "+1 ", "[01", "`0 ", "   ",
                                              "1 2", "a05", "05 ", "0-1", "999", "abc", "\xC7" "12", "\xFF\x01\x02",
                                              "010", "10 ", "z00", "_12", "Z  ", "0  "};
    GravaCnv("DIR.CNV", {"4 3", LinhaCNV("", "1", "um", "123,A05,Z99"), LinhaCNV("", "2", "dois", "070,103,012"),
                         LinhaCNV("", "3", "tres", "000-009,999"), LinhaCNV("", "4", "quatro", "105,010,100")});
    GravaCnv("CHV.CNV", {"4 3 L", LinhaCNV("", "1", "um", "123,A05,Z99"), LinhaCNV("", "2", "dois", " 7 ,1X3,-12"),
                         LinhaCNV("", "3", "tres", "000-009,999"), LinhaCNV("", "4", "quatro", "a00-a99,   ")});
    GravaDef({"LDireta,COD,DIR.CNV", "LChave,COD,CHV.CNV", "Adados/*.*"});
    std::vector<std::string> registros;
    for (int rep = 0; rep < 3; ++rep)
        for (const auto& v : valores) registros.push_back(v);
    pasta.Grava("dados/COD.DBF", MontaDBF({{"COD", 'C', 3}}, registros));
    for (const char* linha : {"Direta", "Chave"}) {
        TDimensao d;
        ASSERT_TRUE(LeDimensao(def.ListLinha[static_cast<std::size_t>(Item(def.ListLinha, linha))], MaximoLinhas, d));
        std::vector<int> esperado(static_cast<std::size_t>(d.NumCategorias) + 2, 0);
        for (const auto& v : registros) ++esperado[static_cast<std::size_t>(Categoria(v, d))];
        op.Linha = Item(def.ListLinha, linha);
        op.ModoNaoClassificados = 1;
        op.Arquivos = {"COD.DBF"};
        Roda();
        ASSERT_EQ(t.NumLinhas, d.NumCategorias + 1) << linha;
        for (int k = 1; k <= d.NumCategorias + 1; ++k)
            EXPECT_EQ(t.Dado(1, k), esperado[static_cast<std::size_t>(k)]) << linha << " " << k;
    }
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

TEST_F(TabulacaoTeste, ValuesThatAreNoNumberAreReportedOncePerFile) {
    GravaCnv("VALOR.CNV", {"2 8 F", LinhaCNV("", "1", "Ate 5", "       5"), LinhaCNV("", "2", "Mais", "99999999")});
    GravaDef({"LFaixa de valor,VALOR,VALOR.CNV", "Adados/*.*"});
    std::vector<Reg> regs = RegistrosA();
    regs[0].valor = "abc";
    regs[1].valor = "x1";
    GravaDados("A.DBF", regs);
    GravaDados("B.DBF", regs);
    op.Linha = 0;
    op.Arquivos = {"A.DBF", "B.DBF"};
    for (int threads : {1, 2}) {
        op.Threads = threads;
        msgs.Limpa();
        Roda();
        const std::string aviso = "abc:Valor Inv\xE1lido em VALOR (2 valores inv\xE1lidos)";
        EXPECT_EQ(msgs.Textos(), (Linhas_{aviso, aviso}));
        Linhas_ l = LogSemTempo();
        EXPECT_EQ(Linhas_(l.begin() + 5, l.end()),
                  (Linhas_{"A.DBF", aviso, "B.DBF", aviso, "Registros_Processados= 10"}));
        // "abc" and "x1" read as 0: in the first bound with every other value.
        EXPECT_EQ(Linhas(), (Linhas_{"Faixa de valor;Freq\xFC\xEAncia", "Ate 5;10", "Mais;0", "Total;10"}));
    }
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

TEST_F(TabulacaoTeste, AFileThatCannotBeOpenedStopsTheRunAfterIt) {
    GravaDados("A.DBF", RegistrosA());
    GravaDados("C.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Arquivos = {"A.DBF", "SUMIU.DBF", "C.DBF"};
    op.Threads = 3;
    ResultadoTabulacao r = Roda();
    EXPECT_TRUE(r.Cancelada);
    EXPECT_EQ(r.RegistrosLidos, 5);
    ASSERT_EQ(msgs.Textos().size(), 2u);
    EXPECT_NE(msgs.Textos()[0].find("SUMIU.DBF"), std::string::npos);
    EXPECT_EQ(msgs.Textos()[1], "Tabula\xE7\xE3o cancelada");
    Linhas_ l = LogSemTempo();
    EXPECT_EQ(std::find(l.begin(), l.end(), "C.DBF"), l.end());
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

TEST_F(TabulacaoTeste, CancelOverLargeDbcFilesExpandedOnTheirOwnThreads) {
    std::vector<Reg> regs;
    for (int i = 0; i < 30000; ++i) regs.push_back(RegistrosA()[static_cast<std::size_t>(i % 6)]);
    for (const char* n : {"A", "B", "C", "D"}) {
        std::string dbf = GravaDados(std::string(n) + ".DBF", regs);
        ASSERT_TRUE(ComprimeDBF(dbf, pasta / ("dados/" + std::string(n) + ".DBC"), SemProgresso(), false).Ok());
    }
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Arquivos = {"A.DBC", "B.DBC", "C.DBC", "D.DBC"};
    op.TestaCRC = true;
    for (int threads : {1, 2, 8}) {
        op.Threads = threads;
        CancelaNoArquivo cancela(log, "B.DBC");
        ResultadoTabulacao r = Roda(cancela);
        EXPECT_TRUE(r.Cancelada);
        EXPECT_EQ(r.RegistrosLidos, 50000) << threads;
        EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia", "Masculino;20000", "Feminino;20000", "Total;40000"}));
    }
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

TEST_F(TabulacaoTeste, ACodePastTheEndOfTheRecordReadsBlanks) {
    // "12" is the last field; a code of 3 reads "12 ", which the direct table turns into 120.
    GravaCnv("FIM.CNV", {"2 3", LinhaCNV("", "1", "doze e branco", "120"), LinhaCNV("", "2", "doze", "012")});
    GravaCnv("FIML.CNV", {"2 3 L", LinhaCNV("", "1", "doze e branco", "12 ,999"), LinhaCNV("", "2", "doze", "12X")});
    GravaDef({"LDireta,COD,FIM.CNV", "LChave,COD,FIML.CNV", "Adados/*.*"});
    pasta.Grava("dados/FIM.DBF", MontaDBF({{"X", 'C', 1}, {"COD", 'C', 2}}, {"a12", "b12"}));
    for (const char* linha : {"Direta", "Chave"}) {
        op.Linha = Item(def.ListLinha, linha);
        op.ModoNaoClassificados = 1;
        op.Arquivos = {"FIM.DBF"};
        for (int threads : {1, 2}) {
            op.Threads = threads;
            Roda();
            EXPECT_EQ(Linhas(), (Linhas_{std::string(linha) + ";Freq\xFC\xEAncia", "doze e branco;2", "doze;0",
                                         "Total;2"}))
                << linha;
        }
    }
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

using Linhas_ = std::vector<std::string>;

// A list file's wildcard reads its files in the order the dialog lists names: by the
// name in capitals, so "a2.dbf" comes between "A1.DBF" and "B0.DBF".
TEST_F(TabulacaoTeste, FilesOfAListLineAreReadInTheOrderOfTheirNamesInCapitals) {
    GravaDados("B0.DBF", {{"1", "010", "X000", "33", "1", "1"}});
    GravaDados("a2.dbf", {{"1", "010", "X002", "33", "1", "1"}});
    GravaDados("A1.DBF", {{"1", "010", "X001", "33", "1", "1"}});
    pasta.Grava("dados/LISTA.TXT", "dados/*.dbf\r\n");
    op.Linha = Item(def.ListLinha, "Causa");
    op.ModoNaoClassificados = 2;
    op.Arquivos = {"LISTA.TXT"};
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"Causa;Freq\xFC\xEAncia", "Grupo A;0", "B000;0", "X001;1", "X002;1", "X000;1", "Total;3"}));
}

TEST_F(TabulacaoTeste, ARollUpIntoItsOwnRowIsIgnoredWithALogLine) {
    GravaCnv("FAIXAP.CNV", {"3 3 L", LinhaCNV("", "1", "Todas", "997"), LinhaCNV("  2", "2", "0-19", "000-019"),
                            LinhaCNV("  1", "3", "20+", "020-120")});
    GravaDef({"LFaixa,IDADE,FAIXAP.CNV", "Adados/*.*"});
    GravaDados("A.DBF", RegistrosA());
    op.Linha = 0;
    op.Arquivos = {"A.DBF"};
    Roda();
    EXPECT_EQ(Linhas(), (Linhas_{"Faixa;Freq\xFC\xEAncia", "Todas;4", "0-19;1", "20+;4", "Total;5"}));
    EXPECT_NE(std::find(log.Linhas().begin(), log.Linhas().end(), "Linha 2: subtotal na linha 2 ignorado"),
              log.Linhas().end());
}

TEST_F(TabulacaoTeste, ARunAfterAColumnTableFailedToLoadStartsFromACleanTable) {
    GravaDef({"LSexo,SEXO,SEXO.CNV", "CFaixa etaria,IDADE,FAIXA.CNV", "CRuim,IDADE,NAOHA.CNV", "Adados/*.*"});
    GravaDados("A.DBF", RegistrosA());
    op.Linha = 0;
    op.Arquivos = {"A.DBF"};
    op.Coluna = Item(def.ListColunas, "Faixa etaria");
    Roda();
    op.Coluna = Item(def.ListColunas, "Ruim");
    msgs.Limpa();
    EXPECT_EQ(Roda().Fim, FimTabulacao::Dimensao);
    EXPECT_EQ(msgs.Textos(), Linhas_{"NAOHA.CNV: Tabela de conversao nao encontrada"});
    op.Coluna = 0;
    EXPECT_EQ(Roda().Fim, FimTabulacao::Pronta);
    EXPECT_EQ(Linhas(), (Linhas_{"Sexo;Freq\xFC\xEAncia", "Masculino;2", "Feminino;2", "Total;4"}));
}

TEST_F(TabulacaoTeste, AFirstFileThatCannotBeOpenedLeavesTheRunWithoutExport) {
    pasta.Grava("dados/X.DBF", "isto nao e um DBF");
    GravaDados("A.DBF", RegistrosA());
    struct Escolhas : InterfaceTabulacao {
        std::string nome;
        int campos = 0;
        bool EscolheArquivoExportacao(std::string& n) override {
            n = nome;
            return true;
        }
        bool EscolheCampos(const std::vector<std::string>&, std::vector<std::string>& escolhidos) override {
            ++campos;
            escolhidos = {"SEXO"};
            return true;
        }
    } escolhas;
    escolhas.nome = pasta / "saida.dbf";
    op.Linha = 0;
    op.Arquivos = {"X.DBF", "A.DBF"};
    op.SalvaRegistros = true;
    ResultadoTabulacao r = ExecutaTabulacao(def, op, t, log, escolhas, SemProgresso());
    EXPECT_EQ(escolhas.campos, 0);
    EXPECT_TRUE(r.ArquivoExportado.empty());
    EXPECT_FALSE(std::filesystem::exists(escolhas.nome));
    EXPECT_TRUE(r.Cancelada);
    EXPECT_EQ(msgs.Textos().back(), "Tabula\xE7\xE3o cancelada");
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

// A wide table (700 row categories by 400 columns, more cells than a file keeps in
// an array) over three files, with new row
// codes under Discriminar: the first file fills every row left, the others send
// their new codes to the last row. Cells hold sums of decimal values, so a sum
// taken in another order than the records' shows in the last bits.
TEST_F(TabulacaoTeste, WideTableEqualsTheRecordOrderSumsCellByCellForAnyThreadCount) {
    std::vector<std::string> linhas{"700 4 L"}, colunas{"400 3 L"};
    for (int k = 0; k < 700; ++k)
        linhas.push_back(LinhaCNV("", std::to_string(k + 1), "r" + Zeros(k, 3), "A" + Zeros(k, 3)));
    for (int k = 0; k < 400; ++k)
        colunas.push_back(LinhaCNV("", std::to_string(k + 1), "c" + Zeros(k, 3), Zeros(k, 3)));
    GravaCnv("LARGA.CNV", linhas);
    GravaCnv("IDADES.CNV", colunas);
    GravaDef({"LCausa larga,CAUSA,LARGA.CNV", "CIdade larga,IDADE,IDADES.CNV", "IValor,VALOR", "Adados/*.*"});

    // Expected cells by row and column label: per file the record-order sum of each
    // row and column, then added to the table in file order; new codes that found no
    // row add into the last row in the order they first appear in their file.
    const std::string naoClass = "N\xE3o classificados";
    std::map<std::string, std::map<std::string, double>> esperado; // row -> column -> sum
    std::map<std::string, std::string> linhaDoCodigo; // new code -> its row's label
    int linhasNovas = 0;
    std::uint64_t semente = 12345;
    auto sorteio = [&semente](std::uint64_t n) {
        semente = semente * 6364136223846793005ull + 1442695040888963407ull;
        return (semente >> 33) % n;
    };
    for (int f = 0; f < 3; ++f) {
        std::vector<Reg> regs;
        std::vector<std::string> ordem; // this file's codes, in first appearance
        std::map<std::string, std::map<std::string, double>> local;
        const int novos = f == 0 ? LinhasDiscriminadas + 40 : 300;
        for (int i = 0; i < 4000 + novos; ++i) {
            Reg r{"1", "", "", "33", "", "1"};
            const int n = f == 0 ? i : 17000 + f * 1000 + i; // later files: codes never seen before
            r.causa = i < novos ? std::string(1, static_cast<char>('B' + n / 1000)) + Zeros(n % 1000, 3)
                                : "A" + Zeros(static_cast<int>(std::min(sorteio(700), sorteio(700))), 3);
            if (i >= novos && i % 3 == 0) r.causa = "B" + Zeros(static_cast<int>(sorteio(50)), 3); // seen again
            const int idade = static_cast<int>(sorteio(420));
            r.idade = Zeros(idade, 3);
            r.valor = std::to_string(sorteio(1000)) + "." + Zeros(static_cast<int>(sorteio(100)), 2);
            regs.push_back(r);
            const std::string coluna = idade < 400 ? "c" + Zeros(idade, 3) : naoClass;
            if (local.find(r.causa) == local.end()) ordem.push_back(r.causa);
            local[r.causa][coluna] += std::stod(r.valor);
        }
        GravaDados("W" + std::to_string(f) + ".DBF", regs);
        for (const auto& codigo : ordem) {
            std::string linha;
            if (codigo[0] == 'A') {
                linha = "r" + codigo.substr(1);
            } else if (auto it = linhaDoCodigo.find(codigo); it != linhaDoCodigo.end()) {
                linha = it->second;
            } else if (linhasNovas < LinhasDiscriminadas) {
                ++linhasNovas;
                linha = linhaDoCodigo[codigo] = codigo;
            } else {
                linha = naoClass;
            }
            for (const auto& [coluna, soma] : local[codigo]) esperado[linha][coluna] += soma;
        }
    }
    op.Linha = Item(def.ListLinha, "Causa larga");
    op.Coluna = Item(def.ListColunas, "Idade larga");
    op.Incrementos = {Item(def.ListIncr, "Valor")};
    op.ModoNaoClassificados = 2;
    op.SupColunas = false;
    op.Arquivos = ListaArquivosDEF(def);

    std::vector<double> primeira; // every cell and total of the one-thread run
    for (int threads = 1; threads <= 8; ++threads) {
        op.Threads = threads;
        ASSERT_EQ(Roda().Fim, FimTabulacao::Pronta);
        ASSERT_EQ(t.NumColunas(), 402) << threads; // 400, "Não classificados", "Total"
        ASSERT_EQ(t.NumLinhas, t.CapLinhas());
        std::vector<double> celulas;
        int diferentes = 0;
        for (int k = 1; k <= t.NumLinhas; ++k) {
            const auto& linha = esperado[t.Rotulo(k)];
            for (int c = 1; c <= 401; ++c) {
                auto it = linha.find(t.NomeColuna(c));
                const double e = it == linha.end() ? 0.0 : it->second;
                if (t.Dado(c, k) != e && ++diferentes <= 5)
                    ADD_FAILURE() << threads << " threads: " << t.Rotulo(k) << " x " << t.NomeColuna(c) << ": "
                                  << ::testing::PrintToString(t.Dado(c, k)) << " != " << ::testing::PrintToString(e);
                celulas.push_back(t.Dado(c, k));
            }
        }
        for (int k = 1; k <= t.NumLinhas; ++k) celulas.push_back(t.Dado(402, k));
        for (int c = 1; c <= 402; ++c) celulas.push_back(t.Coluna(c).Total);
        EXPECT_EQ(diferentes, 0) << threads;
        if (threads == 1)
            primeira = celulas;
        else
            EXPECT_TRUE(celulas == primeira) << threads << " threads differ from one";
    }
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

// The first file fails its CRC after many of its records came out of the codec:
// the table holds nothing of it, not only the messages say so.
TEST_F(TabulacaoTeste, AFirstFileFailingItsCrcLeavesNoCountInTheTable) {
    std::vector<Reg> regs;
    for (int i = 0; i < 20000; ++i) {
        Reg r = RegistrosA()[static_cast<std::size_t>(i % 6)];
        r.valor = std::to_string(i % 997); // records that compress less
        regs.push_back(r);
    }
    std::string dbf = GravaDados("G.DBF", regs);
    ASSERT_TRUE(ComprimeDBF(dbf, pasta / "dados/G.DBC", SemProgresso(), false).Ok());
    std::filesystem::remove(dbf);
    std::string b = pasta.Le("dados/G.DBC");
    b[b.size() * 2 / 3] ^= 0x55; // records before the damage come out before the error
    pasta.Grava("dados/G.DBC", b);
    GravaDados("A.DBF", RegistrosA());
    op.Linha = Item(def.ListLinha, "Sexo");
    op.Coluna = Item(def.ListColunas, "UF");
    op.SupColunas = false;
    op.TestaCRC = true;
    op.Arquivos = {"G.DBC", "A.DBF"};
    for (int threads : {1, 3}) {
        op.Threads = threads;
        ResultadoTabulacao r = Roda();
        EXPECT_TRUE(r.Cancelada);
        EXPECT_EQ(r.RegistrosLidos, 0) << threads;
        EXPECT_EQ(Linhas(), (Linhas_{"Sexo;33 Rio de Janeiro;35 Sao Paulo;Total", "Masculino;0;0;0", "Feminino;0;0;0",
                                     "Total;0;0;0"}))
            << threads;
    }
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

// A column dropped for a zero total may still hold cells in rows kept out of the
// totals: the "Total" column adds only the columns that stay.
TEST_F(TabulacaoTeste, TheTotalColumnLeavesOutADroppedColumnWithCellsInRowsOutOfTheTotals) {
    GravaCnv("FAIXAN.CNV", {"3 3 L", LinhaCNV("", "1", "0-19", "000-019"), LinhaCNV("", "2", "20-59", "020-059"),
                            LinhaCNV(" -1", "3", "60+", "060-120")});
    GravaDef({"LFaixa sem idosos,IDADE,FAIXAN.CNV", "TFaixa etaria,IDADE,FAIXA.CNV", "Adados/*.*"});
    GravaDados("A.DBF", RegistrosA()); // one record of 60 or more
    op.Linha = Item(def.ListLinha, "Faixa sem idosos");
    op.Coluna = Item(def.ListColunas, "Faixa etaria");
    op.SupColunas = true;
    op.Arquivos = {"A.DBF"};
    ASSERT_EQ(Roda().Fim, FimTabulacao::Pronta);
    EXPECT_EQ(Linhas(),
              (Linhas_{"Faixa sem idosos;0-19;20-59;Total", "0-19;1;0;1", "20-59;0;3;3", "60+;0;0;0", "Total;1;3;4"}));
}

} // namespace
} // namespace dorvan::teste

namespace dorvan::teste {
namespace {

// A wide table (thousands of rows by thousands of columns) has its columns laid out
// while the files are read: the counts, the "Não classificados" column added by the
// merge, the dropped zero columns and the "Total" column come out as for a small
// one, also when the run is cancelled during the first file.
class TabelaLarga : public TabulacaoTeste {
protected:
    void SetUp() override {
        TabulacaoTeste::SetUp();
        std::vector<std::string> cnv{"3000 4"};
        for (int k = 0; k < 3000; ++k)
            cnv.push_back(LinhaCNV("", std::to_string(k + 1), "C" + Zeros(k, 4), Zeros(k, 4)));
        GravaCnv("MUITAS.CNV", cnv);
        GravaDef({"LCausa,CAUSA,MUITAS.CNV", "TCausa,CAUSA,MUITAS.CNV", "Adados/*.*"});
        GravaDados("A.DBF", {{"1", "025", "0001", "35", "1.00", "1"},
                             {"1", "025", "2999", "35", "1.00", "1"},
                             {"2", "070", "0001", "35", "1.00", "1"},
                             {"1", "010", "Z999", "33", "1.00", "1"}});
        GravaDados("B.DBF", {{"1", "025", "0002", "35", "1.00", "1"}});
        op.Linha = 0;
        op.Coluna = Item(def.ListColunas, "Causa");
        op.ModoNaoClassificados = 1;
        op.SupLinhas = true;
        op.SupColunas = true;
        op.Threads = 2;
    }
};

TEST_F(TabelaLarga, CountsTheCellsAndCancelsCleanly) {
    op.Arquivos = {"A.DBF", "B.DBF"};
    ASSERT_EQ(Roda().Fim, FimTabulacao::Pronta);
    EXPECT_EQ(Linhas(),
              (Linhas_{"Causa;C0001;C0002;C2999;N\xE3o classificados;Total", "C0001;2;0;0;0;2", "C0002;0;1;0;0;1",
                       "C2999;0;0;1;0;1", "N\xE3o classificados;0;0;0;1;1", "Total;2;1;1;1;5"}));
    CancelaNoArquivo cancela(log, "A.DBF");
    ResultadoTabulacao r = Roda(cancela);
    EXPECT_TRUE(r.Cancelada);
    EXPECT_EQ(Linhas(), (Linhas_{"Causa;C0001;C2999;N\xE3o classificados;Total", "C0001;2;0;0;2", "C2999;0;1;0;1",
                                 "N\xE3o classificados;0;0;1;1", "Total;2;1;1;4"}));
}

} // namespace
} // namespace dorvan::teste
