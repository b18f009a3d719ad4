// BNA files: a header line of quoted names and a vertex count per record (negative
// for a polyline), then one "x,y" line per vertex.
#include "maps/ImportaComum.h"

#include "platform/Mensagens.h"
#include "platform/Texto.h"

namespace dorvan {

using namespace importa;

std::string ImportaBNA(const std::string& arquivo, const EscolheNomeFn& escolhe) {
    LinhasTexto l(arquivo);
    std::string linha;
    std::vector<std::string> candidatos;
    if (l.Le(linha))
        for (const std::string& c : Campos(linha, ',')) {
            if (c.empty() || c[0] != '"') break;
            candidatos.push_back(c);
        }
    const EscolhaCampos e = Escolhe(escolhe, candidatos, PadraoDoisPrimeiros(candidatos.size(), false));
    l.Reinicia();

    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida);
    while (l.Le(linha)) {
        if (TiraBrancos(linha, EEspaco).empty()) continue;
        const std::vector<std::string> campos = Campos(linha, ',');
        RegistroMapa r;
        r.Nome = TiraAspas(Item(campos, e.Nome));
        r.Codigo = TiraAspas(Item(campos, e.Codigo));
        if (candidatos.size() >= campos.size()) l.Falha("falta o n\xFAmero de pontos");
        const long long n = Inteiro(campos[candidatos.size()], l);
        const long long m = n < 0 ? -n : n;
        if (m > MaxPontosMapa) {
            MensagensAtuais().Mostra(("Pol\xEDgono " + r.Nome).substr(0, 34) + " excede 32766 pontos: Suprimido");
            for (long long i = 0; i < m; ++i)
                l.Exige("um ponto");
            continue;
        }
        r.Tipo = n == 1 ? TipoPonto : n < 0 ? TipoLinha : TipoPoligono;
        for (long long i = 0; i < m; ++i)
            r.Pontos.push_back(PontoVirgula(l.Exige("um ponto")));
        RotuloPelasRegras(r);
        CortaTextos(r);
        g.Grava(r);
    }
    g.Fecha();
    return saida;
}

} // namespace dorvan
