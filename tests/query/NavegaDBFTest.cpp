#include "query/NavegaDBF.h"

#include "data/ArquivosDBFTeste.h"
#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace dorvan {
namespace {

using teste::CampoBruto;
using teste::MontaDBF;

std::string Unidas(const std::vector<std::string>& linhas) {
    std::string s;
    for (const auto& l : linhas)
        s += l + "\r\n";
    return s;
}

std::string Esq(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// NOME C10, VALOR N8.2, DATA D8, OK L1, OBS M10: one of each kind the exports treat apart.
struct Amostra {
    teste::PastaTemporaria pasta;
    std::string nome;
    dbfRecord h;
    explicit Amostra(std::uint8_t idioma = 0) {
        teste::OpcoesDBF o;
        o.idioma = idioma;
        nome = pasta.Grava(
            "dados.dbf",
            MontaDBF({{"NOME", 'C', 10}, {"VALOR", 'N', 8, 2}, {"DATA", 'D', 8}, {"OK", 'L', 1}, {"OBS", 'M', 10}},
                     {Esq("Ana \"A\"", 10) + "   12.50"
                                             "20240307"
                                             "y"
                                             "0000000001",
                      "*" + Esq("Apagado", 10) +
                          "    1.00"
                          "20240101"
                          "T" +
                          Esq("", 10),
                      Esq("O'Neil & C", 10) + Esq("", 8) + Esq("", 8) + "n" + Esq("", 10)},
                     o));
        OpenDBF(h, nome, true);
    }
};

TEST(NavegaDBF, RelatorioDeEstruturaLinhaALinha) {
    Amostra a;
    const auto l = InformacaoDBF(a.h, 1234);
    const std::vector<std::string> esperado = {
        "Informa\xE7\xE3o de " + a.nome,
        "",
        "Language driver  = 0",
        "Data atualiza\xE7\xE3o = 7/3/2024",
        "Num. Registros   = 3",
        "Num. Campos      = 5",
        "Comp. registro   = 38",
        "Tamanho Total    = 1234",
        "",
        "Estrutura:",
        "  1 NOME       C  10 0    1",
        "  2 VALOR      N   8 2   11",
        "  3 DATA       D   8 0   19",
        "  4 OK         L   1 0   27",
        "  5 OBS        M  10 0   28",
        "",
        "create table dados(",
        "  nome       char(10),",
        "  valor      numeric(8,2),",
        "  data       date,",
        "  ok         boolean,",
        "  obs        char(10));",
    };
    EXPECT_EQ(l, esperado);
}

TEST(NavegaDBF, CSVDeixaApagadosDeForaDobraAspasEMantemVirgulaDoMemo) {
    Amostra a;
    const std::string csv = GravaCSVDBF(a.h, false);
    EXPECT_EQ(csv, a.pasta / "dados.csv");
    EXPECT_EQ(a.pasta.Le("dados.csv"), "\"NOME\",\"VALOR\",\"DATA\",\"OK\",\"OBS\"\r\n"
                                       "\"Ana \"\"A\"\"\",12.50,\"20240307\",T,\r\n"
                                       "\"O'Neil & C\",,\"        \",F,\r\n");
    // The file R is given must read back as the same two rows.
    std::string saida;
    ASSERT_EQ(teste::Executa("Rscript -e 't<-read.csv(\"" + csv +
                                 "\",check.names=FALSE); cat(nrow(t), t$NOME[1], t$VALOR[1], sep=\"|\")'",
                             &saida),
              0);
    EXPECT_EQ(saida, "2|Ana \"A\"|12.5");
}

TEST(NavegaDBF, TextoDeArquivoDOSConvertidoNasSaidasConformeIdioma) {
    struct Caso {
        std::uint8_t idioma;
        bool cp850;
        std::string esperado;
    };
    for (const Caso& c : std::vector<Caso>{
             {2, false, "\xE7"}, {0x25, false, "\xE7"}, {0, true, "\xE7"}, {0, false, "\x87"}, {3, true, "\x87"}}) {
        teste::PastaTemporaria p;
        teste::OpcoesDBF o;
        o.idioma = c.idioma;
        const std::string nome = p.Grava("c.dbf", MontaDBF({{"T", 'C', 3}}, {"a\x87 "}, o));
        dbfRecord h;
        OpenDBF(h, nome, true);
        readDBF(h, 1);
        EXPECT_EQ(TextoCampo(h, 1, c.cp850), "a" + c.esperado + " ") << int(c.idioma);
        GravaCSVDBF(h, c.cp850);
        EXPECT_EQ(p.Le("c.csv"), "\"T\"\r\n\"a" + c.esperado + "\"\r\n") << int(c.idioma);
    }
}

TEST(NavegaDBF, XMLEscapaTextoELidoPorLeitorExterno) {
    Amostra a;
    const std::string xml = GravaXMLDBF(a.h, false);
    EXPECT_EQ(
        a.pasta.Le("dados.xml"),
        Unidas({"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "<Tabela>", "<Linha>", "  <NOME>Ana \"A\"</NOME>",
                "  <VALOR>12.50</VALOR>", "  <DATA>20240307</DATA>", "  <OK>y</OK>", "  <OBS>0000000001</OBS>",
                "</Linha>", "<Linha>", "  <NOME>O'Neil &amp; C</NOME>", "  <VALOR></VALOR>", "  <DATA></DATA>",
                "  <OK>n</OK>", "  <OBS></OBS>", "</Linha>", "</Tabela>"}));
    std::string saida;
    EXPECT_EQ(teste::Executa("xmllint --xpath 'count(//Linha)' " + xml, &saida), 0);
    EXPECT_EQ(saida, "2\n");
}

TEST(NavegaDBF, SQLDeixaMemoDeForaNulosEDatasISOLidoPeloSQLite) {
    Amostra a;
    const std::string sql = GravaSQLDBF(a.h, false);
    EXPECT_EQ(a.pasta.Le("dados.sql"),
              Unidas({"CREATE TABLE dados (", "  nome CHAR(10),", "  valor NUMERIC(8,2),", "  data DATE,",
                      "  ok CHAR(1));", "INSERT INTO dados VALUES('Ana \"A\"',12.50,'2024-03-07','y');",
                      "INSERT INTO dados VALUES('O''Neil & C',NULL,NULL,'n');"}));
    std::string saida;
    ASSERT_EQ(teste::Executa("sqlite3 :memory: '.read " + sql +
                                 "' 'select nome, coalesce(valor, \"-\"), data from dados order by nome;'",
                             &saida),
              0);
    EXPECT_EQ(saida, "Ana \"A\"|12.5|2024-03-07\nO'Neil & C|-|\n");
}

// A field's text enters the script only as what its type holds: a numeric field
// that is no number, or a date that is not eight digits, loads as NULL, and a quote
// in a logical field stays inside its string. The script harms nothing in either engine.
TEST(NavegaDBF, SQLDeCamposForjadosNaoInjetaComandosNoSQLiteNemNoPostgreSQL) {
    teste::PastaTemporaria p;
    const std::string nome =
        p.Grava("t.dbf", MontaDBF({{"A", 'N', 20, 1}, {"B", 'N', 5}, {"C", 'L', 1}, {"D", 'C', 20}, {"E", 'D', 8}},
                                  {"1); drop table t; --   12'" + Esq("x", 20) + "20240307",
                                   Esq("", 16) + "-3.5" + "  abcT" + Esq("; drop table t; --", 20) + "');--x12"}));
    dbfRecord h;
    OpenDBF(h, nome, true);
    const std::string sql = GravaSQLDBF(h, false);
    EXPECT_EQ(p.Le("t.sql"),
              Unidas({"CREATE TABLE t (", "  a NUMERIC(20,1),", "  b NUMERIC(5),", "  c CHAR(1),", "  d CHAR(20),",
                      "  e DATE);", "INSERT INTO t VALUES(NULL,12,'''','x','2024-03-07');",
                      "INSERT INTO t VALUES(-3.5,NULL,'T','; drop table t; --',NULL);"}));
    const std::string consulta = "select a, b, c, rtrim(d), e from t order by c;";
    const std::string esperado = "|12|'|x|2024-03-07\n-3.5||T|; drop table t; --|\n";

    // Each engine goes on after an error, so a statement that got in would run.
    const std::string banco = p / "b.sqlite";
    teste::Executa("sqlite3 '" + banco + "' '.read " + sql + "' 2>&1");
    std::string saida;
    EXPECT_EQ(teste::Executa("sqlite3 '" + banco + "' \"" + consulta + "\" 2>&1", &saida), 0) << saida;
    EXPECT_EQ(saida, esperado);

    DORVAN_PULA_SEM_POSTGRESQL();
    const std::string script = p.Grava("pg.sql", p.Le("t.sql") + consulta + "\n");
    teste::ExecutaPsql(script, &saida, false);
    EXPECT_EQ(saida, esperado);
}

// The table's name comes from the file's name and the columns' from the file: a
// name that is not plain goes in double quotes, so none ends a statement.
TEST(NavegaDBF, SQLDeNomesForjadosNaoInjetaComandosNoSQLiteNemNoPostgreSQL) {
    teste::PastaTemporaria p;
    const std::string nome = p.Grava("v; drop table w; create table t.dbf",
                                     MontaDBF({{"A\"B", 'C', 2}, {"C);--", 'N', 3}, {"D_1", 'N', 1}}, {"xy  78"}));
    dbfRecord h;
    OpenDBF(h, nome, true);
    GravaSQLDBF(h, false);
    const std::string tabela = "\"v; drop table w; create table t\"";
    EXPECT_EQ(p.Le("v; drop table w; create table t.sql"),
              Unidas({"CREATE TABLE " + tabela + " (", "  \"a\"\"b\" CHAR(2),", "  \"c);--\" NUMERIC(3),",
                      "  d_1 NUMERIC(1));", "INSERT INTO " + tabela + " VALUES('xy',7,8);"}));
    const auto info = InformacaoDBF(h, 0);
    EXPECT_EQ(std::vector<std::string>(info.end() - 4, info.end()),
              (std::vector<std::string>{"create table " + tabela + "(", "  \"a\"\"b\"     char(2),",
                                        "  \"c);--\"    numeric(3),", "  d_1        numeric(1));"}));

    // Each engine goes on after an error, so a statement that got in would run.
    const std::string script =
        p.Grava("todo.sql", "create table w (n integer);\n" + p.Le("v; drop table w; create table t.sql") +
                                "select \"a\"\"b\", \"c);--\", d_1 from " + tabela + ";\nselect count(*) from w;\n");
    const std::string esperado = "xy|7|8\n0\n";
    std::string saida;
    EXPECT_EQ(teste::Executa("sqlite3 '" + (p / "b.sqlite") + "' '.read " + script + "' 2>&1", &saida), 0);
    EXPECT_EQ(saida, esperado);

    DORVAN_PULA_SEM_POSTGRESQL();
    EXPECT_EQ(teste::ExecutaPsql(script, &saida, false), 0);
    EXPECT_EQ(saida, esperado);
}

TEST(NavegaDBF, SQLComCampoDeixadoDeForaNoFimAindaFechaOComando) {
    teste::PastaTemporaria p;
    const std::string nome = p.Grava("m.dbf", MontaDBF({{"A", 'N', 3}, {"B", 'M', 10}}, {"  1          "}));
    dbfRecord h;
    OpenDBF(h, nome, true);
    GravaSQLDBF(h, false);
    EXPECT_EQ(p.Le("m.sql"), Unidas({"CREATE TABLE m (", "  a NUMERIC(3));", "INSERT INTO m VALUES(1);"}));
}

TEST(NavegaDBF, CNVUsaOCampoMaisCurtoComoCodigoEContaCategoriasPorMudancaDeRotulo) {
    teste::PastaTemporaria p;
    struct Caso {
        std::vector<CampoBruto> campos;
        std::vector<std::string> regs;
        std::string esperado;
    };
    const std::string pad41(41, ' ');
    const std::vector<Caso> casos = {
        // The first field is the shorter: it is the code; a blank-ended code gets ",".
        {{{"COD", 'C', 3}, {"NOME", 'C', 10}},
         {"01 Norte     ", "02 Norte     ", "*03 Apagado   ", "1  Sul       "},
         Unidas({"2 3", "      1  Norte     " + pad41 + "01 ,", "      1  Norte     " + pad41 + "02 ,",
                 "      2  Sul       " + pad41 + "1  ,"})},
        // Equal lengths: the second is the code.
        {{{"NOME", 'C', 2}, {"COD", 'C', 2}},
         {"AA01", "BB02"},
         Unidas({"2 2", "      1  AA" + std::string(49, ' ') + "01", "      2  BB" + std::string(49, ' ') + "02"})},
    };
    for (const Caso& c : casos) {
        const std::string nome = p.Grava("t.dbf", MontaDBF(c.campos, c.regs));
        dbfRecord h;
        OpenDBF(h, nome, true);
        EXPECT_EQ(GravaCNVDBF(h), p / "t.cnv");
        EXPECT_EQ(p.Le("t.cnv"), c.esperado);
    }
}

TEST(NavegaDBF, CNVSemDoisCamposRecusa) {
    teste::PastaTemporaria p;
    dbfRecord h;
    OpenDBF(h, p.Grava("u.dbf", MontaDBF({{"A", 'C', 2}}, {"xx"})), true);
    EXPECT_THROW(GravaCNVDBF(h), ErroFatal);
    EXPECT_FALSE(std::filesystem::exists(p / "u.cnv"));
}

TEST(NavegaDBF, CopiaEstruturaVaziaComMesmosCamposEIdioma) {
    Amostra a(2);
    CopiaEstrutura(a.h, a.pasta / "vazio.dbf");
    dbfRecord c;
    OpenDBF(c, a.pasta / "vazio.dbf", true);
    ASSERT_EQ(c.Estado, 1);
    EXPECT_EQ(c.NumRegs, 0);
    EXPECT_EQ(c.Idioma, 2);
    ASSERT_EQ(c.NumCampos, 5);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(c.Campo(i).Nome, a.h.Campo(i).Nome);
        EXPECT_EQ(c.Campo(i).Tipo, a.h.Campo(i).Tipo);
        EXPECT_EQ(c.Campo(i).Tamanho, a.h.Campo(i).Tamanho);
        EXPECT_EQ(c.Campo(i).Decimais, a.h.Campo(i).Decimais);
    }
}

// Reads every record of a DBF back, deletion flag included.
std::vector<std::string> Registros(const std::string& nome) {
    dbfRecord h;
    OpenDBF(h, nome, true);
    std::vector<std::string> r;
    for (std::int64_t i = 1; i <= h.NumRegs; ++i) {
        readDBF(h, i);
        r.emplace_back(h.RegistroAtual, h.TamRegistro);
    }
    return r;
}

struct Destino {
    teste::PastaTemporaria pasta;
    std::string nome;
    dbfRecord h;
    Destino() {
        nome = pasta.Grava("d.dbf", MontaDBF({{"A", 'C', 3}, {"N", 'N', 4}, {"B", 'C', 2}}, {"old   1xx"}));
        OpenDBF(h, nome, true);
        Reabre(h, true);
    }
};

TEST(NavegaDBF, AcrescimoDeTextoDelimitadoCampoACampo) {
    Destino d;
    const std::string txt = d.pasta.Grava("t.txt", "abc;12;zz\r\nx\nabcdef;123456;q;extra\n;;\nultima;7");
    int eventos = 0;
    EXPECT_EQ(AcrescentaDelimitado(d.h, txt, ';', [&] { ++eventos; }), 5);
    Reabre(d.h, false);
    EXPECT_EQ(d.h.NumRegs, 6);
    EXPECT_EQ(Registros(d.nome), (std::vector<std::string>{" old   1xx", " abc  12zz", " x        ", " abc****q ",
                                                           "          ", " ult   7  "}));
    EXPECT_EQ(eventos, 0);
}

TEST(NavegaDBF, AcrescimoDeTextoSDFCortaOuCompletaORegistro) {
    Destino d;
    const std::string txt = d.pasta.Grava("s.txt", "abc  12zz\r\nab\nabcdefghijklmn\n");
    EXPECT_EQ(AcrescentaSDF(d.h, txt), 3);
    Reabre(d.h, false);
    EXPECT_EQ(Registros(d.nome), (std::vector<std::string>{" old   1xx", " abc  12zz", " ab       ", " abcdefghi"}));
}

TEST(NavegaDBF, AcrescimoDeOutroDBFCasaCamposPorNomeEPulaApagados) {
    Destino d;
    const std::string outro = d.pasta.Grava(
        "o.dbf", MontaDBF({{"b", 'C', 4}, {"N", 'N', 8}, {"X", 'C', 1}}, {"wxyz      42k", "*gone       9k"}));
    EXPECT_EQ(AcrescentaDeDBF(d.h, outro), 1);
    Reabre(d.h, false);
    EXPECT_EQ(Registros(d.nome), (std::vector<std::string>{" old   1xx", "      42wx"}));
}

TEST(NavegaDBF, EventosACadaMilDuzentosETrintaEQuatroRegistros) {
    Destino d;
    std::string txt;
    for (int i = 0; i < 2500; ++i)
        txt += "a|1\n";
    int eventos = 0;
    EXPECT_EQ(AcrescentaLinhasArquivo(d.h, d.pasta.Grava("m.txt", txt), [&] { ++eventos; }), 2500);
    EXPECT_EQ(eventos, 2);
}

TEST(NavegaDBF, ReabrirParaGravarArquivoSomenteLeituraAvisaEMantemAberto) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes any file";
    teste::PastaTemporaria p;
    const std::string nome = p.Grava("r.dbf", MontaDBF({{"A", 'C', 1}}, {"a"}));
    std::filesystem::permissions(nome, std::filesystem::perms::owner_read);
    dbfRecord h;
    OpenDBF(h, nome, true);
    EXPECT_THROW(Reabre(h, true), ErroES);
    EXPECT_EQ(h.Estado, 1);
}

