#include "output/ui/Exportacoes.h"

#include "../Fixture.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <optional>

namespace dorvan {
namespace {

// Answers the first modal dialog that opens, from inside its own event loop:
// types `digita` into it, or cancels it when nullopt. Records what it showed.
struct Entrada {
    std::string titulo, texto, padrao;
};
void ResponderEntrada(Entrada& vista, std::optional<std::string> digita) {
    auto* relogio = new QTimer;
    relogio->setInterval(5);
    QObject::connect(relogio, &QTimer::timeout, [relogio, &vista, digita] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        relogio->stop();
        relogio->deleteLater();
        vista = {DeQString(d->windowTitle()), DeQString(d->labelText()), DeQString(d->textValue())};
        if (!digita) {
            d->reject();
            return;
        }
        if (auto* campo = d->findChild<QLineEdit*>()) campo->setText(ParaQString(*digita));
        d->accept();
    });
    relogio->start();
}

TEST(GravaSPRINGPerguntando, AsksForTheCategoryOfferingTheLabelTitleAndCancelKeepsIt) {
    const std::vector<std::pair<std::optional<std::string>, std::string>> casos = {
        {std::string("Munic\xEDpios"), "CATEGORY_OBJ Munic\xEDpios\r\n"},
        {std::nullopt, "CATEGORY_OBJ Regi\xE3o\r\n"},
    };
    for (const auto& [digita, linha] : casos) {
        teste::PastaTemporaria p;
        Entrada vista;
        ResponderEntrada(vista, digita);
        GravaSPRINGPerguntando(nullptr, teste::TabelaExemplo(), p / "t_tab.spr");
        EXPECT_EQ(vista.titulo, "Categoria de objeto para o SPRING");
        EXPECT_EQ(vista.texto, "Entre o nome da categoria de objetos");
        EXPECT_EQ(vista.padrao, "Regi\xE3o");
        EXPECT_NE(p.Le("t_tab.spr").find(linha), std::string::npos);
    }
}

} // namespace
} // namespace dorvan
