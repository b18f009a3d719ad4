// Interchange pairs: the .MIF holds a header with the column list and then one
// object per row of the .MID, whose delimited fields give the code and name.
#include "maps/ImportaComum.h"

#include "platform/Erros.h"
#include "table/Utilidades.h"

#include <cerrno>
#include <filesystem>

namespace dorvan {

using namespace importa;

namespace {

bool Comeca(const std::string& s, const char* prefixo) { return s.rfind(prefixo, 0) == 0; }

bool LinhaObjeto(const std::string& s) {
    return Comeca(s, "Region") || Comeca(s, "Point") || Comeca(s, "Line") || Comeca(s, "Pline") || Comeca(s, "Text");
}

} // namespace

std::string ImportaMIF(const std::string& arquivo, const EscolheNomeFn& escolhe) {
    LinhasTexto mif(arquivo);
    const std::string nomeMid = Companheiro(arquivo, ".MID");
    if (!std::filesystem::exists(nomeMid)) throw ErroES::DoSistema(nomeMid, ENOENT);
    LinhasTexto mid(nomeMid);

    char separador = ',';
    bool colunas = false;
    std::vector<std::string> candidatos;
    std::string linha;
    while (mif.Le(linha)) {
        std::string topo = linha.substr(0, 4);
        for (char& ch : topo)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        if (topo == "DATA") break;
        const std::size_t d = linha.find("Delimiter");
        if (d != std::string::npos && d + 11 < linha.size()) separador = linha[d + 11];
        if (colunas) {
            const std::string def = linha.size() > 2 ? linha.substr(2) : std::string();
            candidatos.push_back(def.substr(0, def.find(' ')));
        } else if (linha.find("Columns") != std::string::npos) {
            colunas = true;
        }
    }
    const EscolhaCampos e = Escolhe(escolhe, candidatos, PadraoDoisPrimeiros(candidatos.size(), true));

    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida);
    std::string linhaMid;
    while (mid.Le(linhaMid)) {
        const std::vector<std::string> campos = Campos(linhaMid, separador);
        RegistroMapa r;
        r.Nome = TiraAspas(Item(campos, e.Nome));
        r.Codigo = TiraAspas(Item(campos, e.Codigo));
        bool achou = false;
        while (mif.Le(linha))
            if (LinhaObjeto(linha)) {
                achou = true;
                break;
            }
        if (!achou) break; // rows past the last object have nothing to draw
        const std::vector<std::string> w = Palavras(linha);
        auto numero = [&](std::size_t i) { return Coordenada(Item(w, static_cast<int>(i))); };
        long long lidos = 0;
        if (Comeca(linha, "Region")) {
            const long long aneis = Inteiro(Item(w, 1), mif);
            for (long long a = 0; a < aneis; ++a) {
                const long long n = Inteiro(mif.Exige("o n\xFAmero de pontos"), mif);
                for (long long i = 0; i < n; ++i) {
                    ++lidos;
                    Acrescenta(r, PontoBrancos(mif.Exige("um ponto")));
                }
                if (a > 0 && !r.Pontos.empty()) {
                    ++lidos;
                    Acrescenta(r, r.Pontos.front());
                }
            }
            r.Tipo = r.Pontos.size() == 1 ? TipoPonto : TipoPoligono;
            // The label is on the "Center" clause; a region without one (the next
            // object or the end comes first) is labelled at its interior point.
            bool centro = false;
            while (mif.Le(linha)) {
                if (LinhaObjeto(linha)) {
                    mif.Devolve();
                    break;
                }
                const std::size_t c = linha.find("Center");
                if (c != std::string::npos) {
                    const std::vector<std::string> cw = Palavras(linha.substr(c + 6));
                    r.RotuloX = Coordenada(Item(cw, 0));
                    r.RotuloY = Coordenada(Item(cw, 1));
                    centro = true;
                    break;
                }
            }
            if (!centro) RotuloPelasRegras(r);
        } else if (Comeca(linha, "Point")) {
            r.Tipo = TipoPonto;
            r.Pontos.push_back({numero(1), numero(2)});
            RotuloPelasRegras(r);
        } else if (Comeca(linha, "Line")) {
            r.Tipo = TipoLinha;
            r.Pontos.push_back({numero(1), numero(2)});
            r.Pontos.push_back({numero(3), numero(4)});
            r.RotuloX = (r.Pontos[0].X + r.Pontos[1].X) / 2;
            r.RotuloY = (r.Pontos[0].Y + r.Pontos[1].Y) / 2;
        } else if (Comeca(linha, "Pline")) {
            r.Tipo = TipoLinha;
            const long long n = InteiroOuZero(Item(w, 1));
            for (long long i = 0; i < n; ++i) {
                ++lidos;
                Acrescenta(r, PontoBrancos(mif.Exige("um ponto")));
            }
            RotuloPelasRegras(r);
        } else { // Text
            std::string texto = mif.Exige("o texto");
            std::size_t i = 0;
            while (i < texto.size() && texto[i] == ' ')
                ++i;
            texto = texto.substr(i);
            texto = texto.size() >= 2 ? texto.substr(1, texto.size() - 2) : std::string();
            r.Nome = texto;
            r.Codigo = texto.substr(0, MaxCodigoMapa);
            r.Tipo = TipoPonto;
            r.Pontos.push_back(PontoBrancos(mif.Exige("o ponto do texto")));
            RotuloPelasRegras(r);
        }
        if (lidos > MaxPontosMapa) AvisaTruncado(r.Nome, lidos);
        CortaTextos(r);
        g.Grava(r);
    }
    g.Fecha();
    return saida;
}

} // namespace dorvan
