// Export files of key=value lines (.MME): header keys with the bounds, then one
// "[object ...]" section per record with its type, id, name and numbered vertices.
#include "maps/ImportaComum.h"

#include <algorithm>

namespace dorvan {

using namespace importa;

namespace {

constexpr std::uint8_t SemTipo = 255; // an object without a known type is not written

void ChaveValor(const std::string& linha, std::string& chave, std::string& valor) {
    const std::size_t i = linha.find('=');
    chave = linha.substr(0, i);
    valor = i == std::string::npos ? std::string() : linha.substr(i + 1);
}

bool InicioObjeto(const std::string& linha) { return linha.compare(0, 7, "[object") == 0; }

} // namespace

std::string ImportaMME(const std::string& arquivo) {
    LinhasTexto l(arquivo);
    std::string linha, chave, valor;
    CabecalhoMapa c;
    while (l.Le(linha)) {
        if (InicioObjeto(linha)) break;
        ChaveValor(linha, chave, valor);
        if (chave == "max x") c.MaxX = Coordenada(valor);
        if (chave == "min x") c.MinX = Coordenada(valor);
        if (chave == "max y") c.MaxY = Coordenada(valor);
        if (chave == "min y") c.MinY = Coordenada(valor);
    }
    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida, c);
    RegistroMapa r;
    r.Tipo = SemTipo;
    long long lidos = 0;
    int sequencia = 1001;
    auto completa = [&] {
        if (lidos > MaxPontosMapa) AvisaTruncado(r.Nome, lidos);
        const std::size_t m = std::min<std::size_t>(MaxCodigoMapa, r.Codigo.size());
        if (r.Nome.compare(0, m, r.Codigo) == 0 && r.Nome.size() >= m) r.Codigo = std::to_string(sequencia++);
        if (r.Tipo == TipoPoligono || r.Tipo == TipoLinha || r.Tipo == TipoPonto) {
            RotuloPelasRegras(r);
            CortaTextos(r);
            g.Grava(r);
        }
        // Each object starts from nothing, so one lacking a key does not inherit it.
        r = RegistroMapa{};
        r.Tipo = SemTipo;
        lidos = 0;
    };
    while (l.Le(linha)) {
        if (InicioObjeto(linha) && linha.find("loop") == std::string::npos) {
            completa();
            continue;
        }
        if (linha.find("-loop") != std::string::npos) {
            if (linha.find("-loop 1]") == std::string::npos && linha.find("-loop 2]") == std::string::npos &&
                !r.Pontos.empty()) {
                ++lidos;
                Acrescenta(r, r.Pontos.front());
            }
            continue;
        }
        ChaveValor(linha, chave, valor);
        long long numero = 0;
        if (chave == "type") {
            if (valor == "polygon" || valor == "complex polygon")
                r.Tipo = TipoPoligono;
            else if (valor == "line")
                r.Tipo = TipoLinha;
            else if (valor == "point")
                r.Tipo = TipoPonto;
            else
                r.Tipo = SemTipo;
        } else if (chave == "id") {
            r.Codigo = valor;
        } else if (chave == "name") {
            r.Nome = valor;
        } else if (TextoInteiro(chave, numero) && numero > 0) {
            ++lidos;
            Acrescenta(r, PontoVirgula(valor));
        }
    }
    completa();
    g.Fecha();
    return saida;
}

} // namespace dorvan
