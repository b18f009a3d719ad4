// The maps as the user opens them from the main window: every foreign map the "Mapa"
// button's open dialog offers is converted into a .MAP beside it and shown, and what
// the map window has to say opens in front of it.
#include "app/ui/ProgramaMontado.h"

#include "data/LeDBF32.h"
#include "maps/ui/TEscolheNome.h"
#include "maps/ui/TMapa.h"
#include "platform/ui/Janelas.h"
#include "table/ui/GradeFixa.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

// Four squares side by side whose codes are those of the test table's rows (11..14).
const char* const Codigos[] = {"11", "12", "13", "14"};
const char* const Nomes[] = {"Norte", "Nordeste", "Sudeste", "Sul"};

std::string Bytes32(std::int32_t v, bool grande) {
    const auto u = static_cast<std::uint32_t>(v);
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((u >> (8 * (grande ? 3 - i : i))) & 0xFF);
    return s;
}

std::string Bytes64(double d) {
    const auto u = std::bit_cast<std::uint64_t>(d);
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += static_cast<char>((u >> (8 * i)) & 0xFF);
    return s;
}

// A point shapefile with its attribute table (CODIGO, NOME).
std::string GravaShape(const std::string& pasta) {
    std::string corpo;
    for (int k = 0; k < 4; ++k) {
        const std::string c = Bytes32(1, false) + Bytes64(k + 0.5) + Bytes64(0.5);
        corpo += Bytes32(k + 1, true) + Bytes32(static_cast<std::int32_t>(c.size() / 2), true) + c;
    }
    const std::string h = Bytes32(9994, true) + std::string(20, '\0') +
                          Bytes32(static_cast<std::int32_t>((100 + corpo.size()) / 2), true) + Bytes32(1000, false) +
                          Bytes32(1, false) + Bytes64(0) + Bytes64(0) + Bytes64(4) + Bytes64(1) + std::string(32, '\0');
    dbfRecord d;
    CreateDBF(d, pasta + "/REGIOES.DBF", {{"CODIGO", 'C', 2}, {"NOME", 'C', 20}}, 0x57);
    std::string reg(d.TamRegistro, ' ');
    for (int k = 0; k < 4; ++k) {
        reg.assign(d.TamRegistro, ' ');
        PutFieldDBF(d, 1, Codigos[k], reg.data());
        PutFieldDBF(d, 2, Nomes[k], reg.data());
        AppendDBF(d, reg.data());
    }
    CloseDBF(d);
    return Pasta().Grava("mapas/shp/regioes.shp", h + corpo);
}

