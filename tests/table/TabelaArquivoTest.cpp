// The .tab file and separated text tables: exact bytes, round trips, other
// separators and locales, hostile files, save-as dispatch.
#include "data/LeDBF32.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "support/ApoioTeste.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaTeste.h"

#include <QLocale>
#include <algorithm>
#include <clocale>
#include <cstring>
#include <gtest/gtest.h>

using namespace dorvan;

namespace {

// A table with everything the file carries.
TabelaResultados TabelaCompleta() {
    TabelaResultados t;
    t.AlocaLinhas(3, 3);
    t.DefineNomeColuna(0, "Regi\xE3o");
    AcrescentaColuna(t, "Casos", 0);
    AcrescentaColuna(t, "Taxa \"bruta\"", 2);
    AcrescentaColuna(t, "Var", 3);
    const char* rotulos[] = {"11 Norte", "12 \"Nordeste\"", "13 Sudeste"};
    const double dados[3][3] = {{1234, 12.5, -0.125}, {0, -3.456, 1.25}, {99, 1234.5, 2}};
    for (int r = 1; r <= 3; ++r) {
        t.Rotulo(r) = rotulos[r - 1];
        for (int c = 1; c <= 3; ++c) t.Dado(c, r) = dados[r - 1][c - 1];
    }
    for (int c = 1; c <= 3; ++c) CalculaTotal(t, c);
    t.Coluna(2).Total = 7; // a precalculated total
    t.Coluna(2).TipoTotal = TipoTotal::PreCalculado;
    t.Titulo1 = "Casos; por regi\xE3o";
    t.Titulo2 = "Ano\t2020";
    t.Rodape = "Fonte: SIM";
    AcrescentaNota(t, 2, 1, "nota da linha 2; coluna 1");
    AcrescentaNota(t, 0, 3, "nota do t\xEDtulo");
    AcrescentaNota(t, LinhaTotais, 2, "nota do total");
    t.NomeMapa = "/mapas/br.map";
    t.SemClasses = false;
    t.NumClasses = 2;
    t.ColunaMapa = 2;
    t.IndCor = 3;
    t.Cor[1] = 255;
    t.Cor[2] = 0xFF0000;
    t.Classe[1] = 10.5;
    t.Classe[2] = 1234.567;
    t.Modificada = true;
    return t;
}

const std::vector<std::string> LogCompleto = {"Arquivos: a.dbc", "Nota: linha do log", "", "\"entre aspas\"",
                                              "x;y\tz"};

const char* const BytesCompletos =
    "Titulo1=Casos por regi\xE3o\r\n"
    "Titulo2=Ano 2020\r\n"
    "Rodape=Fonte: SIM\r\n"
    "NumeroDeNotas=3\r\n"
    "Nota   1   2  1nota da linha 2 coluna 1\r\n"
    "Nota   2   0  3nota do t\xEDtulo\r\n"
    "Nota   3  -1  2nota do total\r\n"
    "[Mapa]\r\n"
    "Nomemapa=/mapas/br.map\r\n"
    "Colunamapa=2\r\n"
    "NumClasses=2\r\n"
    "IndCor=3\r\n"
    "Cor0=255\r\n"
    "Classe0=10.50\r\n"
    "Cor1=16711680\r\n"
    "Classe1=1234.57\r\n"
    "Arquivos: a.dbc\r\n"
    "Log=Nota: linha do log\r\n"
    "Log=\r\n"
    "Log=\"entre aspas\"\r\n"
    "x,y z\r\n"
    "\"Regi\xE3o\";\"Casos\";\"Taxa 'bruta'\";\"Var\"\r\n"
    "\"11 Norte\";1234;12,50;-0,125\r\n"
    "\"12 Nordeste\";0;-3,46;1,250\r\n"
    "\"13 Sudeste\";99;1234,50;2,000\r\n"
    "\"Total\";1333;7,00;3,125\r\n";

} // namespace

// The bytes do not depend on the user's locale (a comma-decimal one included).
TEST(TabelaArquivo, GravaTabEscreveOsBytesExatosEMarcaNaoModificada) {
    for (const char* local : {"C", "pt_BR.UTF-8"}) {
        std::setlocale(LC_ALL, local);
        QLocale::setDefault(QLocale(QString::fromLatin1(local).left(5)));
        teste::PastaTemporaria pasta;
        TabelaResultados t = TabelaCompleta();
        GravaTab(t, pasta / "t.tab", LogCompleto);
        EXPECT_EQ(pasta.Le("t.tab"), BytesCompletos) << local;
        EXPECT_FALSE(t.Modificada);
        TabelaResultados l;
        ASSERT_TRUE(LeTabela(l, pasta / "t.tab").tabela);
        EXPECT_DOUBLE_EQ(l.Dado(2, 3), 1234.5) << local;
    }
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
}

