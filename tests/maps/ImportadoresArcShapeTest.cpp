#include "maps/Importadores.h"

#include "data/LeDBF32.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "ApoioImportadores.h"
#include "table/Configuracao.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <string>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

std::vector<PontoMapa> P(std::initializer_list<PontoMapa> l) { return l; }

// Right-aligned in a field of width n.
std::string D(const std::string& s, std::size_t n) { return std::string(n > s.size() ? n - s.size() : 0, ' ') + s; }
std::string D(long long v, std::size_t n) { return D(std::to_string(v), n); }
std::string E(const std::string& s, std::size_t n) { return s + std::string(n > s.size() ? n - s.size() : 0, ' '); }

// One ARC entry: header line and coordinate lines, two pairs per line (single precision).
std::string Arco(int numero, int esquerda, int direita, std::vector<std::pair<std::string, std::string>> v) {
    std::string s = D(numero, 10) + D(numero, 10) + D(1, 10) + D(2, 10) + D(esquerda, 10) + D(direita, 10) +
                    D(static_cast<long long>(v.size()), 10) + "\n";
    for (std::size_t i = 0; i < v.size(); i += 2) {
        s += D(v[i].first, 14) + D(v[i].second, 14);
        if (i + 1 < v.size()) s += D(v[i + 1].first, 14) + D(v[i + 1].second, 14);
        s += "\n";
    }
    return s;
}
const std::string FimSecao = D(-1, 10) + D(0, 10) + D(0, 10) + D(0, 10) + D(0, 10) + D(0, 10) + D(0, 10) + "\n";

// The header line of an attribute table and one item definition line.
// definicoes: the item definition lines that follow (more than the items when some are redefined).
std::string Tabela(const std::string& nome, int itens, int registros, int definicoes = -1) {
    std::string s =
        E(nome, 32) + "XX" + D(itens, 4) + D(definicoes < 0 ? itens : definicoes, 4) + D(0, 4) + D(registros, 10);
    return s + "\n";
}
std::string Item(const std::string& nome, int largura, char tipo) {
    std::string s(80, ' ');
    s.replace(0, nome.size(), nome);
    s.replace(29, 3, D(largura, 3));
    s[35] = tipo;
    return s + "\n";
}

// redefinidos: two more definition lines overlaying CODIGO, as INFO writes redefined items.
std::string PoligonosE00(bool redefinidos = false) {
    std::string s = "EXP  0 /dados/COBERT.E00\n";
    s += "ARC  2\n";
    s += Arco(1, 1, 2, {{"0.0", "0.0"}, {"1.0", "0.0"}, {"1.0", "1.0"}});
    s += Arco(2, 2, 1, {{"0.0", "0.0"}, {"0.0", "1.0"}, {"1.0", "1.0"}}); // joins by its last vertex
    s += Arco(3, 2, 3, {{"5.0", "5.0"}, {"6.0", "5.0"}, {"6.0", "6.0"}, {"5.0", "5.0"}});
    s += FimSecao;
    s += "CNT  2\n";
    s += D(0, 10) + D("0.0", 14) + D("0.0", 14) + "\n";
    s += D(1, 10) + D("0.5", 14) + D("0.5", 14) + "\n" + D(1, 10) + "\n";
    s += D(1, 10) + D("5.5", 14) + D("5.2", 14) + "\n" + D(2, 10) + "\n";
    s += D(-1, 10) + D(0, 10) + "\n";
    s += "IFO  2\n";
    s += Tabela("COBERT.BND", 1, 1) + Item("XMIN", 4, '5') + D(0, 11) + "\n";
    s += Tabela("COBERT.PAT", 6, 3, redefinidos ? 8 : 6);
    s += Item("AREA", 4, '4') + Item("PERIMETER", 4, '4') + Item("COBERT#", 4, '5') + Item("COBERT-ID", 4, '5') +
         Item("CODIGO", 17, '2') + Item("NOME", 14, '2');
    if (redefinidos) s += Item("UF", 2, '2') + Item("MUNIC", 5, '2');
    // 14+14+11+11+17+14 = 81 characters: the last one of every record is on a second line.
    auto reg = [&](const std::string& codigo, const std::string& nome, int id) {
        const std::string t = D("0.0", 14) + D("0.0", 14) + D(id, 11) + D(id, 11) + D(codigo, 17) + E(nome, 14);
        s += t.substr(0, 80) + "\n" + t.substr(80) + "\n";
    };
    reg("", "FORA", 0);
    reg("3304557", "ILHA GRANDE XY", 1);
    reg("12", "ILHOTA", 2);
    s += "EOI\n";
    return s;
}