// The foreign map of this extension, in a folder of its own.
std::string MapaEstrangeiro(const std::string& formato) {
    const std::string pasta = "mapas/" + formato + "/";
    fs::create_directories(Pasta() / pasta);
    std::string s;
    auto quadrado = [&s](int k, const char* formato) {
        const int x = k, y = 0;
        const int v[5][2] = {{x, y}, {x + 1, y}, {x + 1, y + 1}, {x, y + 1}, {x, y}};
        for (const auto& p : v) {
            char linha[40];
            std::snprintf(linha, sizeof linha, formato, p[0], p[1]);
            s += linha;
        }
    };
    if (formato == "bna") {
        for (int k = 0; k < 4; ++k) {
            s += "\"" + std::string(Codigos[k]) + "\",\"" + Nomes[k] + "\",5\n";
            quadrado(k, "%d,%d\n");
        }
    } else if (formato == "bnd") {
        s = "\"_CORNERS\",2\n0,0\n4,1\n";
        for (int k = 0; k < 4; ++k) {
            s += "\"" + std::string(Codigos[k]) + " " + Nomes[k] + "\",5\n";
            quadrado(k, "%d,%d\n");
        }
    } else if (formato == "xy") {
        s = "! regioes\nunidades\n";
        for (int k = 0; k < 4; ++k) {
            s += std::string(Codigos[k]) + " " + Nomes[k] + "," + std::to_string(k) + ",0\n";
            const std::string t = s;
            s.clear();
            quadrado(k, "%d,%d\n");
            s = t + s.substr(s.find('\n') + 1);
        }
    } else if (formato == "mme") {
        s = "[header]\nmax x=4\nmin x=0\nmax y=1\nmin y=0\n";
        for (int k = 0; k < 4; ++k) {
            s += "[object " + std::to_string(k + 1) + "]\ntype=polygon\nid=" + Codigos[k] + "\nname=" + Nomes[k] + "\n";
            s += "[object " + std::to_string(k + 1) + "-loop 1]\n";
            const std::string t = s;
            s.clear();
            quadrado(k, "=%d,%d\n");
            std::string pontos;
            int n = 0;
            for (std::size_t i = 0; i < s.size();) {
                const std::size_t f = s.find('\n', i);
                pontos += std::to_string(++n) + s.substr(i, f + 1 - i);
                i = f + 1;
            }
            s = t + pontos;
        }
    } else if (formato == "mif") {
        s = "Version 300\nDelimiter \",\"\nColumns 2\n  Codigo Char(2)\n  Nome Char(20)\nData\n";
        std::string mid;
        for (int k = 0; k < 4; ++k) {
            s += "Region 1\n  5\n";
            quadrado(k, "%d %d\n");
            s += "    Center " + std::to_string(k) + ".5 0.5\n";
            mid += "\"" + std::string(Codigos[k]) + "\",\"" + Nomes[k] + "\"\n";
        }
        Pasta().Grava(pasta + "regioes.mid", mid);
    } else if (formato == "wpt") {
        s = "H  SOFTWARE\n";
        for (int k = 0; k < 4; ++k)
            s += "W  0000" + std::string(Codigos[k]) + " S0030.0000 W0450" + std::to_string(k) + ".0000\n";
    } else if (formato == "e00") {
        // A point coverage: the labels' identifiers are the codes.
        auto d = [](const std::string& t, std::size_t n) { return std::string(n - t.size(), ' ') + t; };
        auto e = [](const std::string& t, std::size_t n) { return t + std::string(n - t.size(), ' '); };
        auto item = [](const std::string& nome, int largura, char tipo) {
            std::string l(80, ' ');
            l.replace(0, nome.size(), nome);
            l.replace(29, 3, std::string(3 - std::to_string(largura).size(), ' ') + std::to_string(largura));
            l[35] = tipo;
            return l + "\n";
        };
        s = "EXP  0 REGIOES.E00\nLAB  2\n";
        for (int k = 0; k < 4; ++k) {
            const std::string x = std::to_string(k) + ".5";
            s += d(Codigos[k], 10) + d("0", 10) + d(x, 14) + d("0.5", 14) + "\n" + d(x, 14) + "\n";
        }
        s += d("-1", 10) + d("0", 10) + "\n";
        s += "IFO  2\n" + e("REGIOES.BND", 32) + "XX" + d("0", 4) + d("0", 4) + d("0", 4) + d("0", 10) + "\n";
        s += e("REGIOES.PAT", 32) + "XX" + d("2", 4) + d("2", 4) + d("0", 4) + d("4", 10) + "\n";
        s += item("AREA", 4, '4') + item("REGIOES-ID", 4, '5');
        for (int k = 0; k < 4; ++k)
            s += d("0.0", 14) + d(Codigos[k], 11) + "\n";
        s += "EOI\n";
    } else if (formato == "shp") {
        return GravaShape(Pasta() / ("mapas/" + formato));
    }
    return Pasta().Grava(pasta + "regioes." + formato, s);
}

// Answers the open dialog with `arquivo`, the field chooser with its defaults and the
// column question with the first column.
std::function<void(QWidget*)> AbreMapa(const std::string& arquivo, std::vector<std::string>& vistos) {
    return [arquivo, &vistos](QWidget* w) {
        vistos.push_back(w->metaObject()->className());
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(arquivo)(d);
        if (auto* escolhe = qobject_cast<TEscolheNome*>(w)) return escolhe->OK->click();
        if (auto* lista = w->findChild<QListWidget*>(); lista && lista->count() > 0) {
            lista->item(0)->setSelected(true);
            if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
        }
    };
}

bool TemDesenho(const QImage& imagem) {
    for (int y = 0; y < imagem.height(); ++y)
        for (int x = 0; x < imagem.width(); ++x)
            if (imagem.pixelColor(x, y) != QColor(Qt::white)) return true;
    return false;
}

class MapaEstrangeiroPeloBotao : public ::testing::TestWithParam<const char*> {};