TEST(TabelaArquivo, UmaTabelaGravadaVoltaCampoACampo) {
    teste::PastaTemporaria pasta;
    TabelaResultados t = TabelaCompleta();
    GravaTab(t, pasta / "t.tab", LogCompleto);
    TabelaResultados l;
    LeituraTabela r = LeTabela(l, pasta / "t.tab");
    ASSERT_TRUE(r.tabela);
    EXPECT_EQ(l.ArquivoAtual, pasta / "t.tab");
    EXPECT_EQ(l.Titulo1, "Casos por regi\xE3o");
    EXPECT_EQ(l.Titulo2, "Ano 2020");
    EXPECT_EQ(l.Rodape, "Fonte: SIM");
    ASSERT_EQ(l.NumLinhas, 3);
    ASSERT_EQ(l.NumColunas(), 3);
    EXPECT_EQ(l.NomeColuna(0), "Regi\xE3o");
    EXPECT_EQ(l.NomeColuna(2), "Taxa 'bruta'");
    EXPECT_EQ(l.Rotulo(2), "12 Nordeste");
    EXPECT_EQ(l.TamCodigo, 2);
    EXPECT_TRUE(l.MostraCodigo);
    const int decimais[] = {0, 2, 3};
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(l.Coluna(c).Decimais, decimais[c - 1]) << c;
    EXPECT_DOUBLE_EQ(l.Dado(1, 1), 1234);
    EXPECT_DOUBLE_EQ(l.Dado(2, 2), -3.46);
    EXPECT_DOUBLE_EQ(l.Dado(3, 1), -0.125);
    EXPECT_DOUBLE_EQ(l.Dado(3, 2), 1.25);
    EXPECT_EQ(l.Coluna(1).TipoTotal, TipoTotal::Soma);
    EXPECT_EQ(l.Coluna(2).TipoTotal, TipoTotal::PreCalculado);
    EXPECT_DOUBLE_EQ(l.Coluna(2).Total, 7);
    EXPECT_EQ(l.Coluna(3).TipoTotal, TipoTotal::Soma); // 3,125 is the sum at 3 decimals
    ASSERT_EQ(l.NumNotas(), 3);
    EXPECT_EQ(l.Notas(1).Linha, 2);
    EXPECT_EQ(l.Notas(1).Coluna, 1);
    EXPECT_EQ(l.Notas(1).Texto, "nota da linha 2 coluna 1");
    EXPECT_EQ(l.Notas(3).Linha, LinhaTotais);
    EXPECT_EQ(l.NomeMapa, "/mapas/br.map");
    EXPECT_EQ(r.dirMapas, "/mapas/");
    EXPECT_FALSE(l.SemClasses);
    EXPECT_EQ(l.NumClasses, 2);
    EXPECT_EQ(l.IndCor, 3);
    EXPECT_EQ(l.Cor[2], 0xFF0000u);
    EXPECT_DOUBLE_EQ(l.Classe[2], 1234.57);
    EXPECT_EQ(l.ColunaMapa, 3); // the reader maps the last column
    EXPECT_EQ(r.log, (std::vector<std::string>{"Arquivos: a.dbc", "Nota: linha do log", "", "\"entre aspas\"",
                                               "x,y z"}));
    EXPECT_FALSE(l.Modificada);
}

TEST(TabelaArquivo, OTotalSoViraPreCalculadoQuandoDifereNaPrecisaoGravada) {
    struct Caso {
        const char* total;
        TipoTotal tipo;
    } casos[] = {{"0,3", TipoTotal::Soma}, {"0,4", TipoTotal::PreCalculado}, {"", TipoTotal::PreCalculado}};
    for (const Caso& c : casos) {
        TabelaResultados t;
        std::string texto = std::string("\"L\";\"A\"\r\n\"a\";0,1\r\n\"b\";0,2\r\n\"Total\";") + c.total + "\r\n";
        ASSERT_TRUE(LeTabelaDeTexto(t, texto, "x").tabela);
        EXPECT_EQ(t.NumLinhas, 2);
        EXPECT_EQ(t.Coluna(1).TipoTotal, c.tipo) << c.total;
    }
}