TEST(NavegaDBF, ComandoEProgramaXSLT) {
    struct Caso {
        std::string programa;
        std::vector<std::string> args;
        std::string legenda;
    };
    const std::vector<Caso> casos = {
        {"/usr/bin/xsltproc", {"/usr/bin/xsltproc", "f.xsl", "d.xml"}, "Via XSLT usando xsltproc"},
        {"java -jar /opt/x y/saxon.JAR",
         {"java", "-jar", "/opt/x y/saxon.JAR", "d.xml", "f.xsl"},
         "Via XSLT usando saxon.JAR"},
        {"/opt/my proc/conv.sh", {"/opt/my proc/conv.sh", "d.xml", "f.xsl"}, "Via XSLT usando conv.sh"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ComandoXSLT(c.programa, "d.xml", "f.xsl"), c.args);
        EXPECT_EQ(LegendaXSLT(c.programa), c.legenda);
    }
    EXPECT_EQ(ProgramaXSLTDoArquivo("/opt/p/saxon.Jar"), "java -jar /opt/p/saxon.Jar");
    EXPECT_EQ(ProgramaXSLTDoArquivo("/usr/bin/xsltproc"), "/usr/bin/xsltproc");
    EXPECT_EQ(ArquivoDoProgramaXSLT("java -jar /opt/p/saxon.jar"), "/opt/p/saxon.jar");
    EXPECT_EQ(ArquivoDoProgramaXSLT("/usr/bin/xsltproc"), "/usr/bin/xsltproc");
    EXPECT_EQ(ComandoUXT("/opt/dorvan/", "a.xml", "b.xsl"),
              (std::vector<std::string>{"/opt/dorvan/uxt.exe", "a.xml", "b.xsl", "temp.txt"}));
}

