// Bringing outside data into the table: merges by row code, DBF fields summed
// per code, rows from a DBF, and the clipboard text both ways.
#include "data/ArquivosDBFTeste.h"
#include "data/Index.h"
#include "data/Ucomprim.h"
#include "output/GravaTexto.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "table/ImportacaoTabela.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaTeste.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;
using teste::CampoBruto;

namespace {

class Importacao : public ::testing::Test {
protected:
    MensagensRoteiro msgs;
    UsaMensagens usa{msgs};
    teste::PastaTemporaria pasta;
};

std::vector<double> Totais(const TabelaResultados& t) {
    std::vector<double> v;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) v.push_back(t.Coluna(c).Total);
    return v;
}

// Regions 12 and 11 with their population; labels carry a two-character code.
TabelaResultados Regioes() {
    TabelaResultados t = teste::MontaTabela({"12 Nordeste", "11 Norte"}, {{"Pop", {200, 100}}});
    t.DefineNomeColuna(0, "Regi\xE3o");
    t.TamCodigo = 2;
    t.Titulo1 = "Popula\xE7\xE3o";
    t.Rodape = "Fonte";
    t.Modificada = true;
    return t;
}

// Deaths in 13, 11 and 10, semicolon-separated with a totals line, as .tab files are.
const char* const Obitos = "Titulo1=outro\r\n"
                           "\"Regiao\";\"Obitos\"\r\n"
                           "\"13 Sul\";3,5\r\n"
                           "\"11 NORTE\";1,25\r\n"
                           "\"10 Centro\";2\r\n"
                           "\"Total\";6,75\r\n";

TEST(ChaveLinha, CutsToTheCodeDropsAccentsAndCase) {
    struct Caso {
        const char* rotulo;
        std::int32_t tam;
        const char* chave;
    } casos[] = {
        {"S\xE3o Paulo", SemCodigo, "SAO PAULO"},
        {"sao paulo", SemCodigo, "SAO PAULO"},
        {"11 Norte", 2, "11"},
        {"11 Norte", 0, "11 NORTE"},
        {"1", 2, "1"},
        {"Total", 2, "TOTAL"},
        {"total", 2, "TO"},
        {"\xE9gua", 3, "EGU"},
    };
    for (const Caso& c : casos) EXPECT_EQ(ChaveLinha(c.rotulo, c.tam), c.chave) << c.rotulo;
}

TEST_F(Importacao, MergeAddsTheFileColumnsAndAppendsItsNewRowsInFileOrder) {
    TabelaResultados t = Regioes();
    msgs.Responde("N");
    JuntaTabelas(t, Regioes(), Obitos, "obitos.tab", '.');
    EXPECT_EQ(teste::Rotulos(t), (std::vector<std::string>{"12 Nordeste", "11 Norte", "13 Sul", "10 Centro"}));
    EXPECT_EQ(teste::Titulos(t), (std::vector<std::string>{"Pop", "Obitos"}));
    EXPECT_EQ(teste::Valores(t, 1), (std::vector<double>{200, 100, 0, 0}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{0, 1.25, 3.5, 2}));
    EXPECT_EQ(Totais(t), (std::vector<double>{300, 6.75}));
    EXPECT_EQ(t.Coluna(2).Decimais, 2);
    EXPECT_EQ(t.Titulo1, "Popula\xE7\xE3o");
    EXPECT_EQ(t.Rodape, "Fonte");
    EXPECT_EQ(t.TamCodigo, 2);
    EXPECT_TRUE(t.MostraCodigo);
    EXPECT_TRUE(t.Modificada);
    EXPECT_EQ(t.Coluna(0).Largura, 11);
    EXPECT_EQ(t.Coluna(2).Largura, std::max(LarguraValor(2, 6.75), 7));
    ASSERT_EQ(msgs.Registros().size(), 1u);
    EXPECT_EQ(msgs.Registros()[0].titulo, "Sim ou n\xE3o?");
    EXPECT_EQ(msgs.Registros()[0].texto, "Novas linhas foram adicionadas. Reordenar as linhas?");
}