// Keyed lines ahead of the table are never its header, whatever separators their
// texts hold; a header that merely begins like a key stays the header.
TEST(TabelaArquivo, LinhasDeChaveNuncaSaoOCabecalho) {
    TabelaResultados t;
    const std::string comChaves = "Titulo1= Casos, 2019; revisado \r\nRodape= Per\xEDodo Jan/2019,Mar/2019; fim \r\n"
                                  "Nomemapa= \r\n\"\",\"A\",\"B\"\r\n\"a\",1,2\r\n\"b\",3,4\r\n";
    ASSERT_TRUE(LeTabelaDeTexto(t, comChaves, "x").tabela);
    EXPECT_EQ(t.Titulo1, "Casos, 2019; revisado");
    EXPECT_EQ(t.Rodape, "Per\xEDodo Jan/2019,Mar/2019; fim");
    EXPECT_EQ(t.NumLinhas, 2);
    ASSERT_EQ(t.NumColunas(), 2);
    EXPECT_EQ(t.NomeColuna(2), "B");
    EXPECT_EQ(t.Dado(2, 2), 4);
    TabelaResultados n;
    ASSERT_TRUE(LeTabelaDeTexto(n, "Nota,Valor\r\na,1\r\nb,2\r\n", "x").tabela);
    EXPECT_EQ(n.NomeColuna(0), "Nota");
    EXPECT_EQ(n.NumLinhas, 2);
}

TEST(TabelaArquivo, SemColunasGravaDummyELeDeVoltaSemColunas) {
    TabelaResultados t;
    t.AlocaLinhas(2, 2);
    t.DefineNomeColuna(0, "Nome");
    t.Rotulo(1) = "a";
    t.Rotulo(2) = "b";
    std::string bytes = TextoTab(t, {});
    EXPECT_EQ(bytes, "\"Nome\";\"DUMMY\"\r\n\"a\";0\r\n\"b\";0\r\n\"Total\";0\r\n");
    TabelaResultados l;
    ASSERT_TRUE(LeTabelaDeTexto(l, bytes, "x").tabela);
    EXPECT_EQ(l.NumColunas(), 0);
    EXPECT_EQ(l.NumLinhas, 2);
}

TEST(TabelaArquivo, NotasForaDaLinhaFixaTemLinhaPropria) {
    struct Caso {
        std::int32_t linhas, colunas, linhaNota, colunaNota;
        const char* chave;
    } casos[] = {{12000, 1, 12000, 1, "NotaPos=1,12000,1,grande\r\n"},
                 {3, 1200, 2, 1200, "NotaPos=1,2,1200,grande\r\n"}};
    for (const Caso& c : casos) {
        TabelaResultados t;
        t.AlocaLinhas(c.linhas, c.linhas);
        for (int k = 1; k <= c.colunas; ++k) AcrescentaColuna(t, "C", 0);
        AcrescentaNota(t, c.linhaNota, c.colunaNota, "grande");
        std::string bytes = TextoTab(t, {});
        EXPECT_NE(bytes.find(c.chave), std::string::npos);
        TabelaResultados l;
        LeituraTabela r = LeTabelaDeTexto(l, bytes, "x");
        ASSERT_TRUE(r.tabela);
        ASSERT_EQ(l.NumNotas(), 1);
        EXPECT_EQ(l.Notas(1).Linha, c.linhaNota);
        EXPECT_EQ(l.Notas(1).Coluna, c.colunaNota);
        EXPECT_EQ(l.Notas(1).Texto, "grande");
        EXPECT_TRUE(r.log.empty());
    }
}

