#include "output/GravaTexto.h"

#include "output/SaidaTexto.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"

#include <cmath>
#include <vector>

namespace dorvan {

namespace {

// A field of R's input: like EntreAspas, and without the backslashes that end
// the text, which R would take as escaping the closing quote.
std::string AspasR(std::string_view s) {
    std::string r = EntreAspas(s);
    r.pop_back();
    while (r.size() > 1 && r.back() == '\\')
        r.pop_back();
    return r + '"';
}

// Digits of the values written to the clipboard text.
constexpr int DigitosTextoTab = 20;

} // namespace

void GravaCSV(const TabelaResultados& t, const std::string& arquivo) {
    SaidaTexto s(arquivo);
    std::string linha = EntreAspasDobradas(t.NomeColuna(0));
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        linha += "," + EntreAspasDobradas(t.NomeColuna(c));
    // A last column titled "DUMMY" would be dropped by the table reader.
    const std::string dummy = t.NumColunas() > 0 && ComColunaDUMMY(t) ? ",0" : "";
    if (!dummy.empty()) linha += ",\"DUMMY\"";
    s.Linha(linha);
    const auto plano = [](double v, const ColunaResultados& col) { return NumeroPlano(v, col.Decimais, ""); };
    // The rows as Valores would give them, each column's cells and decimals at hand.
    std::vector<const double*> celulas;
    std::vector<int> decimais;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        celulas.push_back(t.Coluna(c).Dados.data());
        decimais.push_back(t.Coluna(c).Decimais);
    }
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        linha = EntreAspasDobradas(t.Rotulo(r));
        for (std::size_t k = 0; k < celulas.size(); ++k) {
            linha += ',';
            const double v = celulas[k][r];
            if (std::isfinite(v)) AcrescentaNumero(linha, v, decimais[k], '.');
        }
        linha += dummy;
        s.Linha(linha);
    }
    s.Linha("\"Total\"" + Valores(t, LinhaTotais, ",", plano) + dummy);
    s.Fim();
}

void GravaTabelaR(const TabelaResultados& t, const std::string& arquivo) {
    SaidaTexto s(arquivo);
    std::string linha;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        if (c > 1) linha += ' ';
        // A quote inside a title would end R's quoted field early.
        linha += AspasR(t.NomeColuna(c));
    }
    s.Linha(linha);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        s.Linha(AspasR(t.Rotulo(r)) + Valores(t, r, " ", [](double v, const ColunaResultados& col) {
                    return NumeroPlano(v, col.Decimais, "NA");
                }));
    s.Fim();
}

void GravaTextoTab(const TabelaResultados& t, const std::string& arquivo) {
    SaidaTexto s(arquivo);
    const std::string marca = MarcaDecimalLocal();
    const bool semColunas = t.NumColunas() == 0;
    std::string linha = "\"" + t.NomeColuna(0) + "\"";
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        linha += "\t\"" + t.NomeColuna(c) + "\"";
    // A last column titled "DUMMY" would be dropped by the table reader.
    const bool ultimaDummy = !semColunas && ComColunaDUMMY(t);
    if (semColunas) linha += ";\"DUMMY\"";
    if (ultimaDummy) linha += "\t\"DUMMY\"";
    s.Linha(linha);
    const auto fixo = [&marca](double v, const ColunaResultados& col) {
        return NumeroFixoLocal(v, col.Decimais, DigitosTextoTab, marca);
    };
    const std::string dummy = semColunas ? ";0" : ultimaDummy ? "\t0" : "";
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        s.Linha(EntreAspas(t.Rotulo(r)) + Valores(t, r, "\t", fixo) + dummy);
    s.Linha("\"Total\"" + Valores(t, LinhaTotais, "\t", fixo) + dummy);
    s.Fim();
}

} // namespace dorvan