TEST(NavegaDBF, NomesDeSaida) {
    EXPECT_EQ(NomeSaida("/a/b.c/dados.DBF", ".csv"), "/a/b.c/dados.csv");
    EXPECT_EQ(NomeSaida("/a/b.c/dados", ".xml"), "/a/b.c/dados.xml");
    EXPECT_EQ(NomeSemPasta("/a/b.c/dados.dbf"), "dados.dbf");
    EXPECT_EQ(TextoExecutadoEm(3), "Executado em 3 Segundos");
}

// R's read.csv over the browser's CSV of a DBF with commas in number fields, quotes
// in text and date fields and empty (dBase NULL) numbers: every record comes as
// one row and every value as it was.
TEST(NavegaDBF, CSVComVirgulasAspasENulosLidoPeloR) {
    teste::PastaTemporaria p;
    const std::string nome = p.Grava(
        "lido.dbf", MontaDBF({{"NOME", 'C', 10}, {"VALOR", 'N', 6, 2}, {"DATA", 'D', 8}, {"QT", 'N', 4}},
                             {Esq("a,\"b\"", 10) + "  1,50" + "2024\"01\"" + "   7",
                              Esq("b", 10) + "  2.25" + "20240229" + std::string(4, '\0'),
                              Esq("c", 10) + "      " + "        " + "    "}));
    dbfRecord h;
    OpenDBF(h, nome, true);
    const std::string csv = GravaCSVDBF(h, false);
    CloseDBF(h);
    std::string saida;
    ASSERT_EQ(teste::Executa("Rscript -e 't<-read.csv(\"" + csv +
                                 "\",check.names=FALSE); "
                                 "cat(nrow(t), ncol(t), t$NOME[1], t$VALOR[1], t$DATA[1], t$QT, sep=\"|\")'",
                             &saida),
              0);
    EXPECT_EQ(saida, "3|4|a,\"b\"|1,50|2024\"01\"|7|NA|NA");
    EXPECT_EQ(p.Le("lido.csv").find('\0'), std::string::npos);
}