// Other separators: comma with a decimal point, TAB with the locale's mark.
TEST(TabelaArquivo, CSVETABSobDoisLocais) {
    for (const char* local : {"C", "pt_BR"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(local)));
        const char marca = MarcaDecimalLocal();
        EXPECT_EQ(marca, std::string(local) == "C" ? '.' : ',');

        TabelaResultados csv;
        ASSERT_TRUE(LeTabelaDeTexto(csv, "Nome,\"A, b\",B\n\"x\",1234.5,-2\n\"y\",\"1,5\",3e2\n", "a.csv").tabela);
        EXPECT_EQ(csv.NomeColuna(1), "A, b");
        EXPECT_DOUBLE_EQ(csv.Dado(1, 1), 1234.5);
        EXPECT_EQ(csv.Coluna(1).Decimais, 1);
        EXPECT_DOUBLE_EQ(csv.Dado(1, 2), 15); // the comma of "1,5" is no decimal mark here
        EXPECT_DOUBLE_EQ(csv.Dado(2, 2), 300);
        EXPECT_DOUBLE_EQ(csv.Coluna(2).Total, 298);

        TabelaResultados tab;
        std::string texto = std::string("Nome\tA\nx\t1") + marca + "5\ny\t" + (marca == ',' ? "1.234,50" : "1,234.50") +
                            "\n";
        ASSERT_TRUE(LeTabelaDeTexto(tab, texto, "a.txt").tabela) << local;
        EXPECT_DOUBLE_EQ(tab.Dado(1, 1), 1.5) << local;
        EXPECT_DOUBLE_EQ(tab.Dado(1, 2), 1234.5) << local; // the grouping mark vanishes
        EXPECT_EQ(tab.Coluna(1).Decimais, 2);
    }
    QLocale::setDefault(QLocale::c());
}