TEST(ImportaE00, PolygonCoverageJoinsArcsIntoRingsAndSkipsTheOuterRecord) {
    PastaTemporaria pasta;
    const std::string nome = pasta.Grava("cobert.e00", PoligonosE00());
    std::vector<std::string> candidatos;
    EscolhaCampos padrao;
    ASSERT_EQ(ImportaE00(nome,
                         [&](const std::vector<std::string>& c, EscolhaCampos p) {
                             candidatos = c;
                             padrao = p;
                             return EscolhaCampos{1, 2};
                         }),
              pasta / "cobert.MAP");
    EXPECT_EQ(candidatos, (std::vector<std::string>{"COBERT-ID", "CODIGO", "NOME"}));
    EXPECT_EQ(padrao, (EscolhaCampos{0, 1}));
    const Mapa m = LeMapa(pasta / "cobert.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    const RegistroMapa& a = m.Registros[0];
    EXPECT_EQ(a.Tipo, TipoPoligono);
    EXPECT_EQ(a.Codigo, "3304557");
    EXPECT_EQ(a.Nome, "ILHA GRANDE XY");
    EXPECT_EQ(a.Pontos, P({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {5, 5}, {6, 5}, {6, 6}, {5, 5}, {0, 0}}));
    EXPECT_EQ(a.RotuloX, 0.5f);
    const RegistroMapa& b = m.Registros[1];
    EXPECT_EQ(b.Codigo, "  12"); // leading blanks go only while more than 4 characters remain
    EXPECT_EQ(b.Nome, "ILHOTA");
    EXPECT_EQ(b.Pontos, P({{5, 5}, {6, 5}, {6, 6}, {5, 5}}));
    EXPECT_EQ(b.RotuloY, 5.2f);
    EXPECT_EQ(m.Cabecalho.MaxX, 6);
    EXPECT_EQ(m.Cabecalho.MinY, 0);
}

// Redefined items add definition lines, not record text: every polygon keeps its own
// attributes and the last one is still there.
TEST(ImportaE00, RedefinedItemsAreNotTakenForTheFirstRecord) {
    PastaTemporaria pasta;
    const std::string nome = pasta.Grava("cobert.e00", PoligonosE00(true));
    std::vector<std::string> candidatos;
    ASSERT_EQ(ImportaE00(nome,
                         [&](const std::vector<std::string>& c, EscolhaCampos) {
                             candidatos = c;
                             return EscolhaCampos{1, 2};
                         }),
              pasta / "cobert.MAP");
    EXPECT_EQ(candidatos, (std::vector<std::string>{"COBERT-ID", "CODIGO", "NOME"}));
    const Mapa m = LeMapa(pasta / "cobert.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Codigo, "3304557");
    EXPECT_EQ(m.Registros[0].Nome, "ILHA GRANDE XY");
    EXPECT_EQ(m.Registros[1].Codigo, "  12");
    EXPECT_EQ(m.Registros[1].Nome, "ILHOTA");
    EXPECT_EQ(m.Registros[1].Pontos, P({{5, 5}, {6, 5}, {6, 6}, {5, 5}}));
}

TEST(ImportaE00, PointCoverageMatchesLabelsByIdentifier) {
    PastaTemporaria pasta;
    std::string s = "EXP  0 PONTOS.E00\nLAB  2\n";
    s += D(7, 10) + D(0, 10) + D("1.0", 14) + D("2.0", 14) + "\n" + D("1.0", 14) + "\n";
    s += D(9, 10) + D(0, 10) + D("3.0", 14) + D("4.0", 14) + "\n" + D("3.0", 14) + "\n";
    s += D(-1, 10) + D(0, 10) + "\n";
    s += "IFO  2\n" + Tabela("PONTOS.BND", 0, 0) + Tabela("PONTOS.PAT", 2, 3) + Item("AREA", 4, '4') +
         Item("PONTOS-ID", 4, '5');
    s += D("0.0", 14) + D(9, 11) + "\n" + D("0.0", 14) + D(7, 11) + "\n" + D("0.0", 14) + D(8, 11) + "\n";
    ImportaE00(pasta.Grava("pontos.e00", s));
    const Mapa m = LeMapa(pasta / "pontos.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[0].Pontos, P({{3, 4}}));
    EXPECT_EQ(m.Registros[0].Codigo, "   9");
    EXPECT_EQ(m.Registros[0].Nome, "          9"); // only trailing blanks go
    EXPECT_EQ(m.Registros[1].Pontos, P({{1, 2}}));
}

TEST(ImportaE00, PointCoverageWhoseTableHasNoItemsWritesNoRecords) {
    // No identifier item: no record can name its label point.
    PastaTemporaria pasta;
    std::string s = "LAB  2\n";
    s += D(7, 10) + D(0, 10) + D("1.0", 14) + D("2.0", 14) + "\n" + D("1.0", 14) + "\n";
    s += D(-1, 10) + D(0, 10) + "\n";
    s += "IFO  2\n" + Tabela("PONTOS.PAT", 0, 2);
    EXPECT_EQ(ImportaE00(pasta.Grava("vazio.e00", s)), pasta / "vazio.MAP");
    EXPECT_TRUE(LeMapa(pasta / "vazio.MAP").Registros.empty());
}

TEST(ImportaE00, LineCoverageGivesOnePolylinePerArc) {
    PastaTemporaria pasta;
    std::string s = "ARC  2\n";
    s += Arco(1, 0, 0, {{"0.0", "0.0"}, {"1.0", "0.0"}, {"2.0", "0.0"}, {"3.0", "0.0"}});
    s += Arco(2, 0, 0, {{"0.0", "1.0"}, {"0.0", "2.0"}});
    s += FimSecao + "IFO  2\n" + Tabela("RIOS.AAT", 2, 2) + Item("RIOS-ID", 4, '5') + Item("NOME", 6, '2');
    s += D(1, 11) + "Tiete \n" + D(2, 11) + "Pardo \n";
    ImportaE00(pasta.Grava("rios.e00", s));
    const Mapa m = LeMapa(pasta / "rios.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[0].Nome, "Tiete");
    EXPECT_EQ(m.Registros[0].Pontos.size(), 4u);
    EXPECT_EQ(m.Registros[0].RotuloX, 1); // vertex 2 of 4
    EXPECT_EQ(m.Registros[1].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[1].Pontos, P({{0, 1}, {0, 2}}));
}

TEST(ImportaE00, MissingAttributeTableAndOversizedArcNumber) {
    PastaTemporaria pasta;
    std::string s = PoligonosE00();
    s = s.substr(0, s.find("COBERT.PAT"));
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    EXPECT_EQ(ImportaE00(pasta.Grava("c.e00", s)), "");
    EXPECT_FALSE(std::filesystem::exists(pasta / "c.MAP"));

    std::string t = "ARC  2\n" + Arco(1, 0, 0, {{"0.0", "0.0"}, {"1.0", "1.0"}});
    t += D(40000, 10) + D(0, 10) + D(1, 10) + D(2, 10) + D(0, 10) + D(0, 10) + D(0, 10) + "\n";
    t += "IFO  2\n" + Tabela("X.AAT", 1, 1) + Item("X-ID", 4, '5') + D(1, 11) + "\n";
    ImportaE00(pasta.Grava("x.e00", t));
    EXPECT_EQ(msg.Textos(), (std::vector<std::string>{"Arquivo n\xE3o importado! Falta tabela de atributos.",
                                                      "Excedeu m\xE1ximo de arcos"}));
    EXPECT_EQ(LeMapa(pasta / "x.MAP").Registros.size(), 1u);
}

TEST(ImportaE00, ReorderedOrDamagedSectionsEndWithTheFileAndLineNamed) {
    // Label points before the centroids, then a table whose identifiers name them:
    // the centroids must not be taken for the labels' points.
    std::string labCnt = "EXP  0 PONTOS.E00\nLAB  2\n";
    labCnt += D(7, 10) + D(0, 10) + D("1.0", 14) + D("2.0", 14) + "\n" + D("1.0", 14) + "\n";
    labCnt += D(9, 10) + D(0, 10) + D("3.0", 14) + D("4.0", 14) + "\n" + D("3.0", 14) + "\n";
    labCnt += D(-1, 10) + D(0, 10) + "\n";
    labCnt += "CNT  2\n" + D(1, 10) + D("0.5", 14) + D("0.5", 14) + "\n" + D(-1, 10) + "\n";
    labCnt += "IFO  2\n" + Tabela("PONTOS.PAT", 1, 2) + Item("PONTOS-ID", 4, '5') + D(9, 11) + "\n" + D(7, 11) + "\n";

    std::string arcoRuim = "ARC  2\n" + Arco(1, 0, 0, {{"0.0", "0.0"}, {"1.0", "1.0"}});
    arcoRuim += D("x", 10) + D(2, 10) + D(1, 10) + D(2, 10) + D(0, 10) + D(0, 10) + D(1, 10) + "\n";

    const std::string cortado = PoligonosE00().substr(0, PoligonosE00().find("CNT  2"));
    const struct {
        const char* caso;
        std::string bytes;
        std::string motivo;
    } casos[] = {
        {"LAB before CNT", labCnt, "linha 8: se\xE7\xE3o CNT depois da se\xE7\xE3o LAB"},
        {"bad arc number", arcoRuim, "linha 4: '    x' n\xE3o \xE9 um n\xFAmero inteiro v\xE1lido"},
        {"cut inside a section", cortado + "CNT  2\n", "linha 14: fim do arquivo inesperado"},
    };
    PastaTemporaria pasta;
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        const std::string nome = pasta.Grava("d.e00", c.bytes);
        try {
            ImportaE00(nome);
            ADD_FAILURE() << "imported";
        } catch (const ErroES& e) {
            EXPECT_EQ(e.Arquivo(), nome);
            EXPECT_EQ(e.Motivo(), c.motivo);
        }
        EXPECT_FALSE(std::filesystem::exists(pasta / "d.MAP"));
    }
}

// ---- shapefiles, bytes laid out by hand -------------------------------------------

std::string LE32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
            static_cast<char>(u >> 24)};
}
std::string BE32(std::int32_t v) {
    std::string s = LE32(v);
    return {s[3], s[2], s[1], s[0]};
}
std::string F64(double d) {
    const auto u = std::bit_cast<std::uint64_t>(d);
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += static_cast<char>((u >> (8 * i)) & 0xFF);
    return s;
}

struct Forma {
    int tipo;
    std::vector<std::vector<std::pair<double, double>>> partes;
};

std::string Conteudo(const Forma& f) {
    std::string c = LE32(f.tipo);
    if (f.tipo == 0) return c;
    if (f.tipo == 1) return c + F64(f.partes[0][0].first) + F64(f.partes[0][0].second);
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    int n = 0;
    std::string inicios, pontos;
    for (const auto& parte : f.partes) {
        inicios += LE32(n);
        for (const auto& [x, y] : parte) {
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            pontos += F64(x) + F64(y);
            ++n;
        }
    }
    return c + F64(x0) + F64(y0) + F64(x1) + F64(y1) + LE32(static_cast<int>(f.partes.size())) + LE32(n) + inicios +
           pontos;
}

std::string Shape(int tipo, const std::vector<Forma>& formas) {
    std::string corpo;
    int numero = 1;
    for (const Forma& f : formas) {
        const std::string c = Conteudo(f);
        corpo += BE32(numero++) + BE32(static_cast<int>(c.size() / 2)) + c;
    }
    std::string h = BE32(9994) + std::string(20, '\0') + BE32(static_cast<int>((100 + corpo.size()) / 2)) + LE32(1000) +
                    LE32(tipo) + F64(-10) + F64(-20) + F64(30) + F64(40) + std::string(32, '\0');
    return h + corpo;
}

void GravaDbf(const std::string& nome, const std::vector<CampoDBF>& campos,
              const std::vector<std::vector<std::string>>& linhas, std::uint8_t idioma = 0x57) {
    dbfRecord h;
    CreateDBF(h, nome, campos, idioma);
    std::string reg(h.TamRegistro, ' ');
    for (const auto& l : linhas) {
        reg.assign(h.TamRegistro, ' ');
        for (std::size_t i = 0; i < l.size(); ++i)
            PutFieldDBF(h, static_cast<int>(i) + 1, l[i], reg.data());
        AppendDBF(h, reg.data());
    }
    CloseDBF(h);
}

TEST(ImportaSHP, PolygonWithHoleGivesTwoRecordsAndLongCodesLoseSevenCharacters) {
    PastaTemporaria pasta;
    const Forma comFuro{5, {{{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}}, {{1, 1}, {2, 1}, {2, 2}, {1, 1}}}};
    const Forma ponto{1, {{{7, 8}}}};
    const Forma nula{0, {}};
    const Forma linha{3, {{{0, 0}, {2, 0}, {2, 2}}}};
    pasta.Grava("s.shp", Shape(5, {comFuro, ponto, nula, linha}));
    GravaDbf(pasta / "S.DBF", {{"GEOCOD", 'C', 12}, {"NOME", 'C', 30}},
             {{"123456789012", "Municipio de Sao Jose dos Campos"}, {"35", "P"}, {"36", "Nulo"}, {"37", "L"}});
    std::vector<std::string> candidatos;
    ImportaSHP(pasta / "s.shp", [&](const std::vector<std::string>& c, EscolhaCampos p) {
        candidatos = c;
        return p;
    });
    EXPECT_EQ(candidatos, (std::vector<std::string>{"GEOCOD", "NOME"}));
    const Mapa m = LeMapa(pasta / "s.MAP");
    EXPECT_EQ(m.Cabecalho.MinX, -10);
    EXPECT_EQ(m.Cabecalho.MinY, -20);
    EXPECT_EQ(m.Cabecalho.MaxX, 30);
    EXPECT_EQ(m.Cabecalho.MaxY, 40);
    ASSERT_EQ(m.Registros.size(), 4u);
    for (int i : {0, 1}) {
        EXPECT_EQ(m.Registros[i].Codigo, "89012");
        EXPECT_EQ(m.Registros[i].Nome, "Municipio de Sao Jose dos");
        EXPECT_EQ(m.Registros[i].Tipo, TipoPoligono);
        EXPECT_EQ(m.Registros[i].RotuloX, 2);
    }
    EXPECT_EQ(m.Registros[0].Pontos.size(), 5u);
    EXPECT_EQ(m.Registros[1].Pontos, P({{1, 1}, {2, 1}, {2, 2}, {1, 1}}));
    EXPECT_EQ(m.Registros[2].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[2].Pontos, P({{7, 8}}));
    EXPECT_EQ(m.Registros[3].Codigo, "37");
    EXPECT_EQ(m.Registros[3].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[3].RotuloX, 1);
}

TEST(ImportaSHP, SameFieldForCodeAndNameSplitsAtTheFirstBlank) {
    PastaTemporaria pasta;
    pasta.Grava("s.shp", Shape(1, {{1, {{{1, 1}}}}, {1, {{{2, 2}}}}}));
    GravaDbf(pasta / "s.dbf", {{"ROTULO", 'C', 20}}, {{"1234567 NORTE"}, {"SEMBRANCO"}});
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    msg.Responde("S");
    ImportaSHP(pasta / "s.shp");
    ASSERT_EQ(msg.Registros().size(), 1u);
    EXPECT_EQ(msg.Registros()[0].titulo, "&Aten\xE7\xE3o: separa at\xE9 o primeiro espa\xE7o!");
    EXPECT_EQ(msg.Registros()[0].texto, "Extrair geoc\xF3"
                                        "digo de conte\xFA"
                                        "do do campo ROTULO?");
    const Mapa m = LeMapa(pasta / "s.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Codigo, "1234567 ");
    EXPECT_EQ(m.Registros[0].Nome, "NORTE");
    EXPECT_EQ(m.Registros[1].Codigo, "");
    EXPECT_EQ(m.Registros[1].Nome, "SEMBRANCO");
}

TEST(ImportaSHP, DosNamesAreConvertedAndOtherShapeTypesRefused) {
    PastaTemporaria pasta;
    pasta.Grava("s.shp", Shape(1, {{1, {{{1, 1}}}}}));
    GravaDbf(pasta / "s.dbf", {{"COD", 'C', 5}, {"NOME", 'C', 10}}, {{"1", "S\xC6o"}}, 2);
    ImportaSHP(pasta / "s.shp");
    EXPECT_EQ(LeMapa(pasta / "s.MAP").Registros[0].Nome, "S\xE3o");

    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    pasta.Grava("z.shp", Shape(8, {}));
    EXPECT_EQ(ImportaSHP(pasta / "z.shp"), "");
    EXPECT_EQ(msg.Textos(), std::vector<std::string>{"ShapeType=8: n\xE3o suportado pelo Dorvan"});
    EXPECT_FALSE(std::filesystem::exists(pasta / "z.MAP"));

    pasta.Grava("semdbf.shp", Shape(1, {}));
    EXPECT_THROW(ImportaSHP(pasta / "semdbf.shp"), ErroES);
}

TEST(ImportaSHP, PartsBeyondARecordAreTruncatedWithAMessage) {
    PastaTemporaria pasta;
    Forma longa{3, {{}}};
    for (int i = 0; i < MaxPontosMapa + 5; ++i)
        longa.partes[0].push_back({i, 0});
    pasta.Grava("s.shp", Shape(3, {longa}));
    GravaDbf(pasta / "s.dbf", {{"COD", 'C', 5}, {"NOME", 'C', 30}}, {{"1", "Um rio de nome bem comprido"}});
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    ImportaSHP(pasta / "s.shp");
    EXPECT_EQ(msg.Textos(), std::vector<std::string>{"Um rio de nome bem compri:1=32771 truncado"});
    const Mapa m = LeMapa(pasta / "s.MAP");
    ASSERT_EQ(m.Registros.size(), 1u);
    EXPECT_EQ(m.Registros[0].Pontos.size(), static_cast<std::size_t>(MaxPontosMapa));
}

TEST(ImportaSHP, ARecordOfManyPartsIsNamedAndStillConverted) {
    PastaTemporaria pasta;
    Forma muitas{3, {}};
    for (int i = 0; i < 1501; ++i)
        muitas.partes.push_back({{i, 0}, {i, 1}});
    pasta.Grava("p.shp", Shape(3, {muitas}));
    GravaDbf(pasta / "p.dbf", {{"COD", 'C', 5}, {"NOME", 'C', 5}}, {{"1", "A"}});
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    ImportaSHP(pasta / "p.shp");
    EXPECT_EQ(msg.Textos(), std::vector<std::string>{"Parts=1501"});
    const Mapa m = LeMapa(pasta / "p.MAP");
    ASSERT_EQ(m.Registros.size(), 1501u);
    EXPECT_EQ(m.Registros[1500].Pontos, P({{1500, 0}, {1500, 1}}));
}

// Each DBF row goes with one shape: a DBF cut short would have made a map of the
// first shapes only, reported as done.
TEST(ImportaSHP, ADbfCutShortStopsTheImportWithAnInputOutputError) {
    PastaTemporaria pasta;
    pasta.Grava("s.shp", Shape(1, {{1, {{{1, 1}}}}, {1, {{{2, 2}}}}, {1, {{{3, 3}}}}, {1, {{{4, 4}}}}}));
    GravaDbf(pasta / "s.dbf", {{"COD", 'C', 5}, {"NOME", 'C', 10}}, {{"1", "A"}, {"2", "B"}, {"3", "C"}, {"4", "D"}});
    const std::string dbf = pasta.Le("s.dbf");
    pasta.Grava("s.dbf", dbf.substr(0, dbf.size() - 1 - 16 - 8)); // one and a half records gone
    try {
        ImportaSHP(pasta / "s.shp");
        ADD_FAILURE() << "imported";
    } catch (const ErroES& e) {
        EXPECT_EQ(e.Arquivo(), pasta / "s.dbf");
        EXPECT_EQ(e.Motivo(), "arquivo incompleto: 2 de 4 registros");
    }
    EXPECT_FALSE(std::filesystem::exists(pasta / "s.MAP"));
}

TEST(ImportaArcShape, DamagedFilesEndWithAnErrorOrAMap) {
    PastaTemporaria pasta;
    teste::ImportaDanificados(
        pasta, "c.e00", PoligonosE00(), [](const std::string& a) { return ImportaE00(a); }, 60);
    GravaDbf(pasta / "s.dbf", {{"GEOCOD", 'C', 12}, {"NOME", 'C', 30}},
             {{"1", "A"}, {"2", "B"}, {"3", "C"}, {"4", "D"}});
    const Forma comFuro{5, {{{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}}, {{1, 1}, {2, 1}, {2, 2}, {1, 1}}}};
    const Forma linha{3, {{{0, 0}, {2, 0}, {2, 2}}}};
    teste::ImportaDanificados(
        pasta, "s.shp", Shape(5, {comFuro, {1, {{{7, 8}}}}, {0, {}}, linha}),
        [](const std::string& a) { return ImportaSHP(a); }, 60);
}

} // namespace
} // namespace dorvan