// A field name with a double quote is quoted as the table export quotes a
// title (the quote doubled): R still reads one column of that name.
TEST(NavegaDBF, CSVDobraAspaDoNomeDoCampoComoAExportacaoDaTabela) {
    teste::PastaTemporaria p;
    const std::string nome = p.Grava("nomes.dbf", MontaDBF({{"A\"B", 'C', 3}, {"N", 'N', 2}}, {"x\"y 1"}));
    dbfRecord h;
    OpenDBF(h, nome, true);
    const std::string csv = GravaCSVDBF(h, false);
    CloseDBF(h);
    EXPECT_EQ(p.Le("nomes.csv"), "\"A\"\"B\",\"N\"\r\n\"x\"\"y\",1\r\n");
    std::string saida;
    ASSERT_EQ(teste::Executa("Rscript -e 't<-read.csv(\"" + csv +
                                 "\",check.names=FALSE); cat(ncol(t), names(t)[1], t[[1]][1], t$N[1], sep=\"|\")'",
                             &saida),
              0);
    EXPECT_EQ(saida, "2|A\"B|x\"y|1");
}

// The R window opened from the browser reads the 1252 CSV as 1252: accented
// letters come as the letters they are.
TEST(NavegaDBF, RprofileLeOCSVEmWindows1252) {
    teste::PastaTemporaria p;
    const std::string nome = p.Grava("acentos.dbf", MontaDBF({{"NOME", 'C', 16}}, {Esq("Jos\xE9 Conce\xE7\xE3o", 16)}));
    dbfRecord h;
    OpenDBF(h, nome, true);
    const std::string csv = GravaCSVDBF(h, false);
    CloseDBF(h);
    teste::PastaTemporaria trab;
    GravaRprofile(trab.Caminho().string(), (p / "prog") + "/", csv);
    std::string saida;
    ASSERT_EQ(teste::Executa("cd " + trab.Caminho().string() +
                                 " && LANG=C.UTF-8 LC_ALL=C.UTF-8 Rscript -e "
                                 "'cat(identical(tabela$NOME[1], \"Jos\\u00e9 Conce\\u00e7\\u00e3o\"))'",
                             &saida),
              0);
    EXPECT_NE(saida.find("TRUE"), std::string::npos) << saida;
}