TEST_F(Importacao, AnsweringYesSortsEveryRowByCode) {
    TabelaResultados t;
    msgs.Responde("S");
    JuntaTabelas(t, Regioes(), Obitos, "obitos.tab", '.');
    EXPECT_EQ(teste::Rotulos(t), (std::vector<std::string>{"10 Centro", "11 Norte", "12 Nordeste", "13 Sul"}));
    EXPECT_EQ(teste::Valores(t, 1), (std::vector<double>{0, 100, 200, 0}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{2, 1.25, 0, 3.5}));
}

TEST_F(Importacao, NoQuestionWhenTheFileBringsNoNewRowAndEqualTitlesStay) {
    TabelaResultados aberta = Regioes();
    const std::string texto = "\"R\";\"Pop\"\r\n\"11 x\";7\r\n\"12 y\";8\r\n";
    TabelaResultados t;
    JuntaTabelas(t, aberta, texto, "a.prn", '.');
    EXPECT_TRUE(msgs.Registros().empty());
    EXPECT_EQ(teste::Titulos(t), (std::vector<std::string>{"Pop", "Pop"}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{8, 7}));
    // No totals line in the file: its column is summed.
    EXPECT_EQ(t.Coluna(2).Total, 15);
}

TEST_F(Importacao, KeysFollowTheCodeLength) {
    struct Caso {
        std::int32_t tamCodigo;
        std::vector<std::string> abertos, lidos;
        std::size_t linhas;
    } casos[] = {
        {SemCodigo, {"S\xE3o Paulo", "Rio"}, {"SAO PAULO", "s\xE3o paulo", "rio"}, 2},
        {2, {"11 Norte", "12 Nordeste"}, {"11 Rond\xF4nia", "12 Acre", "13 Sul"}, 3},
    };
    for (const Caso& c : casos) {
        TabelaResultados aberta = teste::MontaTabela(c.abertos, {{"A", {1, 2}}});
        aberta.TamCodigo = c.tamCodigo;
        std::string texto = "\"L\",\"B\"\n";
        for (const auto& r : c.lidos) texto += "\"" + r + "\",5\n";
        msgs.Responde("N");
        TabelaResultados t;
        JuntaTabelas(t, aberta, texto, "x.csv", '.');
        EXPECT_EQ(static_cast<std::size_t>(t.NumLinhas), c.linhas) << c.tamCodigo;
        EXPECT_EQ(t.Rotulo(1), c.abertos[0]);
        EXPECT_EQ(t.Dado(2, 1), 5);
    }
}

TEST_F(Importacao, OpenTableValuesTotalKindsAndNotesSurviveTheMerge) {
    TabelaResultados aberta = Regioes();
    aberta.Dado(1, 1) = 200.125; // more digits than the column shows
    aberta.Coluna(1).TipoTotal = TipoTotal::Media;
    aberta.Coluna(1).Total = 150;
    AcrescentaNota(aberta, 2, 1, "nota do Norte");
    AcrescentaNota(aberta, 0, 1, "nota do t\xEDtulo");
    msgs.Responde("S");
    TabelaResultados t;
    JuntaTabelas(t, aberta, Obitos, "o.tab", '.');
    EXPECT_EQ(t.Dado(1, 3), 200.125);
    EXPECT_EQ(t.Coluna(1).TipoTotal, TipoTotal::Media);
    EXPECT_EQ(t.Coluna(1).Total, 150);
    EXPECT_EQ(teste::NotasDe(t), (std::vector<std::string>{"2,1:nota do Norte", "0,1:nota do t\xEDtulo"}));
}

TEST_F(Importacao, RowsWhoseKeyIsMissingAreRejectedAndCounted) {
    TabelaResultados t = teste::MontaTabela({"A", "B"}, {});
    TIndice chaves;
    CriaIndice(chaves, 10);
    InsereIndice(chaves, "A", 1);
    InsereIndice(chaves, "B", 2);
    const std::string texto = "L\tX\tY\tDUMMY\n"
                              "a\t1,5\t2\t0\n"
                              "Z\t9\t9\t0\n"
                              "b\t-3,25\t\"1.000,5\"\t0\n"
                              "\t7\t7\t0\n";
    EXPECT_EQ(IncluiTextoTabela(t, chaves, texto, "x", ','), 2);
    EXPECT_EQ(teste::Titulos(t), (std::vector<std::string>{"X", "Y"}));
    EXPECT_EQ(teste::Valores(t, 1), (std::vector<double>{1.5, -3.25}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{2, 1000.5}));
    EXPECT_EQ(t.Coluna(1).Decimais, 2);
    EXPECT_EQ(t.Coluna(2).Decimais, 1);
    EXPECT_EQ(teste::Rotulos(t), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Linha n\xE3o encontrada:Z", "Linha n\xE3o encontrada:",
                                                       "Rejeitados 2 registros"}));

    msgs.Limpa();
    IncluiTextoTabela(t, chaves, "L,V\nQ,1\nA,2\n", "x", '.');
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Linha n\xE3o encontrada:Q", "Rejeitado 1 registro"}));
}