// The file GravaTab writes is a plain semicolon-separated text to a standard reader.
TEST(TabelaArquivo, UmLeitorCSVPadraoLeATabelaDoArquivo) {
    if (teste::Executa("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "python3 not installed";
    teste::PastaTemporaria pasta;
    TabelaResultados t = TabelaCompleta();
    t.Titulo1.clear();
    t.Titulo2.clear();
    t.Rodape.clear();
    t.DefineNumNotas(0);
    t.SemClasses = true;
    GravaTab(t, pasta / "t.tab", {});
    std::string saida;
    ASSERT_EQ(teste::Executa("python3 -c \"import csv,sys\nfor l in csv.reader(open(sys.argv[1], encoding='cp1252', "
                             "newline=''), delimiter=';'): print('|'.join(l))\" " +
                                 pasta / "t.tab",
                             &saida),
              0);
    EXPECT_EQ(saida, "Regi\xC3\xA3o|Casos|Taxa 'bruta'|Var\n11 Norte|1234|12,50|-0,125\n12 Nordeste|0|-3,46|1,250\n"
                     "13 Sudeste|99|1234,50|2,000\nTotal|1333|7,00|3,125\n");
}

TEST(TabelaArquivo, ArquivosHostisNaoDerrubamENaoEnganam) {
    struct Caso {
        const char* nome;
        std::string texto;
        bool tabela;
    } casos[] = {
        {"vazio", "", false},
        {"uma linha de dados", "\"a\";\"b\"\n\"x\";1\n", false},
        {"sem separador", "abc\ndef\nghi\n", false},
        {"binario", std::string("\0\1\2;\xFF\"\n\"\0;;\n", 12), false},
        {"chaves fora da faixa",
         "NumeroDeNotas=999\nNota 500   1  1fora\nNota   1  99  1linha inexistente\nNota   2   1 77coluna inexistente\n"
         "Nota   3   1  1boa\nNota xx\nIndCor=99\nNumClasses=50\nCor9=99999999999\nClasse9=abc\nCor5=-3\n"
         "\"L\";\"A\"\n\"a\";1\n\"b\";2\n",
         true},
        {"aspas sem fim", "\"L\";\"A\n\"a\";1\n\"b\";2\n", true},
        {"mais colunas que o limite", "L" + std::string(7000, ';') + "\na;1\nb;2\n", true},
    };
    for (const Caso& c : casos) {
        MensagensRoteiro msgs;
        UsaMensagens usa(msgs);
        TabelaResultados t;
        LeituraTabela r = LeTabelaDeTexto(t, c.texto, "x");
        EXPECT_EQ(r.tabela, c.tabela) << c.nome;
        EXPECT_EQ(t.NumLinhas > 0, c.tabela) << c.nome;
        EXPECT_LE(t.NumColunas(), MaxColunas);
        EXPECT_LE(t.NumNotas(), MaxNotas);
        EXPECT_LE(t.NumClasses, MaxClasses);
        EXPECT_LE(t.IndCor, 16);
        if (std::string(c.nome) == "chaves fora da faixa") {
            ASSERT_EQ(t.NumNotas(), 1);
            EXPECT_EQ(t.Notas(1).Texto, "boa");
            EXPECT_EQ(t.NumClasses, 10);
            EXPECT_EQ(t.Cor[10], 0u);
            EXPECT_EQ(r.log, (std::vector<std::string>{"Nota xx", "Classe9=abc"}));
        }
    }
}

TEST(TabelaArquivo, MilharesDeColunasEmLinhaLongaVoltamIguais) {
    TabelaResultados t;
    t.AlocaLinhas(2, 2);
    t.Titulo1 = "Dorvan:x";
    t.Rotulo(1) = "a";
    t.Rotulo(2) = "b";
    for (int c = 1; c <= 5000; ++c) {
        AcrescentaColuna(t, "Coluna " + std::to_string(c), 1);
        t.Dado(c, 1) = c + 0.5;
        t.Dado(c, 2) = -c;
        CalculaTotal(t, c);
    }
    TabelaResultados l;
    ASSERT_TRUE(LeTabelaDeTexto(l, TextoTab(t, {}), "x").tabela);
    ASSERT_EQ(l.NumColunas(), 5000);
    EXPECT_EQ(l.NomeColuna(4999), "Coluna 4999");
    EXPECT_DOUBLE_EQ(l.Dado(5000, 1), 5000.5);
    EXPECT_DOUBLE_EQ(l.Dado(5000, 2), -5000);
    EXPECT_EQ(TextoTab(l, {}), TextoTab(t, {}));
}

// Plain numeric fields take a shorter road than the rest; a blank in front sends the
// same field down the general one, and both must agree bit for bit.
TEST(TabelaArquivo, CamposNumericosSimplesLemComoOCaminhoGeral) {
    const std::vector<std::string> campos = {"0",
                                             "-0",
                                             "-0,0",
                                             "007",
                                             "12,",
                                             ",5",
                                             "-,25",
                                             "3,14159",
                                             "0,1",
                                             "-2,675",
                                             "999999999999999",
                                             "1234567890123456",
                                             "0,000000000000001",
                                             "1,2,3",
                                             "1x2",
                                             "-",
                                             "",
                                             "12345678,1234567",
                                             "1e3",
                                             "+4",
                                             "9007199254740993"};
    for (char sep : {';', ',', '\t'}) {
        const char marca = sep == ',' ? '.' : ',';
        // One field a column, in two rows.
        auto texto = [&](const char* antes) {
            std::string cab = "\"L\"", linha;
            for (const std::string& c : campos) {
                std::string campo = c;
                std::replace(campo.begin(), campo.end(), ',', marca);
                if (sep == ',' && campo.find(',') != std::string::npos) continue;
                cab += sep + ("\"" + c + "\"");
                linha += sep + (antes + campo);
            }
            return cab + "\r\n\"r\"" + linha + "\r\n\"s\"" + linha + "\r\n";
        };
        TabelaResultados simples, geral;
        ASSERT_TRUE(LeTabelaDeTexto(simples, texto(""), "x", ',').tabela);
        ASSERT_TRUE(LeTabelaDeTexto(geral, texto(" "), "x", ',').tabela);
        ASSERT_EQ(simples.NumColunas(), geral.NumColunas());
        for (std::int32_t c = 1; c <= geral.NumColunas(); ++c) {
            const double a = simples.Dado(c, 2), b = geral.Dado(c, 2);
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << sep << " " << geral.NomeColuna(c) << ": " << a << " / " << b;
            EXPECT_EQ(simples.Coluna(c).Decimais, geral.Coluna(c).Decimais) << sep << " " << geral.NomeColuna(c);
        }
    }
}

TEST(TabelaArquivo, ArquivoAusenteDizQueNaoEncontrou) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TabelaResultados t;
    LeituraTabela r = LeTabela(t, "/nao/existe.tab");
    EXPECT_FALSE(r.aberto);
    EXPECT_EQ(t.NumLinhas, 0);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Arquivo /nao/existe.tab n\xE3o encontrado "}));
}

TEST(TabelaArquivo, SalvaComoEscolhePelaExtensaoERecusaOQueNaoConhece) {
    teste::PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TabelaResultados t = TabelaCompleta();
    t.TamCodigo = SemCodigo;
    std::string dir = "antes";
    EXPECT_FALSE(SalvaComo(t, pasta / "t.xyz", {}, dir));
    EXPECT_FALSE(SalvaComo(t, pasta / "t.cnv", {}, dir));
    EXPECT_FALSE(SalvaComo(t, pasta / "t_tab.SPR", {}, dir));
    EXPECT_EQ(dir, "antes");
    EXPECT_TRUE(t.Modificada);
    EXPECT_TRUE(t.ArquivoAtual.empty());
    EXPECT_FALSE(std::filesystem::exists(pasta / "t.xyz"));
    // An unknown type is named by itself; a name without one is no path in the box.
    EXPECT_FALSE(SalvaComo(t, pasta / "pasta.d/tabela", {}, dir));
    ASSERT_EQ(msgs.Textos().size(), 4u);
    EXPECT_EQ(msgs.Textos()[0], "N\xE3o h\xE1 como salvar arquivos do tipo \".XYZ\". A tabela n\xE3o foi salva.");
    EXPECT_EQ(msgs.Textos()[1], "Precisa de chave nas linhas para gerar .CNV");
    EXPECT_EQ(msgs.Textos()[2], "Precisa de chave nas linhas para gerar tabela SPRING");
    EXPECT_EQ(msgs.Textos()[3], "N\xE3o h\xE1 como salvar arquivos sem extens\xE3o. A tabela n\xE3o foi salva.");
    EXPECT_EQ(msgs.Textos()[3].find(pasta.Caminho().string()), std::string::npos);

    EXPECT_TRUE(SalvaComo(t, pasta / "T.Tab", {}, dir));
    EXPECT_EQ(dir, pasta.Caminho().string() + "/");
    EXPECT_FALSE(t.Modificada);
    EXPECT_EQ(t.ArquivoAtual, pasta / "T.Tab");

    std::string gravado;
    RegistraGravador(".csv", [&](TabelaResultados&, const std::string& a) {
        gravado = a;
        return true;
    });
    EXPECT_TRUE(SalvaComo(t, pasta / "x.CSV", {}, dir));
    EXPECT_EQ(gravado, pasta / "x.CSV");
    EXPECT_EQ(t.ArquivoAtual, pasta / "x.CSV");
    // A writer that refused leaves the table's file as it was.
    RegistraGravador("DBF", [](TabelaResultados&, const std::string&) { return false; });
    EXPECT_FALSE(SalvaComo(t, pasta / "x.dbf", {}, dir));
    EXPECT_EQ(t.ArquivoAtual, pasta / "x.CSV");
}

TEST(TabelaArquivo, DBFViraTabelaComCodigoENomeOuSoCodigo) {
    teste::PastaTemporaria pasta;
    const std::string nome = pasta / "m.dbf";
    {
        dbfRecord h;
        // Language byte 0: names come from code page 850 when the setting says so.
        CreateDBF(h, nome, {{"COD", 'C', 6}, {"NOME", 'C', 10}, {"POP", 'N', 8, 0}, {"TAXA", 'N', 6, 2}}, 0);
        std::string reg(h.TamRegistro, ' ');
        const char* linhas[][4] = {{"110001", "Ariquem\x83s", "90353", "1.25"}, {"110002", "Cacoal", "", "-3.50"}};
        for (auto& l : linhas) {
            for (int i = 0; i < 4; ++i) PutFieldDBF(h, i + 1, l[i], reg.data());
            AppendDBF(h, reg.data());
        }
        CloseDBF(h);
    }
    struct Caso {
        EscolhaCamposDBF escolha;
        bool cp850;
        std::int32_t colunas, tamCodigo;
        const char* rotulo1;
        const char* titulo0;
    } casos[] = {{{1, 2, false}, true, 4, 6, "110001 Ariquem\xE2s", "NOME"},
                 {{1, 2, true}, false, 2, 6, "110001 Ariquem\x83s", "NOME"},
                 {{2, 2, true}, true, 2, SemCodigo, "Ariquem\xE2s", "NOME"}};
    for (const Caso& c : casos) {
        TabelaResultados t;
        std::vector<std::string> campos;
        ASSERT_TRUE(LeDBFComoTabela(
            t, nome,
            [&](const std::vector<std::string>& n) {
                campos = n;
                return std::optional<EscolhaCamposDBF>(c.escolha);
            },
            c.cp850));
        EXPECT_EQ(campos, (std::vector<std::string>{"COD", "NOME", "POP", "TAXA"}));
        ASSERT_EQ(t.NumLinhas, 2);
        EXPECT_EQ(t.NumColunas(), c.colunas);
        EXPECT_EQ(t.TamCodigo, c.tamCodigo);
        EXPECT_EQ(t.Rotulo(1), c.rotulo1);
        EXPECT_EQ(t.NomeColuna(0), c.titulo0);
        const std::int32_t pop = c.colunas == 4 ? 3 : 1;
        EXPECT_DOUBLE_EQ(t.Dado(pop, 1), 90353);
        EXPECT_DOUBLE_EQ(t.Dado(pop, 2), 0);
        EXPECT_DOUBLE_EQ(t.Coluna(pop + 1).Total, -2.25);
        EXPECT_EQ(t.Coluna(pop + 1).Decimais, 2);
    }
    TabelaResultados t;
    EXPECT_FALSE(LeDBFComoTabela(t, nome, [](const std::vector<std::string>&) { return std::nullopt; }, true));
    EXPECT_EQ(t.NumLinhas, 0);
}

TEST(TabelaArquivo, SeparadoresDentroDeRotulosETitulosVoltamIguais) {
    TabelaResultados t;
    t.AlocaLinhas(2, 2);
    t.DefineNomeColuna(0, "Nome; tipo");
    AcrescentaColuna(t, "A;B,C\tD", 0);
    t.Rotulo(1) = "x;y";
    t.Rotulo(2) = "a,b\tc";
    t.Dado(1, 1) = 1;
    t.Dado(1, 2) = 2;
    CalculaTotal(t, 1);
    TabelaResultados l;
    ASSERT_TRUE(LeTabelaDeTexto(l, TextoTab(t, {}), "x").tabela);
    ASSERT_EQ(l.NumColunas(), 1);
    EXPECT_EQ(l.NomeColuna(0), "Nome; tipo");
    EXPECT_EQ(l.NomeColuna(1), "A;B,C D");
    EXPECT_EQ(l.Rotulo(1), "x;y");
    EXPECT_EQ(l.Rotulo(2), "a,b c");
    EXPECT_DOUBLE_EQ(l.Dado(1, 2), 2);
}

namespace {

std::string TextoGrande(const std::string& cabecalho, int linhas, const std::string& linha) {
    std::string s = cabecalho + "\n";
    s.reserve(s.size() + static_cast<std::size_t>(linhas) * (linha.size() + 1));
    for (int r = 0; r < linhas; ++r) s += linha + "\n";
    return s;
}

std::string CabecalhoDeColunas(int colunas) {
    std::string s = "\"Linha\"";
    for (int c = 1; c <= colunas; ++c) s += ";\"C" + std::to_string(c) + "\"";
    return s;
}

// An empty first title reads as no title at all, which is how an empty title is
// saved: reading, saving and reading again give the same title.
TEST(TabelaArquivo, UmTitulo1VazioLeComoSemTituloEVoltaIgual) {
    TabelaResultados t;
    ASSERT_TRUE(LeTabelaDeTexto(t, "Titulo1=\r\nTitulo2=segundo\r\n\"L\";\"A\"\r\n\"x\";1\r\n\"y\";2\r\n", "x.tab").tabela);
    EXPECT_EQ(t.Titulo1, "Dorvan:x.tab");
    TabelaResultados l;
    ASSERT_TRUE(LeTabelaDeTexto(l, TextoTab(t, {}), "y.tab").tabela);
    EXPECT_EQ(l.Titulo1, t.Titulo1);
    EXPECT_EQ(l.Titulo2, "segundo");
}

// The reader drops a last column titled DUMMY; a title that only reads back as
// DUMMY once written (a lone carriage return inside it is not written) keeps its
// column behind a DUMMY field of its own.
TEST(TabelaArquivo, UmTituloQueGravadoViraDUMMYNaoPerdeAColuna) {
    for (const char* nome : {"DUM\rMY", "DUMMY", "DUMMY\r"}) {
        SCOPED_TRACE(nome);
        TabelaResultados t = teste::MontaTabela({"a", "b"}, {{"Pop", {1, 2}}, {nome, {3, 4}}});
        TabelaResultados l;
        ASSERT_TRUE(LeTabelaDeTexto(l, TextoTab(t, {}), "x.tab").tabela);
        ASSERT_EQ(l.NumColunas(), 2);
        EXPECT_EQ(l.NomeColuna(2), "DUMMY");
        EXPECT_EQ(l.Dado(2, 2), 4);
    }
}

} // namespace

// A header of one title and 100,000 empty fields over rows of one value fills one
// column: the table is sized by that, not by the widest line.
TEST(TabelaArquivo, CamposVaziosDoCabecalhoNaoViramColunas) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TabelaResultados t;
    const std::string texto = TextoGrande("T" + std::string(100000, ';'), 3, "r;1;;;");
    ASSERT_TRUE(LeTabelaDeTexto(t, texto, "x").tabela);
    EXPECT_EQ(t.NumColunas(), 1);
    EXPECT_EQ(t.NumLinhas, 3);
    EXPECT_DOUBLE_EQ(t.Coluna(1).Total, 3);
    EXPECT_TRUE(msgs.Textos().empty());
    // A titled column, or one a row fills, is kept even when empty elsewhere.
    ASSERT_TRUE(LeTabelaDeTexto(t, "L;A;;B;;\nr;1;;;;\ns;;;;7;\n", "x").tabela);
    EXPECT_EQ(t.NumColunas(), 4);
    EXPECT_EQ(t.NomeColuna(3), "B");
    EXPECT_DOUBLE_EQ(t.Dado(4, 2), 7);
}