TEST(NavegaDBF, RprofileCarregaATabelaNoR) {
    Amostra a;
    const std::string csv = GravaCSVDBF(a.h, false);
    EXPECT_EQ(TextoRprofile("/opt/d/", "/t/x.csv", true, true),
              "options(encoding=\"latin1\")\n"
              "source(\"/opt/d/autoexec.r\")\n"
              ".First = function() {tabela <<- utils::read.csv(\"/t/x.csv\",check.names=FALSE)\n"
              " cat(\"\\n   Dados carregados em \\\"tabela\\\"!\\n\\n\")}\n"
              "dirdorvan <<- \"/opt/d/\";\n"
              "source(\"/opt/d/menu.r\")\n");
    const std::string prog = (a.pasta / "prog") + "/";
    std::filesystem::create_directory(prog);
    teste::PastaTemporaria trab;
    trab.Grava(".RProfile", "old");
    trab.Grava("prog_menu_marker", "");
    std::filesystem::copy_file(trab / "prog_menu_marker", prog + "menu.r");
    GravaRprofile(trab.Caminho().string(), prog, csv);
    EXPECT_FALSE(std::filesystem::exists(trab / ".RProfile"));
    std::string saida;
    ASSERT_EQ(teste::Executa("cd " + trab.Caminho().string() + " && Rscript -e 'cat(nrow(tabela), dirdorvan)'", &saida),
              0);
    EXPECT_NE(saida.find("Dados carregados em \"tabela\"!"), std::string::npos);
    EXPECT_NE(saida.find("2 " + prog), std::string::npos);
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// A logical field of width 0 at the end of the record: its "first character" would
// be the byte after the record.
TEST(NavegaDBF, CampoDeLarguraZeroFicaForaDoCSVComAviso) {
    teste::PastaTemporaria p;
    const std::string nome =
        p.Grava("z.dbf", MontaDBF({{"NOME", 'C', 3}, {"OK", 'L', 1}, {"VAZIO", 'L', 0}}, {"abcT", "defN"}));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    dbfRecord h;
    ASSERT_TRUE(AbreParaLeitura(h, nome));
    GravaCSVDBF(h, false);
    EXPECT_EQ(p.Le("z.csv"), "\"NOME\",\"OK\"\r\n\"abc\",T\r\n\"def\",F\r\n");
    EXPECT_EQ(m.Textos(), std::vector<std::string>{"OpenDBF:" + nome + " Campo VAZIO de tamanho zero ignorado!"});
}

// The grid asks for records in any order: a DBC shows its expanded records, never
// its compressed bytes, and nothing may be written into it.
TEST(NavegaDBF, DBCAbertoSomenteParaLeituraPeloConteudoExpandido) {
    teste::PastaTemporaria p;
    std::vector<std::string> registros;
    for (int i = 0; i < 3000; ++i)
        registros.push_back(Esq("reg" + std::to_string(i), 8) + (i % 2 ? "T" : "F"));
    registros[7] = "*" + registros[7];
    p.Grava("orig.dbf", MontaDBF({{"NOME", 'C', 8}, {"OK", 'L', 1}}, registros));
    ComprimeDBF(p / "orig.dbf", p / "DADOS.DBC", SemProgresso());

    MensagensRoteiro m;
    UsaMensagens usa(m);
    dbfRecord h;
    ASSERT_TRUE(AbreParaLeitura(h, p / "dados.dbc"));
    EXPECT_EQ(h.Nome, p / "dados.dbc");
    ASSERT_EQ(h.NumRegs, 3000);
    ASSERT_EQ(h.NumCampos, 2);
    for (std::int64_t r : {2999, 1, 1500, 8}) {
        readDBF(h, r);
        EXPECT_EQ(GetFieldDBF(h, 1), Esq("reg" + std::to_string(r - 1), 8));
    }
    readDBF(h, 8);
    EXPECT_EQ(h.RegistroAtual[0], '*');
    // The expanded copy has no name left anywhere.
    EXPECT_FALSE(std::filesystem::exists(PastaDaExecucao() + "navega.dbf"));

    // Exports go beside the DBC, from the records.
    dbfRecord dbf;
    ASSERT_TRUE(AbreParaLeitura(dbf, p / "orig.dbf"));
    GravaCSVDBF(dbf, false);
    GravaCSVDBF(h, false);
    EXPECT_EQ(p.Le("dados.csv"), p.Le("orig.csv"));

    const std::string antes = p.Le("DADOS.DBC");
    EXPECT_FALSE(PodeAcrescentar(h));
    EXPECT_FALSE(PodeComprimir(h));
    EXPECT_TRUE(PodeAcrescentar(dbf));
    EXPECT_EQ(m.Textos(),
              (std::vector<std::string>{
                  "O arquivo dados.dbc \xE9 comprimido (DBC) e s\xF3 pode ser lido: expanda-o em DBF para acrescentar "
                  "registros.",
                  "O arquivo dados.dbc j\xE1 \xE9 comprimido (DBC)."}));
    EXPECT_THROW(Reabre(h, true), ErroES);
    CloseDBF(h);
    EXPECT_EQ(p.Le("DADOS.DBC"), antes);

    // A damaged DBC is not shown: the expansion says why.
    std::string estragado = antes;
    estragado[estragado.size() / 2] = static_cast<char>(estragado[estragado.size() / 2] ^ 0x55);
    p.Grava("ruim.dbc", estragado);
    m.Limpa();
    EXPECT_FALSE(AbreParaLeitura(h, p / "ruim.dbc"));
    EXPECT_EQ(h.Estado, 0);
    EXPECT_FALSE(m.Textos().empty());
}

} // namespace
} // namespace dorvan