TEST_F(Importacao, ManyRejectedRowsAreNamedOnlyFirstThenCounted) {
    TabelaResultados t = teste::MontaTabela({"A"}, {});
    TIndice chaves;
    CriaIndice(chaves, 10);
    std::string texto = "L;V\n";
    for (int i = 0; i < 50; ++i) texto += "x" + std::to_string(i) + ";1\n";
    IncluiTextoTabela(t, chaves, texto, "x", ',');
    ASSERT_EQ(msgs.Textos().size(), 11u);
    EXPECT_EQ(msgs.Textos().back(), "Rejeitados 50 registros");
}

TEST_F(Importacao, TextWithoutSeparatorAddsNothing) {
    TabelaResultados t = teste::MontaTabela({"A"}, {});
    TIndice chaves;
    CriaIndice(chaves, 10);
    EXPECT_EQ(IncluiTextoTabela(t, chaves, "apenas texto\nsem tabela\n", "x", ','), 0);
    EXPECT_EQ(t.NumColunas(), 0);
}

TEST_F(Importacao, IncluiTabelaReadsTheFileAndLeavesTheTableWhenItIsMissing) {
    TabelaResultados t = Regioes();
    EXPECT_FALSE(IncluiTabela(t, pasta / "falta.tab"));
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Arquivo " + (pasta / "falta.tab") + " n\xE3o encontrado "}));
    EXPECT_EQ(t.NumLinhas, 2);
    EXPECT_TRUE(t.Modificada);

    msgs.Limpa();
    msgs.Responde("N");
    ASSERT_TRUE(IncluiTabela(t, pasta.Grava("o.tab", Obitos)));
    EXPECT_EQ(t.NumLinhas, 4);
    EXPECT_EQ(t.NumColunas(), 2);
    EXPECT_EQ(msgs.RespostasRestantes(), 0u);
}

// ---- DBF -------------------------------------------------------------------------

EscolheCampo Escolhe(std::vector<int> respostas, std::vector<std::string>* rotulos = nullptr) {
    auto resto = std::make_shared<std::vector<int>>(std::move(respostas));
    return [resto, rotulos](const std::vector<std::string>&, const std::string& rotulo) {
        if (rotulos) rotulos->push_back(rotulo);
        if (resto->empty()) return 0;
        int r = resto->front();
        resto->erase(resto->begin());
        return r;
    };
}

MarcaCampos Marca(std::vector<int> campos, std::vector<std::string>* rotulos = nullptr) {
    return [campos, rotulos](const std::vector<std::string>&, const std::string& rotulo) {
        if (rotulos) rotulos->push_back(rotulo);
        return campos;
    };
}

// Code, name and two numeric fields; the last record is deleted.
std::string DBFCasos(std::uint8_t idioma = 0) {
    teste::OpcoesDBF o;
    o.idioma = idioma;
    return teste::MontaDBF({{"COD", 'C', 6}, {"NOME", 'C', 8}, {"CASOS", 'N', 5}, {"TAXA", 'N', 6, 2}},
                           {"110001Ariquem    10  1.50",
                            "110001Ariquem     5  0.25",
                            "110001Ariquem     1  0.00",
                            "120002Acre        7  2.00",
                            "990000Outro       4  1.00",
                            "*120002Acre      100 99.00"},
                           o);
}

