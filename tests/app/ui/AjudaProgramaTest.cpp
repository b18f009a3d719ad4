// The help commands of the assembled program, with the pages beside it as the build
// installs them.
#include "app/ui/ProgramaMontado.h"
#include "tabulation/ui/TFFazDef.h"
#include "tabulation/ui/TTabula.h"

#include <QAction>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan::teste {
namespace {

QAction* Item(const char* menu, const char* nome) {
    for (QAction* a : AcoesDoMenu(menu))
        if (a->objectName() == QLatin1String(nome)) return a;
    return nullptr;
}

// The one document opened, as a path beside the program.
std::string Aberto(const Efeito& e) {
    if (e.documentos.size() != 1) return e.Descreve();
    return std::filesystem::path(e.documentos[0]).lexically_normal().string();
}

TEST(AjudaNoPrograma, EachHelpCommandOpensItsPageBesideTheProgram) {
    Prepara(Estado::SemTabela);
    const auto pagina = [](const char* nome) { return (Pasta().Caminho() / nome).lexically_normal().string(); };

    QAction* ajuda = Item("Ajuda1", "Ajuda2");
    ASSERT_NE(ajuda, nullptr);
    Efeito e = Dispara(ajuda);
    EXPECT_EQ(Aberto(e), pagina("Dorvan32.htm"));
    EXPECT_TRUE(e.mensagens.empty()) << e.Descreve();

    // Shown because its page is there.
    QAction* novidades = Item("Ajuda1", "Novidades1");
    ASSERT_NE(novidades, nullptr);
    e = Dispara(novidades);
    EXPECT_EQ(Aberto(e), pagina("DocDorvan.htm"));

    e = Dispara(Item("Editar1", "Definio1"), [](QWidget* w) {
        if (auto* editor = dynamic_cast<TFFazDef*>(w)) editor->Ajuda1->trigger();
    });
    EXPECT_EQ(Aberto(e), pagina("DEFCNV.htm"));
    EXPECT_TRUE(e.mensagens.empty()) << e.Descreve();
}

TEST(AjudaNoPrograma, TheSampleDefsHelpButtonOpensItsPage) {
    Prepara(Estado::SemTabela);
    bool visivel = false;
    const std::size_t antes = DocumentosAbertos().size();
    TabulaAmostra([&](TTabula& t) {
        visivel = t.bAjuda->isVisibleTo(&t);
        t.bAjuda->click();
    });
    EXPECT_TRUE(visivel);
    ASSERT_EQ(DocumentosAbertos().size(), antes + 1);
    EXPECT_TRUE(std::filesystem::equivalent(DocumentosAbertos().back(),
                                            std::filesystem::path(Amostra()) / "obitos.htm"))
        << DocumentosAbertos().back() << " " << Amostra();
}

} // namespace
} // namespace dorvan::teste
