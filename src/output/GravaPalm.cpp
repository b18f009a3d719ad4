#include "output/GravaPalm.h"

#include "output/SaidaTexto.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace dorvan {

namespace {

constexpr std::size_t MaxTituloPalm = 31;
constexpr int DigitosPalm = 15;

bool Converte(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor,
              const std::function<void()>& enquantoEspera, bool mobileDB) {
    std::error_code ec;
    // File names are the system's (UTF-8); messages and the description are 1252 text.
    const std::string nomeConversor = DeUtf8(conversor);
    if (conversor.empty() || !fs::is_regular_file(conversor, ec)) {
        MensagensAtuais().Mostra("Conversor para Palm (csv2pdb) n\xE3o encontrado" +
                                 (conversor.empty() ? std::string() : ": " + nomeConversor));
        return false;
    }
    const std::string base = fs::path(arquivo).stem().string();
    // A folder of its own for the converter's inputs, so no file of the user's that
    // happens to share their names is overwritten or deleted; removed with its files.
    const PastaPrivada pasta(fs::temp_directory_path().string(), "dorvan-pdb-");
    const std::string ifo = pasta / (base + ".ifo");
    const std::string txt = pasta / (base + ".txt");
    GravaArquivoInteiro(ifo, DescricaoPalm(t, DeUtf8(base), mobileDB));
    GravaDadosPalm(t, txt, mobileDB);

    std::vector<std::string> argumentos;
    if (mobileDB) argumentos.push_back("--type=mdb");
    argumentos.insert(argumentos.end(), {"-i", ifo, txt, arquivo});
    // A name without a folder would be looked up on PATH: the one tested above is meant.
    const ResultadoPrograma r =
        ExecutaComArgumentos(fs::absolute(conversor, ec).string(), argumentos, true, {}, enquantoEspera);
    if (!r.iniciou) {
        MensagensAtuais().Mostra("N\xE3o foi poss\xEDvel executar " + nomeConversor + ": " + DeUtf8(r.erro));
        return false;
    }
    if (r.codigoSaida != 0) {
        MensagensAtuais().Mostra("O conversor " + nomeConversor + " terminou com erro " +
                                 std::to_string(r.codigoSaida) + "; " + DeUtf8(arquivo) + " n\xE3o foi gravado.");
        return false;
    }
    return true;
}

} // namespace

std::string AchaConversorPalm(const std::string& dirPrograma) {
    for (const char* nome : {"csv2pdb", "csv2pdb.exe"}) {
        std::string achado = ResolveNome((dirPrograma.empty() ? std::string(".") : dirPrograma) + "/" + nome);
        std::error_code ec;
        if (!achado.empty() && fs::is_regular_file(achado, ec)) return achado;
    }
    return {};
}

std::string DescricaoPalm(const TabelaResultados& t, const std::string& titulo, bool mobileDB) {
    std::string d;
    auto linha = [&d](const std::string& s) { d += s + "\r\n"; };
    linha("title " + EntreAspas(titulo.substr(0, MaxTituloPalm)));
    linha("field " + EntreAspas(t.NomeColuna(0)) + " string");
    std::string vista = "view \"Todos\" " + EntreAspas(t.NomeColuna(0)) + " 100 ";
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        const char* tipo = mobileDB ? " string" : (t.Coluna(c).Decimais != 0 ? " float" : " integer");
        linha("field " + EntreAspas(t.NomeColuna(c)) + tipo);
        vista += EntreAspas(t.NomeColuna(c)) + " 40 ";
    }
    linha(vista);
    if (!mobileDB) {
        linha("option backup on");
        linha("option read-only off");
        linha("option copy-prevention off");
    }
    linha("option find off");
    return d;
}

void GravaDadosPalm(const TabelaResultados& t, const std::string& arquivo, bool mobileDB) {
    const std::string marca = mobileDB ? MarcaDecimalLocal() : std::string(".");
    SaidaTexto s(arquivo);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        s.Linha(EntreAspas(t.Rotulo(r)) + Valores(t, r, ",", [&marca](double v, const ColunaResultados& col) {
                    return "\"" + NumeroFixoLocal(v, col.Decimais, DigitosPalm, marca) + "\"";
                }));
    s.Fim();
}

bool GravaPalm(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor,
               const std::function<void()>& enquantoEspera) {
    return Converte(t, arquivo, conversor, enquantoEspera, false);
}

bool GravaMobileDB(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor,
                   const std::function<void()>& enquantoEspera) {
    return Converte(t, arquivo, conversor, enquantoEspera, true);
}

} // namespace dorvan
