// Table printing layout: row blocks and column strips, page order, the totals row
// on the last block, the label column giving room to a wide column, cell texts and
// note marks, the footer's page numbers. Measured with a fixed-pitch fake font.
#include "Fixture.h"
#include "output/ImpressaoTabela.h"
#include "platform/Numeros.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace dorvan {
namespace {

// Every character 10 units wide and lines 20 high, scaled; bold adds nothing.
class MedidaFixa : public MedidaTexto {
public:
    int Largura(const std::string& s, double escala, bool) const override {
        return static_cast<int>(static_cast<double>(s.size()) * 10 * escala);
    }
    int Altura(double escala) const override { return static_cast<int>(20 * escala); }
};

TabelaResultados Grade(std::int32_t linhas, std::int32_t colunas, int largura = 8) {
    TabelaResultados t;
    t.AlocaLinhas(linhas, linhas);
    t.DefineNomeColuna(0, "Linha");
    for (std::int32_t r = 1; r <= linhas; ++r) t.Rotulo(r) = "L" + std::to_string(r);
    for (std::int32_t c = 1; c <= colunas; ++c) {
        AcrescentaColuna(t, "C" + std::to_string(c), 0);
        t.Coluna(c).Largura = largura;
        for (std::int32_t r = 1; r <= linhas; ++r) t.Dado(c, r) = r;
        CalculaTotal(t, c);
    }
    return t;
}

bool TemTexto(const PaginaImpressa& pg, const std::string& s) {
    return std::any_of(pg.begin(), pg.end(), [&](const ElementoPagina& e) { return e.texto == s; });
}
const ElementoPagina* Acha(const PaginaImpressa& pg, const std::string& s) {
    for (const auto& e : pg)
        if (e.texto == s) return &e;
    return nullptr;
}

TEST(ImpressaoTabela, SmallTableFitsOnePageWithoutPageNumbers) {
    const MedidaFixa m;
    TabelaResultados t = Grade(5, 3);
    t.Rodape = "Fonte";
    ImpressaoTabela imp(t, m, 2000, 2000);
    imp.CalculaPaginas();
    EXPECT_EQ(imp.MargemX, 100);
    EXPECT_EQ(imp.MargemY, 100);
    EXPECT_EQ(imp.LinhasPorPagina, 84); // (2000 - 80 - 200) / 20 - 2
    EXPECT_EQ(imp.PaginasVerticais, 1);
    EXPECT_EQ(imp.LarguraRotulo, 50); // "Linha"
    EXPECT_EQ(imp.LarguraColuna[1], 80); // the total padded to 8 characters beats "C10"
    ASSERT_EQ(imp.NumFaixas(), 1);
    EXPECT_EQ(imp.TotalPaginas(), 1);
    EXPECT_EQ(imp.MensagemFaixas(), "Largura do texto ocupar\xE1 1 p\xE1gina");
    const PaginaImpressa pg = imp.MontaPagina(1, "");
    EXPECT_TRUE(TemTexto(pg, "Fonte"));
    EXPECT_TRUE(TemTexto(pg, "Total"));
    EXPECT_TRUE(TemTexto(pg, "15")); // total of 1..5
    for (const auto& e : pg) EXPECT_EQ(e.texto.find("P\xE1gina"), std::string::npos);
}

TEST(ImpressaoTabela, BlocksAndStripsPrintStripsOfOneBlockOnConsecutivePages) {
    const MedidaFixa m;
    // 200 rows: three blocks of 84; 30 columns 90 wide (+10 space): 17 fit in 1800 - 50 - 10.
    TabelaResultados t = Grade(200, 30, 9);
    ImpressaoTabela imp(t, m, 2000, 2000);
    imp.CalculaPaginas();
    EXPECT_EQ(imp.PaginasVerticais, 3);
    ASSERT_EQ(imp.NumFaixas(), 2);
    EXPECT_EQ(imp.Faixas[0].Primeira, 1);
    EXPECT_EQ(imp.Faixas[0].Ultima, 17);
    EXPECT_EQ(imp.Faixas[1].Primeira, 18);
    EXPECT_EQ(imp.Faixas[1].Ultima, 30);
    EXPECT_EQ(imp.TotalPaginas(), 6);
    EXPECT_EQ(imp.MensagemFaixas(), "Largura do texto ocupar\xE1 2 p\xE1ginas");
    const int blocos[] = {1, 1, 2, 2, 3, 3}, faixas[] = {1, 2, 1, 2, 1, 2};
    for (int p = 1; p <= 6; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(imp.BlocoDaPagina(p), blocos[p - 1]);
        EXPECT_EQ(imp.FaixaDaPagina(p), faixas[p - 1]);
        const PaginaImpressa pg = imp.MontaPagina(p, "");
        EXPECT_EQ(TemTexto(pg, "Total"), p >= 5);
        EXPECT_TRUE(TemTexto(pg, "P\xE1gina " + std::to_string(p) + " de 6"));
        EXPECT_EQ(TemTexto(pg, "C1"), faixas[p - 1] == 1);
        EXPECT_EQ(TemTexto(pg, "C18"), faixas[p - 1] == 2);
        const int primeira = (blocos[p - 1] - 1) * 84 + 1;
        EXPECT_TRUE(TemTexto(pg, "L" + std::to_string(primeira)));
        EXPECT_TRUE(TemTexto(pg, "L" + std::to_string(std::min(primeira + 83, 200))));
        EXPECT_FALSE(TemTexto(pg, "L" + std::to_string(primeira + 84)));
    }
    // Column positions: after the label column and one "0" of space, each after the last.
    const PaginaImpressa pg = imp.MontaPagina(2, "");
    const ElementoPagina* c18 = Acha(pg, "C18");
    ASSERT_NE(c18, nullptr);
    EXPECT_EQ(c18->caixaX, 100 + 50 + 10);
    EXPECT_EQ(c18->x, 160 + 90 - 3 - 30); // right-aligned 3 units inside
    const ElementoPagina* c19 = Acha(pg, "C19");
    ASSERT_NE(c19, nullptr);
    EXPECT_EQ(c19->caixaX, 160 + 100);
    const ElementoPagina* l1 = Acha(pg, "L1");
    ASSERT_NE(l1, nullptr);
    EXPECT_EQ(l1->x, 103);
}

TEST(ImpressaoTabela, WideFirstColumnShrinksTheLabelColumnForTheRest) {
    const MedidaFixa m;
    TabelaResultados t = Grade(3, 2);
    t.Rotulo(1) = std::string(60, 'r'); // label column 600
    t.DefineNomeColuna(1, std::string(60, 't')); // column 610 with its "0"
    ImpressaoTabela imp(t, m, 1000, 1000);
    imp.CalculaPaginas();
    // Room: 1000 - 100 - 600 - 10 = 290; the label column gives up 610 - 290 + 1.
    EXPECT_EQ(imp.LarguraRotulo, 600 - 321);
    ASSERT_EQ(imp.NumFaixas(), 2);
    EXPECT_EQ(imp.Faixas[0].Ultima, 1);
    EXPECT_EQ(imp.Faixas[1].Primeira, 2);
}

TEST(ImpressaoTabela, DegenerateLayoutsStillEnd) {
    const MedidaFixa m;
    // Columns wider than the whole page, a page too short for one row, no columns.
    TabelaResultados t = Grade(3, 3);
    for (int c = 1; c <= 3; ++c) t.DefineNomeColuna(c, std::string(50, 'x'));
    ImpressaoTabela estreita(t, m, 200, 60);
    estreita.CalculaPaginas();
    EXPECT_EQ(estreita.NumFaixas(), 3);
    EXPECT_EQ(estreita.LinhasPorPagina, 1);
    EXPECT_EQ(estreita.PaginasVerticais, 3);
    EXPECT_GE(estreita.LarguraRotulo, 0);
    TabelaResultados s = Grade(3, 0);
    ImpressaoTabela sem(s, m, 2000, 2000);
    sem.CalculaPaginas();
    EXPECT_EQ(sem.TotalPaginas(), 1);
    EXPECT_TRUE(TemTexto(sem.MontaPagina(1, ""), "L3"));
    // Page numbers typed below the first, with several strips, name no strip.
    EXPECT_TRUE(estreita.MontaPagina(0, "").empty());
    EXPECT_TRUE(estreita.MontaPagina(-1, "").empty());
    ImpressaoTabela semCalculo(t, m, 2000, 2000);
    EXPECT_TRUE(semCalculo.MontaPagina(1, "").empty());
}

TEST(ImpressaoTabela, CellsFollowTheDisplayOrderLabelsAndNotes) {
    const MedidaFixa m;
    TabelaResultados t = teste::TabelaExemplo(); // ordered by column 1, descending; notes
    t.MostraCodigo = false;
    t.Coluna(3).TipoTotal = TipoTotal::SemTotal;
    ImpressaoTabela imp(t, m, 3000, 3000);
    imp.CalculaPaginas();
    EXPECT_EQ(imp.TextoCelula(1, 0), "Sul"); // the largest population first, without its code
    EXPECT_EQ(imp.TextoCelula(1, 1), DeQString(NumeroUsuario(123456789, 0)));
    EXPECT_EQ(imp.TextoCelula(0, 2), "Taxa/100 mil");
    EXPECT_EQ(imp.TextoCelula(LinhaTotais, 0), "Total");
    EXPECT_EQ(imp.TextoCelula(LinhaTotais, 3), "");
    t.MostraCodigo = true;
    EXPECT_EQ(imp.TextoCelula(1, 0), "14 Sul");

    const PaginaImpressa pg = imp.MontaPagina(1, "09/12/2026");
    // Note 1 on the title of column 1: a small bold "1" just left of the right-aligned title.
    const ElementoPagina* titulo = Acha(pg, "Popula\xE7\xE3o");
    ASSERT_NE(titulo, nullptr);
    const ElementoPagina* marca = nullptr;
    for (const auto& e : pg)
        if (e.texto == "1" && e.negrito) marca = &e;
    ASSERT_NE(marca, nullptr);
    EXPECT_EQ(marca->escala, 0.5);
    EXPECT_EQ(marca->x, titulo->x - 5);
    EXPECT_EQ(marca->y, titulo->y);
    EXPECT_TRUE(TemTexto(pg, "09/12/2026"));
    EXPECT_EQ(Acha(pg, "09/12/2026")->x, 2000);
    // The totals row carries no note mark even with a note there.
    for (const auto& e : pg) EXPECT_FALSE(e.negrito && e.texto == "3");

    const PaginaImpressa notas = imp.MontaNotas();
    EXPECT_TRUE(TemTexto(notas, "Notas T\xE9"
                                "cnicas"));
    EXPECT_TRUE(TemTexto(notas, "2 - Estimativa & <corrigida>"));
}

} // namespace
} // namespace dorvan