TEST_F(Importacao, DBFFieldsAreSummedPerRowCode) {
    TabelaResultados t = teste::MontaTabela({"110001 Ariquemes", "120002 Acre", "130003 Sem dado"}, {{"Pop", {1, 2, 3}}});
    t.TamCodigo = 6;
    std::vector<std::string> perguntas;
    ASSERT_TRUE(IncluiCamposDBF(t, pasta.Grava("casos.dbf", DBFCasos()), Escolhe({1}, &perguntas),
                                Marca({3, 4}, &perguntas), false));
    EXPECT_EQ(perguntas, (std::vector<std::string>{"chave das linhas", "campos a incluir"}));
    EXPECT_EQ(teste::Titulos(t), (std::vector<std::string>{"Pop", "CASOS", "TAXA"}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{16, 7, 0}));
    EXPECT_EQ(teste::Valores(t, 3), (std::vector<double>{1.75, 2, 0}));
    EXPECT_EQ(Totais(t), (std::vector<double>{6, 23, 3.75}));
    EXPECT_EQ(t.Coluna(3).Decimais, 2);
    EXPECT_EQ(t.Coluna(2).Largura, 6);
    EXPECT_TRUE(t.Modificada);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{" Registros rejeitados = 1"}));
}

TEST_F(Importacao, CompressedDBFFieldsAreSummedAndAFailedScanAddsNoColumn) {
    ASSERT_TRUE(ComprimeDBF(pasta.Grava("casos.dbf", DBFCasos()), pasta / "casos.dbc", SemProgresso(), false).Ok());
    TabelaResultados t = teste::MontaTabela({"110001", "120002"}, {});
    int chamadas = 0;
    ASSERT_TRUE(IncluiCamposDBF(t, pasta / "casos.dbc", Escolhe({1}), Marca({3}), false, [&] { ++chamadas; }));
    EXPECT_EQ(teste::Valores(t, 1), (std::vector<double>{16, 7}));
    EXPECT_EQ(chamadas, 0); // fewer than 1000 records

    // A damaged stream: the CRC check fails after the records were summed.
    std::string dbc = pasta.Le("casos.dbc");
    dbc[dbc.size() - 3] = static_cast<char>(dbc[dbc.size() - 3] ^ 0x55);
    const std::string estragado = pasta.Grava("ruim.dbc", dbc);
    msgs.Limpa();
    EXPECT_FALSE(IncluiCamposDBF(t, estragado, Escolhe({1}), Marca({3}), false));
    EXPECT_EQ(t.NumColunas(), 1);
    EXPECT_FALSE(msgs.Textos().empty());
}

TEST_F(Importacao, DBFKeyLengthComesFromTheFieldWhenLabelsHaveNoCode) {
    TabelaResultados t = teste::MontaTabela({"120002", "110001"}, {});
    const std::string dbf = pasta.Grava("casos.dbf", DBFCasos());
    ASSERT_TRUE(IncluiCamposDBF(t, dbf, Escolhe({1}), Marca({3}), false));
    EXPECT_EQ(teste::Valores(t, 1), (std::vector<double>{7, 16}));

    // A code field wider than the labels' code still finds the rows.
    TabelaResultados u = teste::MontaTabela({"1100 Norte", "1200 Nordeste"}, {});
    u.TamCodigo = 4;
    const std::string curto = pasta.Grava(
        "curto.dbf", teste::MontaDBF({{"UF", 'C', 6}, {"N", 'N', 3}}, {"1100    4", "1200    5", "1100    1"}));
    ASSERT_TRUE(IncluiCamposDBF(u, curto, Escolhe({1}), Marca({2}), false));
    EXPECT_EQ(teste::Valores(u, 1), (std::vector<double>{5, 5}));
}

TEST_F(Importacao, DBFKeysInTheDOSCodePageAreConverted) {
    TabelaResultados t = teste::MontaTabela({"S\xE3o Jos\xE9", "Outro"}, {});
    // 0xC6 is a-tilde and 0x82 e-acute in the DOS code page.
    const std::string dbf = pasta.Grava(
        "dos.dbf", teste::MontaDBF({{"NOME", 'C', 9}, {"N", 'N', 3}}, {"S\xC6o Jos\x82  2"}, {.idioma = 2}));
    ASSERT_TRUE(IncluiCamposDBF(t, dbf, Escolhe({1}), Marca({2}), false));
    EXPECT_EQ(teste::Valores(t, 1), (std::vector<double>{2, 0}));
}

TEST_F(Importacao, DBFWithNothingMarkedOrNoKeyAddsNothing) {
    TabelaResultados t = teste::MontaTabela({"110001"}, {});
    const std::string dbf = pasta.Grava("casos.dbf", DBFCasos());
    EXPECT_FALSE(IncluiCamposDBF(t, dbf, Escolhe({1}), Marca({}), false));
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{" Nenhum campo foi marcado "}));
    msgs.Limpa();
    EXPECT_FALSE(IncluiCamposDBF(t, dbf, Escolhe({0}), Marca({3}), false));
    EXPECT_TRUE(msgs.Textos().empty());
    EXPECT_EQ(t.NumColunas(), 0);
}

