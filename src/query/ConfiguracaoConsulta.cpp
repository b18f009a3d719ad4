#include "query/ConfiguracaoConsulta.h"

#include "platform/Erros.h"
#include "platform/Ini.h"

#include <filesystem>

namespace dorvan {

void LeLimitesConsulta(Configuracao& cfg) {
    std::error_code e;
    std::string arquivo = cfg.ArquivoIni;
    if (arquivo.empty() || !std::filesystem::is_regular_file(arquivo, e)) arquivo = cfg.DirPrograma + "Dorvan.ini";
    ArquivoIni ini(arquivo);
    try {
        ini.Le();
    } catch (const ErroES&) {
        return; // start-up has already said so
    }
    Limites& l = cfg.FQuery;
    l.Top = ini.LeInteiro("fQuery", "Top", l.Top);
    l.Left = ini.LeInteiro("fQuery", "Left", l.Left);
    l.Width = ini.LeInteiro("fQuery", "Width", l.Width);
    l.Height = ini.LeInteiro("fQuery", "Height", l.Height);
}

} // namespace dorvan