// 6000 titled columns over 199,001 rows would take about 9.6 GB: refused with a
// message naming the file, through the menu, the clipboard and a merge alike.
TEST(TabelaArquivo, TabelaQueNaoCabeNaMemoriaERecusadaComMensagem) {
    const std::string texto = TextoGrande(CabecalhoDeColunas(MaxColunas), MaxLinhasTabela, "\"r\";1");
    const std::string esperada = "A tabela do arquivo /dados/enorme.tab tem 199001 linhas e 6000 colunas e n\xE3o cabe "
                                 "na mem\xF3ria. Nada foi lido.";
    {
        MensagensRoteiro msgs;
        UsaMensagens usa(msgs);
        TabelaResultados t;
        LeituraTabela r = LeTabelaDeTexto(t, texto, "/dados/enorme.tab");
        EXPECT_FALSE(r.tabela);
        EXPECT_EQ(t.NumLinhas, 0);
        EXPECT_EQ(t.NumColunas(), 0);
        EXPECT_EQ(msgs.Textos(), std::vector<std::string>{esperada});
    }
    {
        teste::PastaTemporaria pasta;
        pasta.Grava("enorme.tab", texto);
        MensagensRoteiro msgs;
        UsaMensagens usa(msgs);
        TabelaResultados t;
        EXPECT_FALSE(LeTabela(t, pasta / "enorme.tab").tabela);
        ASSERT_EQ(msgs.Textos().size(), 1u);
        EXPECT_NE(msgs.Textos()[0].find("enorme.tab tem 199001 linhas e 6000 colunas"), std::string::npos);
    }
}