TEST_F(Importacao, DBFRowsCarryCodeAndDescription) {
    const std::string dbf = pasta.Grava("casos.dbf", DBFCasos());
    TabelaResultados t = Regioes();
    std::vector<std::string> perguntas;
    int fechou = 0;
    ASSERT_TRUE(CriaLinhasDBF(t, dbf, Escolhe({1, 2}, &perguntas), [&] { ++fechou; return true; }, false));
    EXPECT_EQ(fechou, 1);
    EXPECT_EQ(perguntas, (std::vector<std::string>{"chave das linhas", "descri\xE7\xE3o das linhas"}));
    EXPECT_EQ(t.NumLinhas, 6);
    EXPECT_EQ(t.NumColunas(), 0);
    EXPECT_EQ(t.Rotulo(1), "110001 Ariquem");
    EXPECT_EQ(t.Rotulo(4), "120002 Acre");
    EXPECT_EQ(t.NomeColuna(0), "COD");
    EXPECT_EQ(t.Coluna(0).Largura, 15);
    EXPECT_EQ(t.TamCodigo, 6);
    EXPECT_TRUE(t.MostraCodigo);

    TabelaResultados u;
    ASSERT_TRUE(CriaLinhasDBF(u, dbf, Escolhe({2, 2}), {}, false));
    EXPECT_EQ(u.Rotulo(1), "Ariquem");
    EXPECT_EQ(u.TamCodigo, 8);
}

TEST_F(Importacao, DBFRowsAreRefusedBeforeTheTableIsClosed) {
    TabelaResultados t = Regioes();
    const std::string dbf = pasta.Grava("casos.dbf", DBFCasos());
    EXPECT_FALSE(CriaLinhasDBF(t, dbf, Escolhe({1, 2}), [] { return false; }, false));
    EXPECT_FALSE(CriaLinhasDBF(t, dbf, Escolhe({1, 0}), [] { return true; }, false));
    EXPECT_EQ(t.NumLinhas, 2);

    // The header's count alone decides.
    const std::string grande = pasta.Grava(
        "grande.dbc", teste::MontaDBF({{"C", 'C', 2}}, std::vector<std::string>(3, "ab"), {.contagem = 199002}));
    bool perguntou = false;
    EXPECT_FALSE(CriaLinhasDBF(t, grande, [&](auto&, auto&) { perguntou = true; return 1; }, {}, false));
    EXPECT_FALSE(perguntou);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{" Num Regs > 199001 "}));
    EXPECT_EQ(t.NumLinhas, 2);
}

// ---- clipboard -------------------------------------------------------------------

TEST_F(Importacao, CopyThenPasteIntoAnEmptyWindowRebuildsTheTable) {
    TabelaResultados t = teste::MontaTabela({"11 Norte", "12 Nordeste"}, {{"Pop", {1234.5, -2}, 1}, {"N", {3, 4}}});
    const std::string dir = pasta.Caminho().string() + "/";
    const std::string texto = TextoParaCopiar(t, dir, GravaTextoTab);
    EXPECT_FALSE(std::filesystem::exists(pasta / "ClipBoard.prn"));
    EXPECT_EQ(texto.find('\r'), std::string::npos);
    EXPECT_EQ(texto.substr(0, texto.find('\n')), "\"\"\t\"Pop\"\t\"N\"");

    TabelaResultados colada;
    ASSERT_TRUE(ColaTexto(colada, nullptr, texto, dir + "clipbord.prn", '.'));
    EXPECT_EQ(teste::Rotulos(colada), teste::Rotulos(t));
    EXPECT_EQ(teste::Valores(colada, 1), teste::Valores(t, 1));
    EXPECT_EQ(teste::Valores(colada, 2), teste::Valores(t, 2));
    EXPECT_TRUE(colada.Modificada);
    EXPECT_TRUE(colada.ArquivoAtual.empty());

    // Without a working folder the copy goes through a file of its own.
    EXPECT_EQ(TextoParaCopiar(t, "", GravaTextoTab), texto);
}

