// The "Gráfico" menu, maps included: every item in every table state, and which
// items a table of so many columns enables.
#include "app/ui/ProgramaMontado.h"

#include <QAction>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(MenuGrafico, EveryItemDoesSomethingInEveryTableState) {
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Grafico1")), IsEmpty());
}

namespace {

// Whether each item is enabled, by its name.
std::map<std::string, bool> Habilitados(const std::vector<std::string>& nomes) {
    std::map<std::string, bool> h;
    for (const std::string& n : nomes)
        h[n] = Principal().Acao(QString::fromStdString(n))->isEnabled();
    return h;
}

} // namespace

TEST(MenuGrafico, ItemsFollowTheColumnCountWithNoTableWithATableAndAfterClosingIt) {
    // Each item and the column count it needs to exceed; the map and point buttons too.
    const std::map<std::string, int> limiares = {
        {"Graficovazio1", 0},  {"Linhas1", 0}, {"Barras1", 0}, {"BarrasHorizontais1", 0},
        {"Setores1", 0},       {"Areas1", 0},  {"Mapa1", 0},   {"Scater1", 1},
        {"Setas1", 1},         {"Bolhas1", 2}, {"bMapa", 0},   {"SpeedButton13", 1},
        {"Mostrargrfico1", -1}};
    std::vector<std::string> nomes;
    for (const auto& [nome, limiar] : limiares)
        nomes.push_back(nome);
    auto esperado = [&limiares](int colunas) {
        std::map<std::string, bool> h;
        for (const auto& [nome, limiar] : limiares)
            h[nome] = colunas > limiar;
        return h;
    };
    QAction* novo = Principal().Acao(QStringLiteral("Graficovazio1"));

    // Right before the menu is ever opened (tool bar, keys), and when it opens.
    Prepara(Estado::SemTabela);
    EXPECT_EQ(Habilitados(nomes), esperado(0)) << "no table, menu not opened";
    AbreMenusDe(novo);
    EXPECT_EQ(Habilitados(nomes), esperado(0)) << "no table";
    Prepara(Estado::ComTabela);
    EXPECT_EQ(Habilitados(nomes), esperado(3)) << "a table, menu not opened";
    AbreMenusDe(novo);
    EXPECT_EQ(Habilitados(nomes), esperado(3)) << "a table";
    Prepara(Estado::UmaColuna);
    AbreMenusDe(novo);
    EXPECT_EQ(Habilitados(nomes), esperado(1)) << "one column";
    // Closed after the menu last opened with a table.
    Prepara(Estado::SemTabela);
    EXPECT_EQ(Habilitados(nomes), esperado(0)) << "table closed, menu not opened again";
    AbreMenusDe(novo);
    EXPECT_EQ(Habilitados(nomes), esperado(0)) << "table closed";
}