// Whatever the titles, a saved table reads back with the same columns, titles and
// values; a last column titled "DUMMY" (the writers' mark for "no columns") too.
TEST(TabelaArquivo, TitulosDificeisVoltamIguais) {
    const std::vector<std::vector<std::string>> casos = {
        {"DUMMY"},
        {"A", "DUMMY"},
        {"DUMMY", "DUMMY"},
        {"DUMMY", "B"},
        {"Total", "dummy", "DUMMY"},
        {"", "", ""},
        {"A", ""},
        {";", ",", "a;b;c", "1,5"},
        {"Titulo1=x", "Nota   1   1  1y", "[Mapa]", "Cor0=1", "Log=z"},
        {"\xD3" "bitos por ra\xE7" "a/cor \xBA", std::string(60, 'x')},
        {"0", "-1", "1E5"},
    };
    for (const auto& titulos : casos) {
        TabelaResultados t;
        t.AlocaLinhas(2, 2);
        t.Titulo1 = "Dorvan:x";
        t.DefineNomeColuna(0, "Linha");
        t.Rotulo(1) = "a";
        t.Rotulo(2) = "b";
        for (std::size_t k = 0; k < titulos.size(); ++k) {
            const auto c = static_cast<std::int32_t>(k) + 1;
            AcrescentaColuna(t, titulos[k], 1);
            t.Dado(c, 1) = c + 0.5;
            t.Dado(c, 2) = -c;
            CalculaTotal(t, c);
        }
        const std::string texto = TextoTab(t, {});
        TabelaResultados l;
        ASSERT_TRUE(LeTabelaDeTexto(l, texto, "x").tabela) << titulos[0];
        ASSERT_EQ(l.NumColunas(), t.NumColunas()) << texto;
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
            EXPECT_EQ(l.NomeColuna(c), t.NomeColuna(c)) << texto;
            EXPECT_DOUBLE_EQ(l.Dado(c, 1), t.Dado(c, 1)) << texto;
            EXPECT_DOUBLE_EQ(l.Dado(c, 2), t.Dado(c, 2)) << texto;
            EXPECT_DOUBLE_EQ(l.Coluna(c).Total, t.Coluna(c).Total) << texto;
        }
        // And again: what was read writes the same bytes.
        EXPECT_EQ(TextoTab(l, {}), texto);
    }
}
