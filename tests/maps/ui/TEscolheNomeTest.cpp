#include "maps/ui/TEscolheNome.h"

#include "maps/ui/TMapa.h"
#include "table/Configuracao.h"

#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace dorvan {
namespace {

TEST(TEscolheNome, ShowsTheCandidatesTwiceAndKeepsTheSelectionsEvenWhenCancelled) {
    TEscolheNome f;
    EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Escolhe nome e código"));
    QStringList geo, nome;
    bool numerosVisivel = true;
    teste::QuandoModal([&](QWidget* w) {
        auto* d = static_cast<TEscolheNome*>(w);
        numerosVisivel = d->cbNumeros->isVisible();
        for (int i = 0; i < d->lbGeo->count(); ++i)
            geo << d->lbGeo->item(i)->text();
        nome << d->lbNome->item(d->lbNome->currentRow())->text();
        d->lbGeo->setCurrentRow(2);
        d->Cancela->click();
    });
    const EscolhaCampos e = f.Escolhe({"COD", "NOME", "S\xC3O"}, {0, 1});
    EXPECT_EQ(e, (EscolhaCampos{2, 1}));
    EXPECT_EQ(geo, (QStringList{"COD", "NOME", QString::fromUtf8("SÃO")}));
    EXPECT_EQ(nome, QStringList{"NOME"});
    EXPECT_FALSE(numerosVisivel);
}

TEST(TEscolheNome, ImportersAskThroughTheFormOnceLinked) {
    teste::PastaTemporaria pasta;
    pasta.Grava("a.bna", "\"C1\",\"Nome\",1\n1,2\n");
    LigaEscolheNome();
    teste::QuandoModal([](QWidget* w) {
        auto* d = static_cast<TEscolheNome*>(w);
        d->lbGeo->setCurrentRow(1);
        d->lbNome->setCurrentRow(0);
        d->OK->click();
    });
    EXPECT_EQ(ImportaMapaComJanela(pasta / "a.bna"), pasta / "a.MAP");
    DefineEscolheNome({});
    const auto m = LeMapa(pasta / "a.MAP");
    ASSERT_EQ(m.Registros.size(), 1u);
    EXPECT_EQ(m.Registros[0].Codigo, "Nome");
    EXPECT_EQ(m.Registros[0].Nome, "C1");
    EXPECT_EQ(ImportaMapaComJanela(pasta / "x.map"), pasta / "x.map");
}

TEST(TEscolheNome, AnImporterNamesItsInputInTheMapWindowCaption) {
    teste::PastaTemporaria pasta;
    pasta.Grava("a.bna", "\"C1\",\"Nome\",1\n1,2\n");
    TabelaResultados t;
    Configuracao cfg;
    auto janela = std::make_unique<TMapa>(t, cfg);
    Mapa = janela.get();
    janela->setWindowTitle(QStringLiteral("Mapa: antes"));
    EXPECT_EQ(ImportaMapaComJanela(pasta / "x.map"), pasta / "x.map");
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Mapa: antes")); // nothing converted
    EXPECT_EQ(ImportaMapaComJanela(pasta / "a.bna"), pasta / "a.MAP");
    EXPECT_EQ(janela->windowTitle(), QString::fromStdString(pasta / "a.bna"));
    janela.reset();
    EXPECT_EQ(Mapa, nullptr);
}

} // namespace
} // namespace dorvan