TEST_F(Importacao, PasteMergesIntoAnOpenTableAndRefusesText) {
    const TabelaResultados aberta = Regioes();
    TabelaResultados t;
    msgs.Responde("N");
    ASSERT_TRUE(ColaTexto(t, &aberta, "\tObitos\n13 Sul\t3\n11 Norte\t1\n", "clip", '.'));
    EXPECT_EQ(teste::Rotulos(t), (std::vector<std::string>{"12 Nordeste", "11 Norte", "13 Sul"}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{0, 1, 3}));

    TabelaResultados vazia;
    EXPECT_FALSE(ColaTexto(vazia, nullptr, "uma frase qualquer", "clip", '.'));
    EXPECT_EQ(msgs.Textos().back(), "Conte\xFA" "do do ClipBoard n\xE3o \xE9 uma tabela v\xE1lida");
    EXPECT_EQ(vazia.NumLinhas, 0);
}

} // namespace

// Pasted or merged text whose table would not fit in memory (6000 titled columns
// over 199,001 rows) is refused with one message; an open table stays as it was.
TEST_F(Importacao, TextoQueNaoCabeNaMemoriaNaoEColadoNemMesclado) {
    std::string texto = "\"Linha\"";
    for (int c = 1; c <= MaxColunas; ++c) texto += ";\"C" + std::to_string(c) + "\"";
    texto += "\n";
    for (int r = 0; r < MaxLinhasTabela; ++r) texto += "\"11\";1\n";
    const std::string esperada = "A tabela do arquivo cola.prn tem 199001 linhas e 6000 colunas e n\xE3o cabe na "
                                 "mem\xF3ria. Nada foi lido.";

    TabelaResultados vazia;
    EXPECT_FALSE(ColaTexto(vazia, nullptr, texto, "cola.prn"));
    EXPECT_EQ(vazia.NumLinhas, 0);
    EXPECT_EQ(msgs.Textos(), std::vector<std::string>{esperada});

    msgs.Limpa();
    const TabelaResultados aberta = Regioes();
    TabelaResultados t;
    EXPECT_TRUE(ColaTexto(t, &aberta, texto, "cola.prn"));
    EXPECT_EQ(msgs.Textos(), std::vector<std::string>{esperada});
    EXPECT_EQ(TextoTab(t, {}), TextoTab(aberta, {}));
    EXPECT_TRUE(t.Modificada);

    // Appending the columns to a table already sized for the rows is refused the same way.
    msgs.Limpa();
    TabelaResultados grande;
    grande.AlocaLinhas(MaxLinhasTabela, MaxLinhasTabela);
    TIndice chaves;
    CriaIndice(chaves, 1);
    EXPECT_EQ(IncluiTextoTabela(grande, chaves, texto, "cola.prn", ','), 0);
    EXPECT_EQ(grande.NumColunas(), 0);
    ASSERT_EQ(msgs.Textos().size(), 1u);
    EXPECT_NE(msgs.Textos()[0].find("cola.prn tem 199001 linhas e 6000 colunas"), std::string::npos);
}

// The table reader drops one trailing "DUMMY" column: a real one written by the
// CSV writer or copied to the clipboard comes back all the same.
TEST_F(Importacao, UmaUltimaColunaDUMMYVoltaDoCSVEDaAreaDeTransferencia) {
    TabelaResultados t = teste::MontaTabela({"11 Norte", "12 Nordeste"}, {{"Pop", {100, 200}}, {"DUMMY", {1, 2}}});
    GravaCSV(t, pasta / "t.csv");
    TabelaResultados l;
    ASSERT_TRUE(LeTabela(l, pasta / "t.csv", ',').tabela);
    ASSERT_EQ(l.NumColunas(), 2);
    EXPECT_EQ(l.NomeColuna(2), "DUMMY");
    EXPECT_DOUBLE_EQ(l.Dado(2, 2), 2);

    TabelaResultados colada;
    ASSERT_TRUE(ColaTexto(colada, nullptr, TextoParaCopiar(t, pasta / "", GravaTextoTab), "c.prn", ','));
    ASSERT_EQ(colada.NumColunas(), 2);
    EXPECT_EQ(colada.NomeColuna(2), "DUMMY");
    EXPECT_DOUBLE_EQ(colada.Dado(2, 1), 1);
}