// Each foreign map chosen in the "Mapa" button's dialog is converted into a .MAP
// beside it, which the map window then draws; nothing is said on the way.
TEST_P(MapaEstrangeiroPeloBotao, IsConvertedAndShown) {
    const std::string formato = GetParam();
    const std::string arquivo = MapaEstrangeiro(formato);
    Prepara(Estado::ComTabela);
    Principal().Tabela().NomeMapa.clear();
    std::vector<std::string> vistos;
    ASSERT_NE(Mapa, nullptr);
    std::vector<std::string> legendas; // the map window's captions on the way
    const QMetaObject::Connection c = QObject::connect(
        Mapa, &QWidget::windowTitleChanged, [&legendas](const QString& s) { legendas.push_back(s.toStdString()); });
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("bMapa")), AbreMapa(arquivo, vistos));
    QObject::disconnect(c);
    // Only some importers name their input file in the map window's caption.
    const bool comLegenda =
        formato == "bnd" || formato == "wpt" || formato == "xy" || formato == "bna" || formato == "mif";
    EXPECT_EQ(std::find(legendas.begin(), legendas.end(), arquivo) != legendas.end(), comLegenda)
        << ::testing::PrintToString(legendas);
    const std::string mapa = (fs::path(arquivo).parent_path() / "regioes.MAP").string();
    EXPECT_TRUE(fs::is_regular_file(mapa)) << e.Descreve();
    EXPECT_EQ(Principal().Tabela().NomeMapa, mapa);
    EXPECT_THAT(e.mensagens, IsEmpty());
    ASSERT_NE(Mapa, nullptr);
    EXPECT_THAT(e.janelas, ::testing::Contains(HasSubstr("Mapa"))) << e.Descreve();
    EXPECT_TRUE(TemDesenho(Mapa->Imagem())) << "the map window drew nothing";
    if (formato == "bna" || formato == "mif" || formato == "e00" || formato == "shp") {
        EXPECT_THAT(vistos, ::testing::Contains("dorvan::TEscolheNome"));
    }
    Mapa->BSairClick();
}

INSTANTIATE_TEST_SUITE_P(Formatos, MapaEstrangeiroPeloBotao,
                         ::testing::Values("bna", "bnd", "mif", "mme", "wpt", "xy", "e00", "shp"));

// A map the window cannot draw says so in a box that belongs to the map window, so the
// box opens in front of it rather than behind it.
TEST(Mapas, TheMapWindowsMessageOpensInFrontOfIt) {
    const std::string ruim = Pasta().Grava("mapas/ruim.map", std::string(40, 'x'));
    Prepara(Estado::ComTabela);
    Principal().Tabela().NomeMapa.clear();
    MensagensQt qt;
    UsaMensagens usa(qt);
    std::vector<std::string> vistos;
    std::vector<std::string> pais; // the window each box belongs to
    const auto nome = [](QWidget* w) {
        if (!w) return std::string("no window");
        return w == Mapa ? std::string("the map window") : w->metaObject()->className();
    };
    std::vector<std::string> textos;
    const auto abre = AbreMapa(ruim, vistos);
    Dispara(Principal().Acao(QStringLiteral("bMapa")), [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return abre(w);
        pais.push_back(nome(box->parentWidget() ? box->parentWidget()->window() : nullptr));
        textos.push_back(box->text().toStdString());
        box->accept();
    });
    ASSERT_FALSE(pais.empty());
    for (const std::string& pai : pais)
        EXPECT_EQ(pai, "the map window");
    EXPECT_EQ(pais.size(), 1u) << "one box for the redraws of one opening";
    EXPECT_THAT(textos[0], HasSubstr("ruim.map"));
    Mapa->BSairClick();
}

// The columns the grid shows, as its view counts them.
int ColunasNaGrade() { return Principal().StringGrid1->horizontalHeader()->count(); }

// The columns the map tools add to the table show in the grid at once.
TEST(Mapas, ColumnsAddedByTheMapToolsShowInTheGrid) {
    const std::string arquivo = MapaEstrangeiro("shp");
    Prepara(Estado::ComTabela);
    Principal().Tabela().NomeMapa.clear();
    std::vector<std::string> vistos;
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("bMapa")), AbreMapa(arquivo, vistos));
    ASSERT_NE(Mapa, nullptr) << e.Descreve();
    Mapa->show();
    QApplication::processEvents();
    const TabelaResultados& t = Principal().Tabela();
    const std::int32_t antes = t.NumColunas();
    ASSERT_EQ(ColunasNaGrade(), antes + 1);

    Mapa->Acao(QStringLiteral("SelecionarAreas1"))->trigger();
    ASSERT_EQ(t.NumColunas(), antes + 1);
    EXPECT_EQ(t.NomeColuna(antes + 1), "Selecionada");
    EXPECT_EQ(ColunasNaGrade(), antes + 2) << "the selection column is not in the grid";
    Mapa->Acao(QStringLiteral("SelecionarAreas1"))->trigger();

    Mapa->Acao(QStringLiteral("GerarColunaDistancias1"))->trigger();
    QTest::mouseClick(Mapa->Cliente, Qt::LeftButton, {}, Mapa->Cliente->rect().center());
    QApplication::processEvents();
    ASSERT_EQ(t.NumColunas(), antes + 2);
    EXPECT_EQ(t.NomeColuna(antes + 2), "Distancias");
    EXPECT_EQ(ColunasNaGrade(), antes + 3) << "the distance column is not in the grid";
    Mapa->BSairClick();
    Prepara(Estado::SemTabela);
}

} // namespace
