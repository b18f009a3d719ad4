#include "table/ui/EscolhaTabela.h"

#include "platform/Texto1252.h"
#include "table/ui/TEscolhe_Coluna.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>

namespace dorvan {

namespace {

// The chooser created at start-up, or one made for this call.
template <typename F> auto ComJanela(F f) {
    if (Escolhe_Coluna) return f(*Escolhe_Coluna);
    TEscolhe_Coluna janela(QApplication::activeWindow());
    return f(janela);
}

// Shows the list with the first item selected; true when OK closed it.
bool MostraComPrimeiro(TEscolhe_Coluna& j, const std::string& titulo, const std::string& pergunta,
                       const std::vector<std::string>& itens, bool varios) {
    j.setWindowTitle(ParaQString(titulo));
    j.Label1->setText(ParaQString(pergunta));
    j.ListBox1->clear();
    j.ListBox1->setSelectionMode(varios ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    for (const auto& item : itens)
        j.ListBox1->addItem(ParaQString(item));
    j.ListBox1->clearSelection();
    if (!varios && !itens.empty()) j.ListBox1->setCurrentRow(0);
    return j.exec() == QDialog::Accepted;
}

std::vector<std::int32_t> ParaColunas(const std::vector<int>& marcados, std::int32_t primeira) {
    std::vector<std::int32_t> r;
    for (int m : marcados)
        r.push_back(m - 1 + primeira);
    return r;
}

} // namespace

std::vector<std::string> TitulosColunas(const TabelaResultados& t, std::int32_t primeira) {
    std::vector<std::string> titulos;
    for (std::int32_t c = primeira; c <= t.NumColunas(); ++c)
        titulos.push_back(t.NomeColuna(c));
    return titulos;
}

std::int32_t EscolheColuna(const TabelaResultados& t, const std::string& pergunta) {
    return EscolheColuna(pergunta, TitulosColunas(t));
}

std::vector<std::int32_t> MarcaColunas(TabelaResultados& t, const std::string& pergunta) {
    t.Selecionadas = ParaColunas(MarcaColunas(pergunta, TitulosColunas(t)), 1);
    return t.Selecionadas;
}

std::vector<std::int32_t> MarcaVariasColunas(TabelaResultados& t, const std::string& pergunta) {
    t.Selecionadas.clear();
    if (t.NumColunas() < 1) return {};
    t.Selecionadas = ParaColunas(MarcaColunas(pergunta, TitulosColunas(t, 0)), 0);
    return t.Selecionadas;
}

std::optional<std::int32_t> EscolheUmaColuna(const TabelaResultados& t, const std::string& pergunta) {
    if (t.NumColunas() < 1) return 0;
    return ComJanela([&](TEscolhe_Coluna& j) -> std::optional<std::int32_t> {
        if (!MostraComPrimeiro(j, "Escolhe Coluna", pergunta, TitulosColunas(t, 0), false)) return std::nullopt;
        const std::vector<int> m = j.Marcados();
        if (m.empty()) return std::nullopt;
        return m.front() - 1;
    });
}

std::optional<CriterioSupressao> EscolheCriterio() {
    const std::vector<std::string> itens(NomesCriterios.begin(), NomesCriterios.end());
    return ComJanela([&](TEscolhe_Coluna& j) -> std::optional<CriterioSupressao> {
        // OK without a selection asks again.
        while (MostraComPrimeiro(j, "Escolha", "Crit\xE9rio de compara\xE7\xE3o", itens, false)) {
            const std::vector<int> m = j.Marcados();
            if (!m.empty()) return static_cast<CriterioSupressao>(m.front() - 1);
        }
        return std::nullopt;
    });
}

} // namespace dorvan
