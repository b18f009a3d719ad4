// Tagged text (analysis schemes, query files, map layers): elements found by
// search, attribute lists and entities, and a whole analysis scheme read from it.
#include "ApoioFuzz.h"
#include "analysis/EsquemaR.h"
#include "data/LeXML.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string texto(fuzz::Texto(dados, tamanho));
    fuzz::Tenta([&] {
        for (const char* tag : {"titulo", "sql", "a", ""})
            DesfazEntidadesXML(TextoDaTag(tag, texto));
        std::string s = texto;
        std::vector<std::string> lista;
        while (LeAtributos(s, lista) && !s.empty())
            s.erase(0, 1);
        FazEntidadesXML(texto);
    });
    fuzz::Tenta([&] { EsquemaDeTexto(texto); });
    return 0;
}
